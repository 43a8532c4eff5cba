#pragma once

#include <QCalendarWidget>

class QAbstractItemView;

namespace kelvane {

// A calendar grid of one month: a title row of short day names, the week
// starting on Sunday, and the days of the current date's month under their
// day of the week. Cells of the months before and after are empty and cannot
// be selected, so the grid never leaves its month by itself.
class MonthCalendar : public QCalendarWidget {
    Q_OBJECT
public:
    explicit MonthCalendar(QWidget* parent = nullptr);

    QDate date() const { return selectedDate(); }
    // Shows the month of date with date selected.
    void setDate(QDate date);
    // One month back (-1) or forward (1), the day lowered to the month's last
    // day where that month is shorter.
    void stepMonths(int months);

    // The grid of day cells (it receives the keys and mouse clicks).
    QAbstractItemView* dayGrid() const;

protected:
    void paintCell(QPainter* painter, const QRect& rect, QDate date) const override;
};

} // namespace kelvane
