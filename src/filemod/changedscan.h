#pragma once

#include "common/scan.h"
#include "common/scanoptions.h"
#include "filemod/changedfilelist.h"
#include "filemod/daterange.h"

#include <cstddef>
#include <string>

namespace kelvane {

// How many result lines a files-changed list holds at most.
inline constexpr size_t kDefaultResultLimit = 5'000'000;

// One files-changed scan over one or more trees (the selected drives): the
// files of each tree are appended in walk order after those of the trees
// before it. Once a file had to be refused the scan is full: the list holds
// exactly limit files, the first ones in walk order of those found.
class ChangedFilesScan final : public Scan {
public:
    // scan: hidden entries (the measure shows nowhere here).
    explicit ChangedFilesScan(const DateRange& range, size_t limit = kDefaultResultLimit,
                              ScanOptions scan = {});

    const ChangedFileList& files() const { return files_; }
    ChangedFileList handOver() { return std::move(files_); }

private:
    WalkStats walkRoot(const std::string& root, const WalkOptions& options) override;

    DateRange range_;
    size_t limit_;
    bool hidden_;
    ChangedFileList files_;
};

} // namespace kelvane
