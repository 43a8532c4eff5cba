#pragma once

#include "common/scanoptions.h"
#include "common/walker.h"
#include "filemod/changedfilelist.h"
#include "filemod/daterange.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

namespace kelvane {

// How many result lines a files-changed list holds at most.
inline constexpr size_t kDefaultResultLimit = 5'000'000;

struct ChangedScanOptions {
    int threads = 0; // 0: one per core
    int io = 0;      // directory reads in flight; 0: the walk's default
    // The abort flag of the walks; the scan sets it itself when the list is
    // full. Without one the scan uses its own.
    std::atomic<bool>* stop = nullptr;
    WalkProgress* progress = nullptr;
    size_t limit = kDefaultResultLimit;
    std::function<void(const WalkDir&)> beforeDirectory; // for tests
    ScanOptions scan;                                    // hidden entries (the measure shows nowhere here)
};

// One files-changed scan over one or more trees (the selected drives): the
// files of each tree are appended in walk order after those of the trees
// before it.
class ChangedFilesScan {
public:
    ChangedFilesScan(const DateRange& range, ChangedScanOptions options);

    // Walks one tree and appends what it finds. stats.rootError is set when
    // the root could not be opened; stats.aborted when the scan was stopped.
    WalkStats walk(const std::string& root);

    // True once a file had to be refused: the list holds exactly limit files,
    // the first ones in walk order of those found.
    bool full() const { return full_; }
    bool stopped() const { return stop_->load(); }

    const ChangedFileList& files() const { return files_; }
    ChangedFileList takeFiles() { return std::move(files_); }

private:
    DateRange range_;
    ChangedScanOptions options_;
    std::atomic<bool> ownStop_{false};
    std::atomic<bool>* stop_;
    ChangedFileList files_;
    bool full_ = false;
};

} // namespace kelvane
