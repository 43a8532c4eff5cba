#pragma once

#include "common/fileidentity.h"
#include "common/scanoptions.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvane {

// One marked file: its real path, what the scan saw of it, the bytes its
// marking counted (none when it was missing then) and the duplicate group of
// its row (-1 for none).
struct MarkedFile {
    std::string path;
    FileIdentity scanned;
    std::optional<int64_t> counted;
    int group = -1;
};

// The marking state of a result window: the marked files in marking order
// and the two counters. Marking looks the file up on disk and counts it when
// it is there; unmarking takes away exactly what its marking added, whatever
// happened to the file meanwhile, so the counters never drift.
class MarkedFiles {
public:
    // The measure marking counts bytes in (that of the result shown).
    void setMeasure(SizeMeasure measure) { measure_ = measure; }

    // Adds path at the end; returns the bytes counted (none when missing).
    std::optional<int64_t> mark(const std::string& path, const FileIdentity& scanned, int group = -1);
    // Removes the first mark of path; false when there is none.
    bool unmark(const std::string& path);
    // Marks or unmarks as wasMarked says (the row's own record); true when
    // the row is marked afterwards.
    bool toggle(const std::string& path, const FileIdentity& scanned, bool wasMarked, int group = -1);
    void clear();

    int64_t count() const { return count_; }
    int64_t bytes() const { return bytes_; }
    bool empty() const { return files_.empty(); }
    const std::vector<MarkedFile>& files() const { return files_; }
    std::vector<std::string> paths() const;
    // Gives the marks away and starts empty.
    std::vector<MarkedFile> take();

    // "2 files 1,234 bytes"
    QString statusText() const;

    // Groups (of groupSizes, indexed by group) each of whose rows is marked.
    std::vector<int> fullyMarkedGroups(const std::vector<int>& groupSizes) const;

private:
    std::vector<MarkedFile> files_;
    int64_t count_ = 0;
    int64_t bytes_ = 0;
    SizeMeasure measure_ = SizeMeasure::Apparent;
};

} // namespace kelvane
