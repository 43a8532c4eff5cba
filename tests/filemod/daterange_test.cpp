#include "common/filestamp.h"
#include "filemod/daterange.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

using namespace kelvane;
using kelvane::test::localTime;

namespace {

// The fast test must give the answer of the stamp's own date everywhere near
// an edge: compares both every few minutes over a few days around t.
void expectAgreesAround(const DateRange& range, int64_t t)
{
    for (int64_t s = t - 3 * 86400; s <= t + 3 * 86400; s += 7 * 60 + 1) {
        ASSERT_EQ(range.contains(s), range.containsStamp(packStamp(s)))
            << "at " << s << " for " << range.first().toString().toStdString() << " .. "
            << range.last().toString().toStdString();
    }
}

} // namespace

TEST(DateRange, WholeLocalDaysWithBothEndsIncluded)
{
    const DateRange range(QDate(2026, 12, 1), QDate(2026, 12, 7));
    EXPECT_TRUE(range.contains(localTime(2026, 12, 1, 0, 0, 0)));
    EXPECT_TRUE(range.contains(localTime(2026, 12, 7, 23, 59, 59)));
    EXPECT_FALSE(range.contains(localTime(2026, 12, 8, 0, 0, 0)));
    EXPECT_FALSE(range.contains(localTime(2026, 11, 30, 23, 59, 59)));
    EXPECT_TRUE(range.contains(localTime(2026, 12, 4, 12, 0, 0)));

    const DateRange oneDay(QDate(2026, 12, 7), QDate(2026, 12, 7));
    EXPECT_TRUE(oneDay.contains(localTime(2026, 12, 7, 0, 0, 0)));
    EXPECT_TRUE(oneDay.contains(localTime(2026, 12, 7, 23, 59, 59)));
    EXPECT_FALSE(oneDay.contains(localTime(2026, 12, 6, 23, 59, 59)));
}

TEST(DateRange, StartAfterEndContainsNothing)
{
    const DateRange range(QDate(2026, 12, 8), QDate(2026, 12, 7));
    EXPECT_FALSE(range.contains(localTime(2026, 12, 7, 12)));
    EXPECT_FALSE(range.contains(localTime(2026, 12, 8, 12)));
    EXPECT_FALSE(range.contains(localTime(1975, 1, 1)));
    EXPECT_FALSE(range.containsStamp(0));
}

TEST(DateRange, TimesOutsideTheStampRangeCountAsFirstOfJanuary1980)
{
    EXPECT_EQ(stampDate(0), QDate(1980, 1, 1));
    EXPECT_EQ(stampDate(packStampFields(2026, 12, 7, 10, 0, 0)), QDate(2026, 12, 7));

    const DateRange with1980(QDate(1979, 12, 1), QDate(1980, 1, 1));
    const DateRange without1980(QDate(1980, 1, 2), QDate(2030, 1, 1));
    for (const int64_t t : {localTime(1975, 6, 1), localTime(1979, 12, 31, 23, 59, 58), int64_t(0),
                            int64_t(-86400 * 400), localTime(2110, 1, 1)}) {
        EXPECT_TRUE(with1980.contains(t)) << t;
        EXPECT_FALSE(without1980.contains(t)) << t;
    }
    // A true 1979 date inside a range never matches: the stamp has no such date.
    EXPECT_FALSE(DateRange(QDate(1979, 12, 31), QDate(1979, 12, 31)).contains(localTime(1979, 12, 31, 12)));
}

TEST(DateRange, FastTestAgreesWithTheStampDateNearEveryEdge)
{
    // Summer time starts and ends inside these ranges (Europe/Berlin is pinned).
    const DateRange ranges[] = {
        DateRange(QDate(2026, 3, 29), QDate(2026, 10, 25)), DateRange(QDate(2026, 3, 28), QDate(2026, 3, 29)),
        DateRange(QDate(1980, 1, 1), QDate(1980, 1, 1)),    DateRange(QDate(1970, 1, 1), QDate(2107, 12, 31)),
        DateRange(QDate(2107, 12, 31), QDate(2200, 1, 1)),  DateRange(QDate(1900, 1, 1), QDate(1979, 12, 31)),
    };
    for (const DateRange& range : ranges) {
        for (const QDate edge : {range.first(), range.last().addDays(1), QDate(1980, 1, 1), QDate(2108, 1, 1),
                                 QDate(2026, 3, 29), QDate(2026, 10, 25)}) {
            const int64_t t = QDateTime(edge, QTime(0, 0)).toSecsSinceEpoch();
            expectAgreesAround(range, t);
        }
    }
}
