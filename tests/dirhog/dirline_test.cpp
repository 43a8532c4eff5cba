#include "common/filestamp.h"
#include "dirhog/dirline.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(DirLine, PadSizeRightAlignsInSevenCharacters)
{
    EXPECT_EQ(padSize(0), QString("      0"));
    EXPECT_EQ(padSize(1234), QString("   1234"));
    EXPECT_EQ(padSize(1234567), QString("1234567"));
    EXPECT_EQ(padSize(12345678901LL), QString("12345678901")); // wider numbers keep all their digits
    EXPECT_EQ(sizeColumn(1023), QString("      0 K"));
    EXPECT_EQ(sizeColumn(1024), QString("      1 K"));
    EXPECT_EQ(sizeColumn(4000), QString("      3 K"));
    EXPECT_EQ(sizeColumn(1048576000), QString("1024000 K"));
}

TEST(DirLine, PercentOfDriveHasTwoDecimalsOrQuestionMarks)
{
    EXPECT_EQ(percentOfDrive(2097152000, 1048576000), QString("50.00"));
    EXPECT_EQ(percentOfDrive(1000, 0), QString("0.00"));
    EXPECT_EQ(percentOfDrive(3, 1), QString("33.33"));
    EXPECT_EQ(percentOfDrive(3, 2), QString("66.67")); // rounded, not cut
    EXPECT_EQ(percentOfDrive(1000, 999), QString("99.90"));
    EXPECT_EQ(percentOfDrive(1000, 1000), QString("???"));
    EXPECT_EQ(percentOfDrive(1000, 5000), QString("???"));
    EXPECT_EQ(percentOfDrive(-1, 0), QString("???")); // capacity unknown
    EXPECT_EQ(percentOfDrive(0, 0), QString("???"));
    // Beyond 32 bits: 8 TB of a 16 TB drive.
    EXPECT_EQ(percentOfDrive(16'000'000'000'000LL, 8'000'000'000'000LL), QString("50.00"));
}

TEST(DirLine, DirectoryLineHasSevenColumns)
{
    DirTotals totals;
    totals.bytes = 4000;
    totals.files = 2;
    totals.subdirs = 1;
    totals.latestTime = test::localTime(2024, 3, 5, 14, 30);
    EXPECT_EQ(directoryLine(totals, 2'000'000, "/data/My Dir"),
              QString("      3 K\t0.20\t2\t1\t3/5/2024\t/data/My Dir\t3/5/2024"));

    // No file: empty dates; the path is shown as stored, never lower-cased.
    EXPECT_EQ(directoryLine(DirTotals{}, 2'000'000, "/Data"), QString("      0 K\t0.00\t0\t0\t\t/Data\t"));
}

TEST(DirLine, OddNamesKeepTheColumns)
{
    const QString line = directoryLine(DirTotals{}, 100, "/a\tb\nc\xff");
    EXPECT_EQ(line.count('\t'), 6);
    EXPECT_EQ(line.section('\t', 5, 5), QString("/a?b?c\uFFFD"));
}

TEST(DirLine, SizeSortTextOrdersLongSizesAsNumbers)
{
    const QString small = sizeSortText("9999999 K");
    const QString large = sizeSortText("10000000 K");
    const QString tiny = sizeSortText("      3 K");
    EXPECT_LT(small, large);
    EXPECT_LT(tiny, small);
    EXPECT_EQ(sizeSortText("DELETED"), QString("DELETED"));
    EXPECT_GT(QString("DELETED"), large); // deleted rows still come first in a descending sort
}

TEST(DirTotals, LatestFileIsTheNewestWithAStamp)
{
    auto file = [](int64_t size, int64_t mtime) {
        Entry e;
        e.size = size;
        e.mtime = mtime;
        return e;
    };
    DirTotals totals;
    EXPECT_EQ(totals.latestStamp(), 0u);
    totals.addFile(file(10, test::localTime(2001, 5, 1)));
    totals.addFile(file(5, test::localTime(1979, 12, 31, 23, 59, 59))); // no stamp
    totals.addFile(file(20, test::localTime(2023, 11, 14)));
    totals.addFile(file(1, test::localTime(2108, 1, 1))); // no stamp either
    EXPECT_EQ(totals.files, 4);
    EXPECT_EQ(totals.bytes, 36);
    EXPECT_EQ(totals.latestStamp(), packStampFields(2023, 11, 14, 0, 0, 0));

    DirTotals onlyOld;
    onlyOld.addFile(file(5, test::localTime(1975, 1, 1)));
    EXPECT_EQ(onlyOld.latestStamp(), 0u);
    onlyOld += totals;
    EXPECT_EQ(onlyOld.latestStamp(), packStampFields(2023, 11, 14, 0, 0, 0));
    EXPECT_EQ(onlyOld.files, 5);

    // A file of 2050 has a stamp with the top bit set; it is still the newest.
    totals.addFile(file(0, test::localTime(2050, 6, 1)));
    EXPECT_EQ(totals.latestStamp(), packStampFields(2050, 6, 1, 0, 0, 0));

    // The first and last seconds that have a stamp, in local time.
    EXPECT_TRUE(hasStamp(test::localTime(1980, 1, 1)));
    EXPECT_FALSE(hasStamp(test::localTime(1980, 1, 1) - 1));
    EXPECT_TRUE(hasStamp(test::localTime(2107, 12, 31, 23, 59, 59)));
    EXPECT_FALSE(hasStamp(test::localTime(2108, 1, 1)));
}
