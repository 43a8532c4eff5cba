#include "common/fileops.h"
#include "common/filestamp.h"
#include "common/stamptext.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <QLocale>

using namespace kelvane;
using kelvane::test::localTime;

TEST(FileStamp, PacksLocalFieldsAtTwoSecondResolution)
{
    const uint32_t stamp = packStamp(localTime(2026, 12, 7, 14, 37, 59));
    EXPECT_EQ(stamp >> 16, ((2026u - 1980u) << 9) | (12u << 5) | 7u);
    EXPECT_EQ(stamp & 0xFFFF, (14u << 11) | (37u << 5) | 29u);
    const auto back = unpackStamp(stamp);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->date(), QDate(2026, 12, 7));
    EXPECT_EQ(back->time(), QTime(14, 37, 58));
}

TEST(FileStamp, OutsideTheStampRangeGivesTheInvalidStamp)
{
    EXPECT_EQ(packStamp(localTime(1979, 12, 31, 23, 59, 58)), 0u);
    EXPECT_NE(packStamp(localTime(1980, 1, 1, 0, 0, 0)), 0u);
    EXPECT_NE(packStamp(localTime(2107, 12, 31, 23, 59, 58)), 0u);
    EXPECT_EQ(packStamp(localTime(2108, 1, 1, 0, 0, 0)), 0u);
    EXPECT_FALSE(unpackStamp(0).has_value());
}

TEST(FileStamp, OutOfRangeFieldsDoNotConvert)
{
    EXPECT_FALSE(unpackStamp(packStampFields(2020, 0, 10, 1, 1, 0)).has_value());
    EXPECT_FALSE(unpackStamp(packStampFields(2021, 2, 29, 1, 1, 0)).has_value());
    EXPECT_FALSE(unpackStamp(packStampFields(2020, 5, 10, 24, 0, 0)).has_value());
    EXPECT_FALSE(unpackStamp(packStampFields(2020, 5, 10, 1, 60, 0)).has_value());
    EXPECT_TRUE(unpackStamp(packStampFields(2024, 2, 29, 23, 59, 58)).has_value());
}

TEST(FileStamp, WallClockInsideADaylightSavingGapIsKept)
{
    // 2:30 on the last Sunday of March does not exist in Berlin; a stamp can still hold it.
    const auto value = unpackStamp(packStampFields(2026, 3, 29, 2, 30, 0));
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->time(), QTime(2, 30, 0));
}

TEST(StampText, UserFormatsWithFourDigitYears)
{
    const uint32_t stamp = packStampFields(2026, 12, 7, 14, 37, 58);
    EXPECT_EQ(fileDateText(stamp), "12/7/2026");
    EXPECT_EQ(fileTimeText(stamp), "2:37:58 PM");
    EXPECT_EQ(userShortDateFormat(), "M/d/yyyy");
    EXPECT_FALSE(userLongTimeFormat().contains('t'));
}

TEST(StampText, InvalidStampsGiveTheFallbacks)
{
    const uint32_t monthZero = packStampFields(2000, 0, 1, 10, 0, 0);
    EXPECT_EQ(fileDateText(monthZero), "1/1/1980");
    EXPECT_EQ(fileTimeText(monthZero), "12:00:00 PM");
    EXPECT_EQ(fileDateText(0), "1/1/1980");
}

TEST(StampText, OtherLocalesReadBackToTheSameDate)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const uint32_t stamp = packStampFields(2003, 4, 5, 6, 7, 8);
    EXPECT_EQ(fileDateText(stamp), "05.04.2003");
    EXPECT_EQ(fileTimeText(stamp), "06:07:08");
    EXPECT_EQ(QLocale().toDate(fileDateText(stamp), userShortDateFormat()), QDate(2003, 4, 5));
    EXPECT_EQ(fileDateText(0), "01.01.1980");
    QLocale::setDefault(saved);
}

TEST(StampText, A1979FileShowsTheFallbackTexts)
{
    kelvane::test::TempTree tree;
    const std::string path = tree.file("old.txt", 10, 0644, localTime(1979, 6, 1, 8, 0, 0));
    const auto entry = lookupFile(path);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->stamp(), 0u);
    EXPECT_EQ(fileDateText(entry->stamp()), "1/1/1980");
    EXPECT_EQ(fileTimeText(entry->stamp()), "12:00:00 PM");
}
