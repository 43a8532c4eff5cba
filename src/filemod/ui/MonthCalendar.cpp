#include "filemod/ui/MonthCalendar.h"

#include <QPainter>
#include <QTableView>

namespace kelvane {

MonthCalendar::MonthCalendar(QWidget* parent) : QCalendarWidget(parent)
{
    setFirstDayOfWeek(Qt::Sunday);
    setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setNavigationBarVisible(false);
    setGridVisible(true);
    setDateEditEnabled(false);
    QPalette silver = palette();
    silver.setColor(QPalette::Base, QColor(192, 192, 192));
    silver.setColor(QPalette::AlternateBase, QColor(192, 192, 192));
    setPalette(silver);
}

void MonthCalendar::setDate(QDate date)
{
    if (!date.isValid())
        return;
    const QDate first(date.year(), date.month(), 1);
    // Selected first, then the range: the range would otherwise pull a date
    // of another month to its nearest end.
    if (date < minimumDate() || date > maximumDate())
        setDateRange(date, date);
    setSelectedDate(date);
    setDateRange(first, first.addMonths(1).addDays(-1));
}

void MonthCalendar::stepMonths(int months)
{
    setDate(selectedDate().addMonths(months));
}

QAbstractItemView* MonthCalendar::dayGrid() const
{
    return findChild<QTableView*>();
}

void MonthCalendar::paintCell(QPainter* painter, const QRect& rect, QDate date) const
{
    if (date.year() == selectedDate().year() && date.month() == selectedDate().month()) {
        QCalendarWidget::paintCell(painter, rect, date);
        return;
    }
    painter->fillRect(rect, palette().color(QPalette::Base));
}

} // namespace kelvane
