#include "common/filestamp.h"
#include "common/stamptext.h"
#include "filemod/changedtexts.h"
#include "filemod/datefield.h"

#include <gtest/gtest.h>

using namespace kelvane;

namespace {

ChangedFileList oneFile(const std::string& dir, const std::string& name, uint32_t stamp)
{
    ChangedFileList files;
    files.startDirectory(dir);
    files.add(name, stamp);
    return files;
}

QString q(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace

TEST(ChangedTexts, DayNamesFromSundayToSaturday)
{
    EXPECT_EQ(dayOfWeekName(QDate(2026, 12, 7)), q("Mon"));
    EXPECT_EQ(dayOfWeekName(QDate(2026, 12, 6)), q("Sun"));
    EXPECT_EQ(dayOfWeekName(QDate(2026, 12, 12)), q("Sat"));
    EXPECT_EQ(dayOfWeekName(QDate(1980, 1, 1)), q("Tue"));
    EXPECT_EQ(dayOfWeekName(QDate()), QString());
}

TEST(ChangedTexts, DatesAndTimesAsTheSharedStampTexts)
{
    ChangedTexts texts;
    // Month 0, an hour of 25 with a good date, a good date with seconds 62:
    // none converts, so both texts fall back.
    const uint32_t stamps[] = {packStampFields(2026, 12, 7, 14, 37, 58),
                               packStampFields(2026, 12, 7, 0, 0, 0),
                               packStampFields(1980, 1, 1, 23, 59, 58),
                               0,
                               packStampFields(2026, 0, 7, 10, 0, 0),
                               packStampFields(2026, 12, 7, 25, 0, 0),
                               (packStampFields(2026, 12, 7, 10, 0, 0) & 0xFFFF0000u) | 31u};
    for (const uint32_t stamp : stamps) {
        EXPECT_EQ(texts.dateText(stamp), fileDateText(stamp)) << stamp;
        EXPECT_EQ(texts.timeText(stamp), fileTimeText(stamp)) << stamp;
        // Asked again, from the texts made once.
        EXPECT_EQ(texts.dateText(stamp), fileDateText(stamp)) << stamp;
    }
    // A good stamp that shares its date half with a bad one keeps its own texts.
    EXPECT_EQ(texts.timeText(packStampFields(2026, 12, 7, 10, 0, 0)), q("10:00:00 AM"));
    EXPECT_EQ(texts.dateText(packStampFields(2026, 12, 7, 10, 0, 0)), q("12/7/2026"));
    EXPECT_EQ(texts.dayText(packStampFields(2026, 0, 7, 10, 0, 0)), q("Tue"));
}

TEST(ChangedTexts, LineAndCellsOfOneFile)
{
    ChangedTexts texts;
    const uint32_t stamp = packStampFields(2026, 12, 7, 14, 37, 58);
    const ChangedFileList files = oneFile("/Data/Photos", "IMG01.JPG", stamp);
    EXPECT_EQ(texts.line(files, 0), q("img01.jpg     \t12/7/2026\t2:37:58 PM\tMon\t/Data/Photos"));
    EXPECT_EQ(texts.cells(files, 0),
              QStringList({q("IMG01.JPG"), q("12/7/2026"), q("2:37:58 PM"), q("Mon"), q("/Data/Photos")}));
    const GridRow row = texts.gridRow(files, 0);
    EXPECT_EQ(row.path, "/Data/Photos/IMG01.JPG");

    const ChangedFileList atRoot = oneFile("/", "f", stamp);
    EXPECT_EQ(atRoot.path(0), "/f");
    EXPECT_TRUE(texts.line(atRoot, 0).endsWith(q("\tMon\t/")));
}

TEST(ChangedTexts, NameKeyLowersOnlyAsciiAndPadsTo14)
{
    EXPECT_EQ(changedNameKey("ABCDE"), q("abcde         "));
    EXPECT_EQ(changedNameKey("A_Twenty_Char_Name.x"), q("a_twenty_char_name.x"));
    EXPECT_EQ(changedNameKey("ÄRGER.TXT"), q("Ärger.txt     "));
    EXPECT_EQ(changedNameKey(""), QString(14, QLatin1Char(' ')));
}

TEST(ChangedTexts, OddNamesKeepTheColumnsAndTheRealPath)
{
    ChangedTexts texts;
    const std::string odd = "a\tb\nc\xff";
    const ChangedFileList files = oneFile("/d\tir", odd, packStampFields(2026, 12, 7, 10, 0, 0));
    const QString line = texts.line(files, 0);
    EXPECT_EQ(line.count(QLatin1Char('\t')), 4);
    EXPECT_TRUE(line.startsWith(q("a?b?c\xef\xbf\xbd")));
    EXPECT_TRUE(line.endsWith(q("\t/d?ir")));
    EXPECT_EQ(texts.gridRow(files, 0).path, "/d\tir/" + odd);
}

TEST(DateField, ShortDateTextsReadBack)
{
    EXPECT_EQ(dateFieldText(QDate(2026, 12, 7)), q("12/7/2026"));
    EXPECT_EQ(readDateField(q("12/7/2026")), QDate(2026, 12, 7));
    EXPECT_EQ(readDateField(q("  2/29/2028 ")), QDate(2028, 2, 29));
    for (const char* bad : {"", "abc", "13/1/2026", "2/29/2027", "12/7", "2026-12-07"})
        EXPECT_EQ(readDateField(q(bad)), std::nullopt) << bad;
}

TEST(ChangedFileList, AppendAndTruncateKeepDirectoriesAndOrder)
{
    ChangedFileList a;
    a.startDirectory("/x/deep");
    a.add("f1", 1);
    a.startDirectory("/x");
    a.add("f2", 2);
    a.add("f3", 3);
    ChangedFileList b;
    b.startDirectory("/y");
    b.add("g1", 4);
    a.append(std::move(b));
    ASSERT_EQ(a.size(), 4u);
    EXPECT_EQ(a.path(0), "/x/deep/f1");
    EXPECT_EQ(a.path(2), "/x/f3");
    EXPECT_EQ(a.path(3), "/y/g1");
    EXPECT_EQ(a.stamp(3), 4u);
    a.truncate(2);
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a.path(1), "/x/f2");
    a.startDirectory("/z");
    a.add("h", 5);
    EXPECT_EQ(a.path(2), "/z/h");
}
