#pragma once

#include <QString>

#include <string>

namespace kelvane {

// One drive: a mounted file system, known by its mount path. Code always uses
// root; caption and toolTip are for showing only.
struct Drive {
    std::string root; // mount path, no trailing '/' except "/"
    QString caption;  // the mount path as shown
    QString toolTip;  // device, file system type and label
    std::string device;
    std::string fsType;
    std::string label;
    std::string deviceId; // "major:minor" of the file system
};

} // namespace kelvane
