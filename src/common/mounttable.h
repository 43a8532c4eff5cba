#pragma once

#include "common/drive.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// Device path -> file system label, as found in /dev/disk/by-label.
using LabelMap = std::map<std::string, std::string>;

// Predicate for mount points that must be directories (file bind mounts are not
// drives). Injected so that parsing stays free of file-system access in tests.
using IsDirectory = bool (*)(const std::string& path);

// The drives of a /proc/self/mountinfo text: real storage only (device-backed
// and network file systems, "/" always), each file system once at its shortest
// mount path, in ascending byte order of the mount paths.
std::vector<Drive> parseMountInfo(std::string_view text, const LabelMap& labels,
                                  IsDirectory isDirectory = nullptr);

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
