#include "dirhog/dirline.h"

#include "common/displayname.h"
#include "common/stamptext.h"

#include <QLocale>

namespace kelvane {

namespace {

// Empty for the stamp 0 (a time at the very edge of the stamp years).
QString dateText(uint32_t stamp)
{
    return stamp != 0 ? fileDateText(stamp) : QString();
}

} // namespace

QString padSize(int64_t n)
{
    return QString::number(n).rightJustified(7, QLatin1Char(' '));
}

QString percentOfDrive(int64_t capacity, int64_t total)
{
    if (total >= capacity)
        return QStringLiteral("???");
    QString text = QString::number(double(total) / double(capacity) * 100.0, 'f', 2);
    text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return text;
}

QString sizeColumn(int64_t bytes)
{
    return padSize(bytes / 1024) + QStringLiteral(" K");
}

QString sizeSortText(const QString& cell)
{
    const QString suffix = QStringLiteral(" K");
    if (!cell.endsWith(suffix))
        return cell;
    return cell.left(cell.size() - suffix.size()).trimmed().rightJustified(20, QLatin1Char(' ')) + suffix;
}

QString directoryLine(const DirTotals& totals, int64_t capacity, std::string_view path)
{
    return directoryLine(totals, capacity, path, dateText(totals.latestStamp()));
}

QString directoryLine(const DirTotals& totals, int64_t capacity, std::string_view path, const QString& date)
{
    const QChar tab(QLatin1Char('\t'));
    return sizeColumn(totals.bytes) + tab + percentOfDrive(capacity, totals.bytes) + tab +
           QString::number(totals.files) + tab + QString::number(totals.subdirs) + tab + date + tab +
           displayName(path) + tab + date;
}

} // namespace kelvane
