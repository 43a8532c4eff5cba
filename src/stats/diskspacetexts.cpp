#include "stats/diskspacetexts.h"

#include "common/commas.h"
#include "stats/bandshares.h"

#include <algorithm>

namespace kelvane {

namespace {

QString percentText(int share)
{
    return QStringLiteral("bytes (") + QString::number(share) + QStringLiteral(" %) ");
}

} // namespace

DiskSpaceTexts diskSpaceTexts(const QString& drive, const DiskSpace& space)
{
    const int64_t capacity = std::max<int64_t>(space.capacity, 0);
    const int64_t free = std::clamp<int64_t>(space.free, 0, capacity);
    const int64_t reserved = std::clamp<int64_t>(space.reserved, 0, capacity - free);
    DiskSpaceTexts t;
    t.freeCaption = QStringLiteral("Free Space on Drive ") + drive + QStringLiteral(": ");
    t.usedCaption = QStringLiteral("Used Space on Drive ") + drive + QStringLiteral(": ");
    t.reservedCaption = QStringLiteral("Reserved for root on Drive ") + drive + QStringLiteral(": ");
    t.freeShare = truncatedPercent(uint64_t(free), uint64_t(capacity));
    t.reservedShare = truncatedPercent(uint64_t(reserved), uint64_t(capacity));
    t.total = addCommas(capacity);
    t.free = addCommas(free);
    t.used = addCommas(capacity - free - reserved);
    t.reserved = addCommas(reserved);
    t.freePercent = percentText(t.freeShare);
    t.usedPercent = percentText(100 - t.freeShare - t.reservedShare);
    t.reservedPercent = percentText(t.reservedShare);
    return t;
}

} // namespace kelvane
