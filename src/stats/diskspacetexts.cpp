#include "stats/diskspacetexts.h"

#include "common/commas.h"
#include "stats/bandshares.h"

#include <algorithm>

namespace kelvane {

DiskSpaceTexts diskSpaceTexts(const QString& drive, const DiskSpace& space)
{
    const int64_t capacity = std::max<int64_t>(space.capacity, 0);
    const int64_t free = std::clamp<int64_t>(space.free, 0, capacity);
    DiskSpaceTexts t;
    t.freeCaption = QStringLiteral("Free Space on Drive ") + drive + QStringLiteral(": ");
    t.usedCaption = QStringLiteral("Used Space on Drive ") + drive + QStringLiteral(": ");
    t.freeShare = truncatedPercent(uint64_t(free), uint64_t(capacity));
    t.total = addCommas(capacity);
    t.free = addCommas(free);
    t.used = addCommas(capacity - free);
    t.freePercent = QStringLiteral("bytes (") + QString::number(t.freeShare) + QStringLiteral(" %) ");
    t.usedPercent = QStringLiteral("bytes (") + QString::number(100 - t.freeShare) + QStringLiteral(" %) ");
    return t;
}

} // namespace kelvane
