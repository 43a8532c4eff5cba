#include "common/commas.h"
#include "common/displayname.h"
#include "common/entrykind.h"
#include "common/searchpath.h"
#include "common/terminaltext.h"
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

// Every character that can act on a terminal or reorder text: C0, DEL, the C1
// block (as UTF-8 and as raw 8-bit bytes) and the bidirectional controls.
const char* const kActingNames[] = {
    "\x1b]0;TITLE\x07\x1b[2J", // sets the title, clears the screen
    "a\x7f"
    "b", // DEL
    "csi\xc2\x9b"
    "2J",          // U+009B, the 8-bit CSI
    "nel\xc2\x85", // U+0085
    "raw\x9b"
    "2J", // the 8-bit CSI as a lone byte
    "\xe2\x80\xae"
    "exe.txt", // U+202E right-to-left override
    "\xe2\x81\xa6"
    "a\xe2\x81\xa9", // U+2066 ... U+2069 isolates
    "\xe2\x80\xaa"
    "b",            // U+202A
    "x\xc0\xafy",   // overlong '/'
    "\xed\xa0\x80", // a surrogate
    "cut\xe2\x80",  // a sequence cut short
};

TEST(DisplayName, ControlsOfEveryKindBecomeQuestionMarks)
{
    EXPECT_EQ(displayName("csi\xc2\x9b"
                          "2J"),
              "csi?2J");
    EXPECT_EQ(displayName("\xe2\x80\xae"
                          "exe.txt"),
              "?exe.txt");
    EXPECT_EQ(displayName("\xe2\x81\xa6"
                          "a\xe2\x81\xa9"),
              "?a?");
    for (const char* name : kActingNames) {
        const QString shown = displayName(name);
        for (const QChar c : shown) {
            const char16_t u = c.unicode();
            EXPECT_FALSE(u < 0x20 || (u >= 0x7F && u <= 0x9F) || (u >= 0x202A && u <= 0x202E) ||
                         (u >= 0x2066 && u <= 0x2069))
                << name;
        }
    }
    // Letters beyond ASCII, and neighbours of the controls, stay.
    EXPECT_EQ(displayName("\xc2\xa0\xc3\xa9\xe2\x80\xa9\xe2\x81\xaa"),
              QString::fromUtf8("\xc2\xa0\xc3\xa9\xe2\x80\xa9\xe2\x81\xaa"));
}

TEST(TerminalSafe, NoByteThatActsOnATerminalGetsThrough)
{
    EXPECT_EQ(terminalSafe("plain/caf\xc3\xa9 \xe6\x97\xa5.txt"), "plain/caf\xc3\xa9 \xe6\x97\xa5.txt");
    EXPECT_EQ(terminalSafe("\x1b]0;TITLE\x07\x1b[2J"), "\\x1B]0;TITLE\\x07\\x1B[2J");
    EXPECT_EQ(terminalSafe("csi\xc2\x9b"
                           "2J"),
              "csi\\xC2\\x9B2J");
    EXPECT_EQ(terminalSafe("raw\x9b"), "raw\\x9B");
    EXPECT_EQ(terminalSafe("\xe2\x80\xae"
                           "exe"),
              "\\xE2\\x80\\xAEexe");
    EXPECT_EQ(terminalSafe("back\\slash"), "back\\\\slash"); // so that escapes read back
    for (const char* name : kActingNames) {
        const std::string safe = terminalSafe(name);
        for (const char c : safe) {
            const auto b = static_cast<unsigned char>(c);
            EXPECT_TRUE(b >= 0x20 && b < 0x7F) << name << " -> " << safe; // all of these escape to ASCII
        }
    }
}

TEST(TerminalSafe, TailIsCutAtACharacterBoundary)
{
    EXPECT_EQ(terminalTail("short", 60), "short");
    const std::string path = "/home/" + std::string(40, 'x') + "/\xc3\xa9\xc3\xa9\xc3\xa9";
    EXPECT_EQ(terminalTail(path, 10), ".../\xc3\xa9\xc3\xa9\xc3\xa9");
    // The last five bytes start inside a character: the tail starts after it.
    EXPECT_EQ(terminalTail(path, 8), "...\xc3\xa9\xc3\xa9");
}
