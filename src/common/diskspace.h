#pragma once

#include "common/drive.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace kelvane {

// Raised for a drive root that is not an absolute path.
class DriveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct DiskSpace {
    int64_t capacity = 0;    // bytes
    int64_t free = 0;        // bytes available to the user
    int64_t clusterSize = 0; // fragment size in bytes
    int64_t reserved = 0;    // bytes free but kept for root
    // What df calls used: neither available nor reserved.
    int64_t used() const { return capacity - free - reserved; }
};

// statvfs of root, given up after timeout: the query of a network share whose
// server is gone may never return, and the caller must not hang with it.
// Throws DriveError("Not a valid drive ID") for a root that is not absolute.
std::optional<DiskSpace> diskSpace(const std::string& root,
                                   std::chrono::milliseconds timeout = std::chrono::seconds(3));

// The same for a listed drive, and nothing once the drive is no longer
// mounted where it was listed: its mount point then shows the parent file
// system, whose space must not pass for the drive's.
std::optional<DiskSpace> diskSpace(const Drive& drive,
                                   std::chrono::milliseconds timeout = std::chrono::seconds(3));

// True when the drive answers (its statvfs succeeds in time).
bool driveReady(const std::string& root);
// True when the drive is still mounted as listed and answers.
bool driveReady(const Drive& drive);

} // namespace kelvane
