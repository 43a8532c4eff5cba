#include "filemod/datefield.h"

#include "common/stamptext.h"

#include <QLocale>

namespace kelvane {

QString dateFieldText(QDate date)
{
    return QLocale().toString(date, userShortDateFormat());
}

std::optional<QDate> readDateField(const QString& text)
{
    const QDate date = QLocale().toDate(text.trimmed(), userShortDateFormat());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString dayOfWeekName(QDate date)
{
    static const char* const kNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    if (!date.isValid())
        return {};
    return QString::fromLatin1(kNames[date.dayOfWeek() % 7]);
}

} // namespace kelvane
