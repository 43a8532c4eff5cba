#include "common/ui/reportlayout.h"

#include <algorithm>

namespace kelvane {

namespace {

bool splitsSurrogatePair(QStringView text, qsizetype at)
{
    return at > 0 && at < text.size() && text[at - 1].isHighSurrogate() && text[at].isLowSurrogate();
}

} // namespace

ReportLayout::ReportLayout(ReportMetrics metrics) : metrics_(std::move(metrics))
{
    // A zero stop distance would never move a tab forward.
    metrics_.tabWidth = std::max(metrics_.tabWidth, 1);
}

QList<ReportRow> ReportLayout::addLine(const QString& line)
{
    QList<ReportRow> rows;
    const auto beginRow = [this] {
        row_ = ReportRow{pageDue_, {}};
        if (pageDue_)
            y_ = 0;
        pageDue_ = false;
    };
    const auto breakRow = [&] {
        endRow(rows);
        beginRow();
    };

    beginRow();
    const QList<QStringView> segments = QStringView(line).split(QLatin1Char('\t'));
    for (qsizetype i = 0; i < segments.size(); ++i) {
        if (i > 0) {
            x_ = (x_ / metrics_.tabWidth + 1) * metrics_.tabWidth;
            if (x_ > metrics_.pageWidth)
                breakRow();
        }
        QStringView rest = segments[i];
        while (!rest.isEmpty()) {
            qsizetype count = fittingLength(rest);
            // A character wider than the whole page still has to go somewhere.
            if (count == 0 && x_ == 0)
                count = splitsSurrogatePair(rest, 1) ? 2 : 1;
            if (count > 0) {
                const QStringView piece = rest.first(count);
                row_.fragments.append({x_, y_, piece.toString()});
                x_ += metrics_.textWidth(piece);
                rest = rest.sliced(count);
            }
            if (!rest.isEmpty())
                breakRow();
        }
    }
    endRow(rows);
    return rows;
}

void ReportLayout::endRow(QList<ReportRow>& rows)
{
    if (row_.fragments.isEmpty()) {
        y_ += metrics_.fontHeight;
        pageDue_ = y_ > metrics_.pageHeight;
    } else {
        const int height = metrics_.fontHeight + 2;
        y_ += height;
        pageDue_ = metrics_.pageHeight - y_ < 2 * height;
    }
    x_ = 0;
    rows.append(row_);
}

qsizetype ReportLayout::fittingLength(QStringView text) const
{
    const int room = metrics_.pageWidth - x_;
    if (room < 0)
        return 0;
    // Most text fits whole.
    if (metrics_.textWidth(text) <= room)
        return text.size();
    // Widths grow with the length, so search for the longest prefix that fits.
    qsizetype low = 0;
    qsizetype high = text.size();
    while (low < high) {
        const qsizetype middle = low + (high - low + 1) / 2;
        if (metrics_.textWidth(text.first(middle)) <= room)
            low = middle;
        else
            high = middle - 1;
    }
    if (splitsSurrogatePair(text, low))
        --low;
    return low;
}

} // namespace kelvane
