#pragma once

#include "common/entry.h"

#include <cstdint>
#include <limits>

namespace kelvane {

// What one directory line totals: its files (their sizes in the scan's
// measure), its subdirectories and its newest file.
struct DirTotals {
    static constexpr int64_t kNoTime = std::numeric_limits<int64_t>::min();

    int64_t bytes = 0;
    int64_t files = 0;
    int64_t subdirs = 0;
    // The time of the newest counted file that has a stamp (1980 to 2107),
    // kNoTime when there is none. Kept as a time and packed once per line:
    // packing needs the local time zone, too slow for every file. Compared by
    // time, so the newest file wins also when its stamp has the top bit set
    // (years from 2044 on).
    int64_t latestTime = kNoTime;

    // Counts one file: bytes (its size in the scan's measure), and its time
    // when it is the newest so far.
    void addFile(const Entry& file, int64_t bytes);
    void addFile(const Entry& file) { addFile(file, file.size); }
    // Takes a counted file back out (a later name of a hard-linked file);
    // the newest time stays, the name is still there.
    void removeFile(int64_t fileBytes)
    {
        bytes -= fileBytes;
        --files;
    }
    // Adds the totals of a subtree; subdirs are added as they are.
    DirTotals& operator+=(const DirTotals& other);
    // The stamp of the newest file, 0 without one.
    uint32_t latestStamp() const;
};

// True when a time (seconds since the epoch) falls in the years a file stamp
// can hold, in local time.
bool hasStamp(int64_t time);

} // namespace kelvane
