#include "filemod/changedtexts.h"

#include "common/displayname.h"
#include "common/filestamp.h"
#include "common/scantexts.h"
#include "common/stamptext.h"
#include "filemod/datefield.h"
#include "filemod/daterange.h"

#include <tbb/blocked_range.h>
#include <tbb/enumerable_thread_specific.h>
#include <tbb/parallel_for.h>

namespace kelvane {

namespace {

constexpr int kNameWidth = 14;

} // namespace

QString abortNoticeLine()
{
    return QStringLiteral(" ") + abortNoticeText();
}

QString changedNameKey(std::string_view name)
{
    std::string lowered(name);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return displayName(lowered).leftJustified(kNameWidth, QLatin1Char(' '));
}

ChangedTexts::ChangedTexts()
    : dateFormat_(userShortDateFormat()), timeFormat_(userLongTimeFormat()), dates_(0x10000), times_(0x10000)
{
    fallbackDate_ = formatDate(QDate(1980, 1, 1));
    fallbackTime_ = formatTime(QTime(12, 0, 0));
}

QString ChangedTexts::formatDate(QDate date) const
{
    const QString text = locale_.toString(date, dateFormat_);
    return text.isEmpty() ? QStringLiteral("01/01/1980") : text;
}

QString ChangedTexts::formatTime(QTime time) const
{
    const QString text = locale_.toString(time, timeFormat_);
    return text.isEmpty() ? QStringLiteral("12:00:00") : text;
}

// A stamp that does not convert shows the fallbacks in both texts, even when
// one of its halves is fine on its own.
QString ChangedTexts::dateText(uint32_t stamp)
{
    const auto value = unpackStamp(stamp);
    if (!value)
        return fallbackDate_;
    QString& text = dates_[stamp >> 16];
    if (text.isEmpty())
        text = formatDate(value->date());
    return text;
}

QString ChangedTexts::timeText(uint32_t stamp)
{
    const auto value = unpackStamp(stamp);
    if (!value)
        return fallbackTime_;
    QString& text = times_[stamp & 0xFFFF];
    if (text.isEmpty())
        text = formatTime(value->time());
    return text;
}

QString ChangedTexts::dayText(uint32_t stamp)
{
    return dayOfWeekName(stampDate(stamp));
}

QStringList ChangedTexts::cells(const ChangedFileList& files, size_t i)
{
    const uint32_t stamp = files.stamp(i);
    return {displayName(files.name(i)), dateText(stamp), timeText(stamp), dayText(stamp),
            displayName(files.directory(i))};
}

GridRow ChangedTexts::gridRow(const ChangedFileList& files, size_t i)
{
    GridRow row = GridRow::fromCells(cells(files, i), files.path(i));
    row.identity = files.identity(i);
    return row;
}

QString ChangedTexts::line(const ChangedFileList& files, size_t i)
{
    const uint32_t stamp = files.stamp(i);
    const QChar tab(QLatin1Char('\t'));
    return changedNameKey(files.name(i)) + tab + dateText(stamp) + tab + timeText(stamp) + tab +
           dayText(stamp) + tab + displayName(files.directory(i));
}

std::vector<GridRow> changedGridRows(const ChangedFileList& files)
{
    std::vector<GridRow> rows(files.size());
    tbb::enumerable_thread_specific<ChangedTexts> texts;
    tbb::parallel_for(tbb::blocked_range<size_t>(0, files.size(), 4096),
                      [&](const tbb::blocked_range<size_t>& range) {
                          ChangedTexts& local = texts.local();
                          for (size_t i = range.begin(); i != range.end(); ++i)
                              rows[i] = local.gridRow(files, i);
                      });
    return rows;
}

QStringList changedLines(const ChangedFileList& files)
{
    QStringList lines;
    lines.reserve(qsizetype(files.size()));
    ChangedTexts texts;
    for (size_t i = 0; i < files.size(); ++i)
        lines.append(texts.line(files, i));
    return lines;
}

} // namespace kelvane
