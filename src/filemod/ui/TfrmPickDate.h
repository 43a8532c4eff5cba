#pragma once

#include <QDate>
#include <QDialog>

#include <optional>

class QLabel;
class QPushButton;
class QToolButton;

namespace kelvane {

class MonthCalendar;
struct Services;

// A small modal window with a month calendar from which the user picks one
// date. Page Up and Page Down (without Shift, Alt or Ctrl) step a month back
// and forward wherever the focus is; a double click in the calendar closes
// the window with OK.
class TfrmPickDate : public QDialog {
    Q_OBJECT

public:
    TfrmPickDate(QWidget* parent, Services& services);

    // The whole protocol of a caller: opens on date and returns the picked
    // date, or nothing when the user cancelled.
    static std::optional<QDate> pick(QWidget* parent, Services& services, QDate date);

    // An invalid date stands for today (from the services' clock).
    void setDate(QDate date);
    QDate getDate() const;

    void PrevMonthBtnClick();
    void NextMonthBtnClick();
    // Keeps the title on the month of the current date.
    void Calendar1Change();
    void Calendar1DblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the key was a month step (or one held with a modifier) and
    // is used up.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);

    Services& services_;
    QLabel* TitleLabel;
    QToolButton* PrevMonthBtn;
    QToolButton* NextMonthBtn;
    MonthCalendar* Calendar1;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;
};

} // namespace kelvane
