#pragma once

#include "common/diskspace.h"

#include <QString>

namespace kelvane {

// What the Disk Space page shows for a drive.
struct DiskSpaceTexts {
    QString freeCaption; // "Free Space on Drive " + drive + ": "
    QString usedCaption; // "Used Space on Drive " + drive + ": "
    QString total;       // capacity with thousands separators
    QString free;
    QString used;        // capacity minus free space
    QString freePercent; // "bytes (" + p + " %) "
    QString usedPercent; // "bytes (" + (100 - p) + " %) "
    int freeShare = 0;   // p: the free share, truncated toward zero
};

// A drive of no capacity shows a free share of 0.
DiskSpaceTexts diskSpaceTexts(const QString& drive, const DiskSpace& space);

} // namespace kelvane
