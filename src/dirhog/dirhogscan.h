#pragma once

#include "common/scanoptions.h"
#include "common/walker.h"
#include "dirhog/candidatelist.h"
#include "dirhog/linkedbytes.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace kelvane {

enum class DirHogMode {
    AllDirectories,  // a line per directory, its own files only
    MainDirectories, // a line per directory under a drive root, its whole subtree
};

// One directory-hogs scan over any number of drives: each drive is walked in
// the mode's fold, its lines share one candidate list, and the list is handed
// over largest first once every drive has been walked. With hidden entries
// asked for, hidden directories are walked and get lines like the others;
// with space on disk a hard-linked file counts once per scan, in the line of
// its first name (the drives in the order they are scanned).
class DirHogScan {
public:
    explicit DirHogScan(DirHogMode mode, size_t limit = CandidateList::kDefaultLimit, ScanOptions scan = {});

    // Runs (once, from a walk thread) when the candidate list is full: it
    // should stop the walk, usually by setting the walk's abort flag.
    void setOnFull(std::function<void()> onFull) { onFull_ = std::move(onFull); }

    // Walks one drive from its root; its capacity is measured first (-1 when
    // it cannot be). The stats' rootError is set when the root cannot be opened.
    WalkStats scanDrive(const std::string& root, const WalkOptions& options);

    bool limitReached() const { return candidates_.full(); }
    size_t lineCount() const { return candidates_.size(); }
    // The directory lines, largest first.
    std::vector<DirHogRow> handOver() { return candidates_.handOver(); }

private:
    DirHogMode mode_;
    ScanOptions scan_;
    CandidateList candidates_;
    DirHogLinks links_; // of the drives scanned so far
    std::function<void()> onFull_;
    std::atomic<bool> fullReported_{false};
};

// Capacity in bytes of the file system holding root, -1 when unknown.
int64_t driveCapacity(const std::string& root);

} // namespace kelvane
