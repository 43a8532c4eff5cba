#pragma once

#include "common/resultgrid.h"
#include "filemod/changedfilelist.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <string_view>
#include <vector>

namespace kelvane {

// The line that follows the result lines after the user stopped a scan.
QString abortNoticeLine();

// The name column of a result line: the name with A-Z lowered (nothing else,
// so that other letters keep their bytes), padded with spaces to 14
// characters; a longer name is kept whole.
QString changedNameKey(std::string_view name);

// The texts of the files-changed results: grid cells (name as stored, date,
// time, day, directory) and result lines (name key, date, time, day,
// directory). Dates and times come out as fileDateText and fileTimeText give
// them, from the user's formats read once; the texts of each date and time
// are made once. One object per thread.
class ChangedTexts {
public:
    ChangedTexts();

    QString dateText(uint32_t stamp);
    QString timeText(uint32_t stamp);
    QString dayText(uint32_t stamp);

    QStringList cells(const ChangedFileList& files, size_t i);
    GridRow gridRow(const ChangedFileList& files, size_t i);
    QString line(const ChangedFileList& files, size_t i);

private:
    QString formatDate(QDate date) const;
    QString formatTime(QTime time) const;

    QLocale locale_;
    QString dateFormat_;
    QString timeFormat_;
    std::vector<QString> dates_; // by the date half of a stamp
    std::vector<QString> times_; // by the time half
    QString fallbackDate_;
    QString fallbackTime_;
};

// Grid rows of every file, made on all cores.
std::vector<GridRow> changedGridRows(const ChangedFileList& files);

// The result lines of every file, in walk order.
QStringList changedLines(const ChangedFileList& files);

} // namespace kelvane
