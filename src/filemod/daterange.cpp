#include "filemod/daterange.h"

#include "common/filestamp.h"

#include <algorithm>
#include <cstdlib>

namespace kelvane {

namespace {

constexpr int64_t kDay = 86400;
// Local time is never more than a day away from UTC, so a time further than
// two days from a UTC midnight has the same date in every time zone.
constexpr int64_t kMargin = 2 * kDay;

const QDate kFallbackDate(1980, 1, 1);
const QDate kFirstStampDate(1980, 1, 1);
const QDate kAfterLastStampDate(2108, 1, 1);

int64_t utcMidnight(QDate date)
{
    return (date.toJulianDay() - QDate(1970, 1, 1).toJulianDay()) * kDay;
}

bool near(int64_t t, int64_t edge)
{
    return t > edge - kMargin && t < edge + kMargin;
}

} // namespace

QDate stampDate(uint32_t stamp)
{
    const auto value = unpackStamp(stamp);
    return value ? value->date() : kFallbackDate;
}

DateRange::DateRange(QDate first, QDate last) : first_(first), last_(last)
{
    empty_ = !first.isValid() || !last.isValid() || first > last;
    fallbackInside_ = containsDate(kFallbackDate);
    if (!empty_) {
        // Clamped so that far dates cannot overflow; stamps exist only
        // between 1980 and 2107 anyway.
        firstMidnightUtc_ = utcMidnight(std::clamp(first, QDate(1900, 1, 1), QDate(2200, 1, 1)));
        afterLastMidnightUtc_ =
            utcMidnight(std::clamp(last.addDays(1), QDate(1900, 1, 1), QDate(2200, 1, 1)));
    }
}

bool DateRange::contains(int64_t mtime) const
{
    if (empty_)
        return false;
    static const int64_t firstStamp = utcMidnight(kFirstStampDate);
    static const int64_t afterLastStamp = utcMidnight(kAfterLastStampDate);
    if (near(mtime, firstStamp) || near(mtime, afterLastStamp) || near(mtime, firstMidnightUtc_) ||
        near(mtime, afterLastMidnightUtc_))
        return containsStamp(packStamp(mtime));
    if (mtime < firstStamp || mtime >= afterLastStamp)
        return fallbackInside_;
    return mtime >= firstMidnightUtc_ && mtime < afterLastMidnightUtc_;
}

} // namespace kelvane
