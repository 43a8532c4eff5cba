#include "stats/agebands.h"
#include "stats/bandshares.h"
#include "stats/sizebands.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

using namespace kelvane;
using kelvane::test::localTime;

TEST(SizeBands, EachBandIncludesItsUpperBound)
{
    const std::vector<std::pair<int64_t, int>> cases = {
        {0, 1},       {16384, 1},   {16385, 2},   {32768, 2},    {32769, 3},    {131072, 3},
        {131073, 4},  {1048576, 4}, {1048577, 5}, {2097152, 5},  {2097153, 6},  {4194304, 6},
        {4194305, 7}, {8388608, 7}, {8388609, 8}, {16777216, 8}, {16777217, 9}, {int64_t(5) << 40, 9}};
    for (const auto& [size, band] : cases)
        EXPECT_EQ(sizeBand(size), band) << size;
    EXPECT_EQ(sizeBandCaption(1), "0 - 16 K");
    EXPECT_EQ(sizeBandCaption(4), "128K - 1Mb");
    EXPECT_EQ(sizeBandCaption(9), "Over 16Mb");
}

TEST(AgeBands, WholeLocalDaysEitherWay)
{
    const QDateTime now(QDate(2026, 12, 8), QTime(0, 1));
    EXPECT_EQ(fileAgeInDays(localTime(2026, 12, 7, 23, 59), now), 1); // yesterday, a minute ago
    EXPECT_EQ(fileAgeInDays(localTime(2026, 12, 8, 23, 59), now), 0);
    EXPECT_EQ(fileAgeInDays(localTime(2026, 12, 10, 12, 0), now), 2); // in the future
    // No file stamp before 1980 or after 2107: aged from 1 January 1980.
    const int64_t from1980 = QDate(1980, 1, 1).daysTo(QDate(2026, 12, 8));
    EXPECT_EQ(fileAgeInDays(localTime(1975, 6, 1), now), from1980);
    EXPECT_EQ(fileAgeInDays(localTime(2108, 1, 1), now), from1980);
    EXPECT_EQ(fileAgeInDays(localTime(2107, 12, 31), now), QDate(2026, 12, 8).daysTo(QDate(2107, 12, 31)));
}

TEST(AgeBands, BoundsAndCaptions)
{
    const std::vector<std::pair<int64_t, int>> cases = {
        {0, 1},   {7, 1},   {8, 2},   {30, 2},  {31, 3},   {60, 3},   {61, 4},   {120, 4},  {121, 5},
        {365, 5}, {366, 6}, {730, 6}, {731, 7}, {1095, 7}, {1096, 8}, {1460, 8}, {1461, 9}, {20000, 9}};
    for (const auto& [age, band] : cases)
        EXPECT_EQ(ageBand(age), band) << age;
    const QStringList captions = {"<= 7 days",   "8 - 30 days", "31 - 60 days", "61-120 days", "121-365 days",
                                  "1 - 2 years", "2 - 3 years", "3 - 4 years",  "Over 4 years"};
    for (int b = 1; b <= kBands; ++b)
        EXPECT_EQ(ageBandCaption(b), captions[b - 1]);
}

// The precomputed day boundaries must give the band of the calendar rule for
// every time, around midnights and over both summer-time changes.
TEST(AgeBands, PrecomputedBoundariesAgreeWithTheCalendar)
{
    for (const QDateTime& now :
         {QDateTime(QDate(2026, 3, 29), QTime(12, 0)), QDateTime(QDate(2026, 10, 25), QTime(1, 30)),
          QDateTime(QDate(2026, 12, 8), QTime(23, 59, 59))}) {
        const AgeBands bands(now);
        const QDate today = now.date();
        for (int d = -1600; d <= 1600; ++d) {
            const int64_t start = today.addDays(d).startOfDay().toSecsSinceEpoch();
            for (const int64_t t : {start - 1, start, start + 1, start + 12 * 3600}) {
                ASSERT_EQ(bands.band(t), ageBand(fileAgeInDays(t, now)))
                    << "now " << now.toString(Qt::ISODate).toStdString() << " t " << t;
            }
        }
        EXPECT_EQ(bands.band(localTime(1970, 1, 2)), kBands);
        EXPECT_EQ(bands.band(localTime(2200, 1, 1)), kBands);
    }
}

TEST(BandShares, TruncatedAndLeftAloneWhenNothingCounted)
{
    BandTotals totals;
    for (int i = 0; i < 3; ++i)
        totals.add(1, 10);
    totals.add(4, 1000000);
    const BandShares shares = bandShares(totals);
    ASSERT_TRUE(shares.files && shares.bytes);
    EXPECT_EQ((*shares.files)[1], 75);
    EXPECT_EQ((*shares.files)[4], 25);
    EXPECT_EQ((*shares.bytes)[1], 0);
    EXPECT_EQ((*shares.bytes)[4], 99);

    BandTotals emptyFiles;
    emptyFiles.add(2, 0);
    const BandShares onlyEmpty = bandShares(emptyFiles);
    EXPECT_TRUE(onlyEmpty.files);
    EXPECT_FALSE(onlyEmpty.bytes); // no bytes at all: the byte gauges stay
    EXPECT_FALSE(bandShares(BandTotals()).files);

    // Totals beyond 64 bits of part * 100 still give exact shares.
    BandTotals huge;
    huge.add(9, uint64_t(1) << 62);
    huge.add(8, uint64_t(1) << 62);
    EXPECT_EQ((*bandShares(huge).bytes)[9], 50);
    EXPECT_EQ(truncatedPercent(2, 3), 66);
}
