#pragma once

#include "common/entry.h"
#include "duplic/dupmode.h"
#include "duplic/stamptextcache.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvane {

class SearchPathList;

// Marks a directory that is on the search path. Never part of a real path.
inline constexpr char kSearchPathMarker[] = "*(SEARCHPATH)*";

// A whole number right-aligned in five characters (1 to 4 spaces in front of
// 1 to 4 digits); longer numbers are written as they are.
QString padNumber(int64_t value);

// Column 1 of a duplicates line: the shown name in lower case, filled with
// spaces to at least 14 characters. The grouping key of a Scan.
QString nameKey(std::string_view rawName);

// "  250 K": a size in whole KB (rounded down), through padNumber.
QString sizeText(int64_t bytes);

// The line of a duplicates file from its parts: name column, size, date and
// time of the stamp, directory column (the shown directory with its "/" and
// the search-path marker).
void appendDuplicateLine(std::string& out, std::string_view nameColumn, int64_t bytes, uint32_t stamp,
                         std::string_view directoryColumn, StampTextCache& stamps);

// Makes the tab-separated result lines of the files of one directory at a
// time. Duplicates: name key, size, date, time, directory with "/" (and the
// search-path marker). File hogs: size, date, time, full path (and the marker).
// Names and directories are shown through displayName, so a line always has
// its columns; directories keep their letter case. Not thread-safe.
class LineMaker {
public:
    // stamps: shared by the makers of one scan; must outlive this.
    LineMaker(DupMode mode, const SearchPathList* searchPath, StampTextCache& stamps);

    // The directory (a walk path, as stored) of the files that follow.
    void setDirectory(std::string_view path);
    // The line of one file of that directory, UTF-8; valid until the next
    // call. bytes: its size in the scan's measure.
    std::string_view line(const Entry& file, int64_t bytes);
    std::string_view line(const Entry& file) { return line(file, file.size); }
    // Duplicates: column 1 of a file's line, and the directory's last column
    // (valid until the next call).
    std::string_view nameColumn(std::string_view rawName);
    std::string directoryColumn() const;
    // Where the first and the second column of that line end (their tabs).
    size_t firstTab() const { return firstTab_; }
    // The directory set last is on the search path (its lines carry the marker).
    bool onSearchPath() const { return marked_; }
    size_t secondTab() const { return secondTab_; }

private:
    void appendShownName(std::string_view name, bool key);

    DupMode mode_;
    const SearchPathList* searchPath_;
    StampTextCache& stamps_;
    std::string directory_; // shown, ending in "/"
    std::string line_;
    size_t firstTab_ = 0;
    size_t secondTab_ = 0;
    bool marked_ = false;
};

} // namespace kelvane
