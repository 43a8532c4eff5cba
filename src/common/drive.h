#pragma once

#include <QString>

#include <cstdint>
#include <string>

namespace kelvane {

// One drive: a mounted file system, known by its mount path, or a folder
// chosen as a root (see folderRoot()). Code always uses root; caption and
// toolTip are for showing only.
struct Drive {
    std::string root; // mount path, no trailing '/' except "/"
    QString caption;  // the mount path as shown
    QString toolTip;  // device, file system type and label
    std::string device;
    std::string fsType;
    std::string label;
    std::string deviceId;    // "major:minor" of the file system (empty: not from the mount table)
    std::string mountRoot{}; // the file system's subtree mounted here ("/", "/@home")
    uint64_t rootDev = 0;    // st_dev of the mount point when listed (0: not known)
    bool folder = false;     // a directory chosen as a root, not a mount point
};

} // namespace kelvane
