#include "dirhog/dirhogscan.h"

#include "common/diskspace.h"
#include "dirhog/alldirectoriesfold.h"
#include "dirhog/maindirectoriesfold.h"

#include <filesystem>

namespace kelvane {

DirHogScan::DirHogScan(DirHogMode mode, size_t limit) : mode_(mode), candidates_(limit) {}

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

WalkStats DirHogScan::scanDrive(const std::string& root, const WalkOptions& options)
{
    const int64_t capacity = driveCapacity(root);
    // The list may refuse lines from several threads at once; report once.
    auto onFull = [this] {
        if (!fullReported_.exchange(true) && onFull_)
            onFull_();
    };
    if (mode_ == DirHogMode::MainDirectories) {
        MainDirectoriesFold fold(candidates_, capacity, onFull);
        return walkTree(root, fold, options).stats;
    }
    AllDirectoriesFold fold(candidates_, capacity, onFull);
    return walkTree(root, fold, options).stats;
}

} // namespace kelvane
