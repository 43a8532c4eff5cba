#pragma once

#include "common/fileidentity.h"
#include "dirhog/dirtotals.h"

#include <QString>

#include <oneapi/tbb/concurrent_vector.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

namespace kelvane {

// One line of the directory-hogs result and the directory it stands for.
struct DirHogRow {
    QString line;
    std::string path; // the real path bytes, for deletion and browsing
    DirTotals totals;
    int64_t capacity = -1; // of the drive, -1 when unknown
    FileIdentity identity;
};

// The directories found by a scan, collected from the walk's threads and
// handed over largest first once the walk has ended.
class CandidateList {
public:
    static constexpr size_t kDefaultLimit = 5'000'000;

    explicit CandidateList(size_t limit = kDefaultLimit) : limit_(limit) {}

    // Adds a directory (safe from several threads). false when the list is
    // full: the directory is left out and full() turns true.
    // *index, when given, receives the line's place for uncount.
    bool add(std::string path, const FileIdentity& identity, const DirTotals& totals, int64_t capacity,
             size_t* index = nullptr);
    // Takes one file of that many bytes back out of a line added before
    // (a later name of a hard-linked file). Not to be called for one line
    // from two threads at once.
    void uncount(size_t index, int64_t bytes) { records_[index].totals.removeFile(bytes); }
    bool full() const { return full_.load(std::memory_order_relaxed); }
    size_t size() const { return records_.size(); }

    // The directory lines, largest size in K first; lines of the same size
    // follow in descending case-insensitive order of the rest of the line.
    // Empties the list.
    std::vector<DirHogRow> handOver();

private:
    struct Record {
        std::string path;
        FileIdentity identity;
        DirTotals totals;
        int64_t capacity;
    };

    size_t limit_;
    std::atomic<size_t> taken_{0};
    std::atomic<bool> full_{false};
    tbb::concurrent_vector<Record> records_;
};

} // namespace kelvane
