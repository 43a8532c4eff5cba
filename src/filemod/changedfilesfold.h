#pragma once

#include "common/fileidentity.h"
#include "common/walker.h"
#include "filemod/daterange.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <utility>
#include <vector>

namespace kelvane {

// The files of one directory that lie in the range.
struct ChangedChunk {
    std::string directory;
    struct File {
        std::string name;
        uint32_t stamp;
        FileIdentity identity; // what the scan saw of it
    };
    std::vector<File> files;
};
// A subtree's files in walk order. A list, so that joining subtrees moves no
// file.
using ChangedChunks = std::list<ChangedChunk>;

// Collects the plain files (not hidden unless asked for, not system) last written inside a
// date range, in post-order: the files of a directory come after those of all
// its subdirectories, each listing in name order. When more than limit files
// have been found it calls onFull (which stops the walk soon after).
class ChangedFilesFold final : public Fold<ChangedChunks> {
public:
    ChangedFilesFold(const DateRange& range, size_t limit, std::function<void()> onFull = {},
                     bool hidden = false);

    ChangedChunks visit(const WalkDir& dir, std::span<const Entry> listing) override;
    ChangedChunks combine(const WalkDir& dir, ChangedChunks own,
                          std::vector<ChangedChunks>& children) override;

    size_t found() const { return found_.load(std::memory_order_relaxed); }
    bool full() const { return found() > limit_; }

private:
    DateRange range_;
    size_t limit_;
    std::function<void()> onFull_;
    uint32_t request_;
    std::atomic<size_t> found_{0};
};

} // namespace kelvane
