#pragma once

#include "common/drive.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// Device path -> file system label, as found in /dev/disk/by-label.
using LabelMap = std::map<std::string, std::string>;

// The st_dev of a local mount point, or nothing when it is not a directory
// (file bind mounts are not drives). Injected so that parsing stays free of
// file-system access in tests.
using ProbeMountPoint = std::optional<uint64_t> (*)(const std::string& path);

// The drives of a /proc/self/mountinfo text: real storage only (device-backed
// and network file systems, "/" always), in ascending byte order of the mount
// paths. Each file system root is listed once, at its shortest mount path: the
// mount points' st_dev tells them apart where probed (every btrfs subvolume has
// its own, while mountinfo gives all of them the same major:minor), otherwise
// major:minor with the mounted subtree. Of mounts stacked on one path, the
// last (the one in view) counts.
std::vector<Drive> parseMountInfo(std::string_view text, const LabelMap& labels,
                                  ProbeMountPoint probe = nullptr);

// True while drive's mount point is still mounted as when it was listed: the
// mount table holds its path with the same file system and subtree. Drives not
// taken from the mount table (no deviceId) always are.
bool stillMounted(const Drive& drive);

// Decodes the octal escapes (\040 for a space) of mount table fields.
std::string unescapeMountField(std::string_view field);

// Reads /dev/disk/by-label (links only, no file system is queried).
LabelMap readDiskLabels();

// The drives of this machine, from the mount table alone.
std::vector<Drive> systemDrives();

// Index of the drive holding path (longest mount path that is a path prefix of
// it), or -1.
int driveIndexOf(const std::vector<Drive>& drives, std::string_view path);

} // namespace kelvane
