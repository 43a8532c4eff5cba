#include "common/stamptext.h"

#include "common/filestamp.h"

#include <QLocale>
#include <QRegularExpression>

namespace kelvane {

QString userShortDateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    format.replace(twoDigitYear, QStringLiteral("yyyy"));
    return format;
}

QString userLongTimeFormat()
{
    const QString format = QLocale().timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        result.append(c);
    }
    return result.simplified();
}

QString fileDateText(uint32_t stamp)
{
    const auto value = unpackStamp(stamp);
    const QDate date = value ? value->date() : QDate(1980, 1, 1);
    const QString text = QLocale().toString(date, userShortDateFormat());
    return text.isEmpty() ? QStringLiteral("01/01/1980") : text;
}

QString fileTimeText(uint32_t stamp)
{
    const auto value = unpackStamp(stamp);
    const QTime time = value ? value->time() : QTime(12, 0, 0);
    const QString text = QLocale().toString(time, userLongTimeFormat());
    return text.isEmpty() ? QStringLiteral("12:00:00") : text;
}

void prepareStampTexts()
{
    fileDateText(0);
    fileTimeText(0);
}

} // namespace kelvane
