#include "common/commas.h"
#include "common/displayname.h"
#include "common/entrykind.h"
#include "common/searchpath.h"
#include "common/textfields.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <limits>

using namespace kelvane;

TEST(GetField, ColumnsOfATabSeparatedLine)
{
    const QString line = QStringLiteral("a\tb\tc");
    EXPECT_EQ(getField(line, 1), "a");
    EXPECT_EQ(getField(line, 2), "b");
    EXPECT_EQ(getField(line, 3), "c");
    EXPECT_EQ(getField(line, 4), "");
    EXPECT_EQ(getField(line, 0), "");
    EXPECT_EQ(getField(line, -3), "");
}

TEST(GetField, EmptyColumnsAndUntrimmedSpaces)
{
    EXPECT_EQ(getField(QStringLiteral("whole line"), 1), "whole line");
    EXPECT_EQ(getField(QString(), 1), "");
    EXPECT_EQ(getField(QString(), 2), "");
    EXPECT_EQ(getField(QStringLiteral("abcdefghij    \t12"), 1), "abcdefghij    ");
    EXPECT_EQ(getField(QStringLiteral("a\t\tc"), 2), "");
    EXPECT_EQ(getField(QStringLiteral("a\t\tc"), 3), "c");
    EXPECT_EQ(getField(QStringLiteral("a\tb\t"), 3), "");
    EXPECT_EQ(getField(QStringLiteral("a\tb\t"), 4), "");
    EXPECT_EQ(getField(QStringLiteral("\tb"), 1), "");
}

TEST(AddCommas, GroupsOfThreeWithSign)
{
    EXPECT_EQ(addCommas(0), "0");
    EXPECT_EQ(addCommas(999), "999");
    EXPECT_EQ(addCommas(1000), "1,000");
    EXPECT_EQ(addCommas(2147483647), "2,147,483,647");
    EXPECT_EQ(addCommas(-1234), "-1,234");
    EXPECT_EQ(addCommas(5'000'000'000LL), "5,000,000,000");
    EXPECT_EQ(addCommas(std::numeric_limits<int64_t>::max()), "9,223,372,036,854,775,807");
}

TEST(AddCommas, CommaWhateverTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(addCommas(1234567), "1,234,567");
    QLocale::setDefault(saved);
}

TEST(EntryKind, DotEntriesSubdirectoriesAndFiles)
{
    EXPECT_EQ(entryKind(".", kAttrDirectory), EntryKind::DotEntry);
    EXPECT_EQ(entryKind("..", kAttrDirectory), EntryKind::DotEntry);
    EXPECT_EQ(entryKind("..x", kAttrDirectory), EntryKind::Subdirectory);
    EXPECT_EQ(entryKind(".git", kAttrDirectory | kAttrHidden), EntryKind::Subdirectory);
    EXPECT_EQ(entryKind("f", kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive), EntryKind::Other);
    EXPECT_EQ(entryKind("...", kAttrArchive), EntryKind::Other);
}

TEST(SearchPath, EntriesInOrderAsWritten)
{
    SearchPathList list;
    list.GetSearchPath(QByteArray("/usr/local/bin:/usr/bin::/opt/Tools/"));
    EXPECT_EQ(list.lines(), QStringList({"/usr/local/bin", "/usr/bin", "", "/opt/Tools/"}));
    EXPECT_TRUE(list.inSearchPath(u"/usr/bin"));
    // A trailing separator stays, so the directory without it is not found.
    EXPECT_FALSE(list.inSearchPath(u"/opt/Tools"));
    EXPECT_TRUE(list.inSearchPath(u"/opt/Tools/"));
    // Linux paths are case-sensitive.
    EXPECT_FALSE(list.inSearchPath(u"/USR/BIN"));
    EXPECT_FALSE(list.inSearchPath(u"/usr"));
}

TEST(SearchPath, TrailingSeparatorAddsNoEmptyLineAndMissingPathGivesNone)
{
    SearchPathList list;
    list.GetSearchPath(QByteArray("/bin:"));
    EXPECT_EQ(list.lines(), QStringList({"/bin"}));
    list.GetSearchPath(QByteArray());
    EXPECT_TRUE(list.lines().isEmpty());
    EXPECT_FALSE(list.inSearchPath(u""));
}

TEST(SearchPath, ReadsTheEnvironmentWhole)
{
    const std::string longPath = "/a:" + std::string(400, 'x') + ":/b";
    ::setenv("KELVANE_SAVED_PATH", std::getenv("PATH") ? std::getenv("PATH") : "", 1);
    ::setenv("PATH", longPath.c_str(), 1);
    SearchPathList list;
    list.GetSearchPath();
    ::setenv("PATH", std::getenv("KELVANE_SAVED_PATH"), 1);
    ASSERT_EQ(list.lines().size(), 3);
    EXPECT_EQ(list.lines()[1].size(), 400);
    EXPECT_TRUE(list.inSearchPath(u"/b"));
}

TEST(DisplayName, ControlCharactersAndInvalidBytesKeepColumns)
{
    EXPECT_EQ(displayName("plain.txt"), "plain.txt");
    EXPECT_EQ(displayName("a\tb\nc\rd"), "a?b?c?d");
    const QString bad = displayName(std::string("x\xff\xfey"));
    EXPECT_TRUE(bad.startsWith('x'));
    EXPECT_TRUE(bad.endsWith('y'));
    EXPECT_TRUE(bad.contains(QChar(0xFFFD)));
    EXPECT_FALSE(bad.contains('\t'));
    EXPECT_EQ(displayName("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
}
