#include "dirhog/dirhogscan.h"

#include "common/diskspace.h"
#include "dirhog/alldirectoriesfold.h"
#include "dirhog/maindirectoriesfold.h"

#include <filesystem>

namespace kelvane {

DirHogScan::DirHogScan(DirHogMode mode, size_t limit, ScanOptions scan)
    : Scan(scan.hidden), mode_(mode), scan_(scan), candidates_(limit)
{
}

int64_t driveCapacity(const std::string& root)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(root, error);
    if (error)
        return -1;
    try {
        const auto space = diskSpace(absolute.string());
        return space ? space->capacity : -1;
    } catch (const DriveError&) {
        return -1;
    }
}

WalkStats DirHogScan::walkRoot(const std::string& root, const WalkOptions& walkOptions)
{
    const int64_t capacity = driveCapacity(root);
    auto onFull = [this] { listFull(); };
    DirHogLinks links;
    WalkStats stats;
    if (mode_ == DirHogMode::MainDirectories) {
        MainDirectoriesFold fold(candidates_, capacity, onFull, scan_.measure);
        WalkResult<SubtreeTotals> result = walkTree(root, fold, walkOptions);
        links = std::move(result.value.links);
        stats = std::move(result.stats);
    } else {
        AllDirectoriesFold fold(candidates_, capacity, onFull, scan_);
        WalkResult<DirHogLinks> result = walkTree(root, fold, walkOptions);
        links = std::move(result.value);
        stats = std::move(result.stats);
    }
    // A file met on an earlier drive (two folders of one file system) counts there.
    links_.absorbLater(std::move(links), [this](const LinkedBytes& later) {
        if (later.line != LinkedBytes::kNoLine)
            candidates_.uncount(later.line, later.bytes);
    });
    return stats;
}

} // namespace kelvane
