#pragma once

#include "common/diskspace.h"

#include <QString>

namespace kelvane {

// What the Disk Space page shows for a drive. The three shares are of the
// capacity and add up to 100: free (what users may still write), reserved for
// root, and used (what df calls used).
struct DiskSpaceTexts {
    QString freeCaption;     // "Free Space on Drive " + drive + ": "
    QString usedCaption;     // "Used Space on Drive " + drive + ": "
    QString reservedCaption; // "Reserved for root on Drive " + drive + ": "
    QString total;           // capacity with thousands separators
    QString free;
    QString used; // neither free nor reserved
    QString reserved;
    QString freePercent;     // "bytes (" + p + " %) "
    QString usedPercent;     // "bytes (" + (100 - p - r) + " %) "
    QString reservedPercent; // "bytes (" + r + " %) "
    int freeShare = 0;       // p: the free share, truncated toward zero
    int reservedShare = 0;   // r: the reserved share, truncated toward zero
};

// A drive of no capacity shows free and reserved shares of 0.
DiskSpaceTexts diskSpaceTexts(const QString& drive, const DiskSpace& space);

} // namespace kelvane
