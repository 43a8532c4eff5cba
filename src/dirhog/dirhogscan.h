#pragma once

#include "common/scan.h"
#include "common/scanoptions.h"
#include "common/walker.h"
#include "dirhog/candidatelist.h"
#include "dirhog/linkedbytes.h"

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
// its first name (the drives in the order they are scanned). Each drive's
// capacity is measured before it is walked (-1 when it cannot be).
class DirHogScan final : public Scan {
public:
    explicit DirHogScan(DirHogMode mode, size_t limit = CandidateList::kDefaultLimit, ScanOptions scan = {});

    size_t lineCount() const { return candidates_.size(); }
    // The directory lines, largest first.
    std::vector<DirHogRow> handOver() { return candidates_.handOver(); }

private:
    WalkStats walkRoot(const std::string& root, const WalkOptions& options) override;

    DirHogMode mode_;
    ScanOptions scan_;
    CandidateList candidates_;
    DirHogLinks links_; // of the drives scanned so far
};

// Capacity in bytes of the file system holding root, -1 when unknown.
int64_t driveCapacity(const std::string& root);

} // namespace kelvane
