#include "stats/agebands.h"

#include <cstdlib>

namespace kelvane {

namespace {

constexpr std::array<int64_t, kBands - 1> kUpperBounds = {7, 30, 60, 120, 365, 730, 1095, 1460};

int64_t startOfDay(const QDate& date)
{
    return date.startOfDay(Qt::LocalTime).toSecsSinceEpoch();
}

const QDate kFirstStampDay(1980, 1, 1);
const QDate kEndOfStampDays(2108, 1, 1);

} // namespace

int64_t fileAgeInDays(int64_t mtime, const QDateTime& now)
{
    QDate day = QDateTime::fromSecsSinceEpoch(mtime, Qt::LocalTime).date();
    if (!day.isValid() || day < kFirstStampDay || day >= kEndOfStampDays)
        day = kFirstStampDay;
    return std::llabs(day.daysTo(now.toLocalTime().date()));
}

int ageBand(int64_t ageInDays)
{
    for (size_t i = 0; i < kUpperBounds.size(); ++i) {
        if (ageInDays <= kUpperBounds[i])
            return int(i) + 1;
    }
    return kBands;
}

QString ageBandCaption(int band)
{
    static const char* const captions[kBands] = {"<= 7 days",   "8 - 30 days",  "31 - 60 days",
                                                 "61-120 days", "121-365 days", "1 - 2 years",
                                                 "2 - 3 years", "3 - 4 years",  "Over 4 years"};
    return band >= 1 && band <= kBands ? QString::fromLatin1(captions[band - 1]) : QString();
}

AgeBands::AgeBands(const QDateTime& now)
    : firstStamped_(startOfDay(kFirstStampDay)), lastStampedEnd_(startOfDay(kEndOfStampDays))
{
    const QDate today = now.toLocalTime().date();
    tomorrow_ = startOfDay(today.addDays(1));
    for (size_t i = 0; i < kUpperBounds.size(); ++i) {
        pastStart_[i] = startOfDay(today.addDays(-kUpperBounds[i]));
        futureEnd_[i] = startOfDay(today.addDays(kUpperBounds[i] + 1));
    }
}

int AgeBands::band(int64_t mtime) const
{
    if (mtime < firstStamped_ || mtime >= lastStampedEnd_)
        mtime = firstStamped_;
    if (mtime < tomorrow_) {
        for (size_t i = 0; i < pastStart_.size(); ++i) {
            if (mtime >= pastStart_[i])
                return int(i) + 1;
        }
    } else {
        for (size_t i = 0; i < futureEnd_.size(); ++i) {
            if (mtime < futureEnd_[i])
                return int(i) + 1;
        }
    }
    return kBands;
}

} // namespace kelvane
