#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

namespace kelvane {

// Sizes of the printed page and its font, in device pixels.
struct ReportMetrics {
    int pageWidth = 0;
    int pageHeight = 0;
    // An empty row advances by this; a row with text by this plus 2.
    int fontHeight = 0;
    // Distance between tab stops, counted from the left edge.
    int tabWidth = 0;
    // Width of a text on the page.
    std::function<int(QStringView)> textWidth;
};

// A piece of text to draw with its top left corner at (x, y) of the current page.
struct ReportFragment {
    int x = 0;
    int y = 0;
    QString text;

    bool operator==(const ReportFragment&) const = default;
};

// One printed row: a report line gives one row, or several when it wraps.
struct ReportRow {
    // Start a new page before drawing this row (the fragments are placed on it).
    bool newPageBefore = false;
    // Empty for an empty row.
    QList<ReportFragment> fragments;
};

// Places report lines on pages the way a line printer would: tabs to fixed stops,
// text broken at the right edge after the last character that fits, pages broken
// near the bottom. Lines are fed one at a time so the caller can stop at any line.
class ReportLayout {
public:
    explicit ReportLayout(ReportMetrics metrics);

    // The rows of one report line (tabs included), in order.
    QList<ReportRow> addLine(const QString& line);

private:
    void endRow(QList<ReportRow>& rows);
    // Number of leading characters of text that fit between x and the right edge.
    qsizetype fittingLength(QStringView text) const;

    ReportMetrics metrics_;
    int x_ = 0;
    int y_ = 0;
    // A page break is due; it is taken when the next row comes, so that the last
    // line never leaves a blank sheet behind.
    bool pageDue_ = false;
    ReportRow row_;
};

} // namespace kelvane
