#pragma once

#include "stats/bandtotals.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>

namespace kelvane {

// Whole local days between the day of a file time (seconds since the epoch)
// and the day of now, never negative: a file dated in the future gets the
// distance forwards. A time without a file stamp (before 1980 or after 2107)
// counts as 1 January 1980, 00:00.
int64_t fileAgeInDays(int64_t mtime, const QDateTime& now);

// Age band 1 to 9 of an age in days: upper bounds 7, 30, 60, 120, 365, 730,
// 1095 and 1460 days, each included; band 9 is older.
int ageBand(int64_t ageInDays);

// "<= 7 days" ... "Over 4 years" for bands 1 to 9.
QString ageBandCaption(int band);

// The age band of a file time without calendar arithmetic per file: the day
// boundaries of every band are worked out once, in local time, for one now.
// Gives the same band as ageBand(fileAgeInDays(mtime, now)).
class AgeBands {
public:
    explicit AgeBands(const QDateTime& now);
    int band(int64_t mtime) const;

private:
    int64_t firstStamped_;                      // 1 January 1980, 00:00
    int64_t lastStampedEnd_;                    // 1 January 2108, 00:00: past the last stamp
    int64_t tomorrow_;                          // start of the day after now
    std::array<int64_t, kBands - 1> pastStart_; // start of the day `bound` days ago
    std::array<int64_t, kBands - 1> futureEnd_; // start of the day `bound + 1` days ahead
};

} // namespace kelvane
