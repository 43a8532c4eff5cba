#include "common/filestamp.h"

#include <ctime>

namespace kelvane {

uint32_t packStampFields(int year, int month, int day, int hour, int minute, int second)
{
    if (year < 1980 || year > 2107)
        return 0;
    const uint32_t date = (uint32_t(year - 1980) << 9) | (uint32_t(month) << 5) | uint32_t(day);
    const uint32_t time = (uint32_t(hour) << 11) | (uint32_t(minute) << 5) | uint32_t(second / 2);
    return (date << 16) | time;
}

uint32_t packStamp(int64_t secondsSinceEpoch)
{
    const time_t t = static_cast<time_t>(secondsSinceEpoch);
    struct tm local;
    if (localtime_r(&t, &local) == nullptr)
        return 0;
    return packStampFields(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                           local.tm_sec > 59 ? 59 : local.tm_sec);
}

std::optional<QDateTime> unpackStamp(uint32_t stamp)
{
    const uint32_t date = stamp >> 16;
    const uint32_t time = stamp & 0xFFFF;
    const QDate d(int(date >> 9) + 1980, int((date >> 5) & 0x0F), int(date & 0x1F));
    const QTime t(int(time >> 11), int((time >> 5) & 0x3F), int(time & 0x1F) * 2);
    if (!d.isValid() || !t.isValid())
        return std::nullopt;
    // UTC keeps the wall-clock fields as stored, also inside a DST gap.
    return QDateTime(d, t, Qt::UTC);
}

} // namespace kelvane
