// Patterns, the texts of result lines and the case-insensitive order.

#include "duplic/caseless.h"
#include "duplic/namepattern.h"
#include "duplic/resultlines.h"

#include <gtest/gtest.h>

#include <QString>

#include <string>
#include <vector>

using namespace kelvane;

TEST(NamePattern, StarQuestionMarkAndLetterCase)
{
    const NamePattern bak(QStringLiteral("*.bak"));
    EXPECT_TRUE(bak.matches("old.bak"));
    EXPECT_TRUE(bak.matches("OLD.BAK"));
    EXPECT_TRUE(bak.matches(".bak"));
    EXPECT_TRUE(bak.matches("a.b.bak"));
    EXPECT_FALSE(bak.matches("old.bak2"));
    EXPECT_FALSE(bak.matches("oldbak"));

    const NamePattern question(QStringLiteral("Re?d*.T?T"));
    EXPECT_TRUE(question.matches("readme.txt"));
    EXPECT_TRUE(question.matches("REDD.TXT"));
    EXPECT_FALSE(question.matches("rd.txt")); // ? stands for exactly one character
    EXPECT_FALSE(question.matches("readme.tt"));

    // Backtracking past a false start of the star.
    EXPECT_TRUE(NamePattern(QStringLiteral("*ab*ab")).matches("xxabyyabab"));
    EXPECT_FALSE(NamePattern(QStringLiteral("*ab*ab")).matches("xxabyyaba"));
}

TEST(NamePattern, StarDotStarMatchesEveryNameAndEmptyMatchesNone)
{
    const NamePattern all(QStringLiteral("*.*"));
    EXPECT_TRUE(all.matchesEverything());
    for (const char* name : {"Makefile", "a.b", "x.", "\xff\xfe", "tab\tname"})
        EXPECT_TRUE(all.matches(name)) << name;
    EXPECT_TRUE(NamePattern(QStringLiteral("*")).matches("no dot"));

    const NamePattern none{QString()};
    EXPECT_TRUE(none.matchesNothing());
    EXPECT_FALSE(none.matches("a.txt"));
    EXPECT_FALSE(none.matches(""));
}

TEST(NamePattern, NonAsciiLettersAndInvalidBytes)
{
    EXPECT_TRUE(NamePattern(QStringLiteral("*.ÄRZ")).matches("bericht.ärz"));
    EXPECT_TRUE(NamePattern(QStringLiteral("Ü?.txt")).matches("üb.TXT"));
    EXPECT_FALSE(NamePattern(QStringLiteral("Ü?.txt")).matches("ub.txt"));
    // A byte that is not UTF-8 is one character for "?" and matches no letter.
    EXPECT_TRUE(NamePattern(QStringLiteral("a?b"))
                    .matches("a\xff"
                             "b"));
    EXPECT_FALSE(NamePattern(QStringLiteral("a.txt")).matches("\xff.txt"));
}

TEST(ResultTexts, PadNumberAndSize)
{
    EXPECT_EQ(padNumber(0), QStringLiteral("    0"));
    EXPECT_EQ(padNumber(7), QStringLiteral("    7"));
    EXPECT_EQ(padNumber(12), QStringLiteral("   12"));
    EXPECT_EQ(padNumber(250), QStringLiteral("  250"));
    EXPECT_EQ(padNumber(1234), QStringLiteral(" 1234"));
    EXPECT_EQ(padNumber(12345), QStringLiteral("12345"));
    EXPECT_EQ(padNumber(4194304), QStringLiteral("4194304")); // 4 GiB in KB: no wrap, no cut

    EXPECT_EQ(sizeText(256000), QStringLiteral("  250 K"));
    EXPECT_EQ(sizeText(1023), QStringLiteral("    0 K"));
    EXPECT_EQ(sizeText(2047), QStringLiteral("    1 K"));
    EXPECT_EQ(sizeText(int64_t(5) << 40), QStringLiteral("5368709120 K"));
}

TEST(ResultTexts, NameKeyIsLowerCasePaddedAndNeverCut)
{
    EXPECT_EQ(nameKey("README.TXT"), QStringLiteral("readme.txt    "));
    EXPECT_EQ(nameKey("a.txt"), QStringLiteral("a.txt         "));
    EXPECT_EQ(nameKey("averyveryverylongname.doc"), QStringLiteral("averyveryverylongname.doc"));
    EXPECT_EQ(nameKey("ÄRGER.TXT"), QStringLiteral("ärger.txt     "));
    // Control characters and invalid bytes keep the line's columns.
    EXPECT_EQ(nameKey("A\tB\nC\xff"), QStringLiteral("a?b?c\uFFFD        "));
}

TEST(CaselessOrder, AgreesWithQtOnEveryPair)
{
    // Pairs that only Unicode folding settles (the Kelvin sign folds to k)
    // as well as plain ASCII ones.
    const std::vector<std::string> texts = {
        "",
        "a",
        "A",
        "ab",
        "aB",
        "abc",
        "b",
        "_x",
        "Zebra",
        "zebra",
        "\xe2\x84\xaa"
        "elvin",
        "kelvin",
        "Kelvin",
        "kz",
        "ä",
        "Ä",
        "äb",
        "az",
        "a\tb",
        "a b",
        "straße",
        "STRASSE",
        "Ωmega",
        "ωMEGA",
        "\xc3\xa9t\xc3\xa9",
        "\xc3\x89T\xc3\x89",
        "x/y",
        "x-y",
    };
    for (const std::string& a : texts) {
        for (const std::string& b : texts) {
            const int qt = QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive);
            const int ours = compareCaseless(a, b);
            EXPECT_EQ(ours < 0, qt < 0) << a << " | " << b;
            EXPECT_EQ(ours == 0, qt == 0) << a << " | " << b;
        }
    }
}

TEST(CaselessOrder, LongCommonPrefixes)
{
    const std::string base = "/var/tmp/some/long/shared/directory/path/";
    EXPECT_EQ(compareCaseless(base + "Alpha", base + "alpha"), 0);
    EXPECT_LT(compareCaseless(base + "alpha", base + "BETA"), 0);
    EXPECT_GT(compareCaseless(base + "alphas", base + "ALPHA"), 0);
    EXPECT_LT(compareCaseless(base + "k", base + "\xe2\x84\xaa"
                                                 "a"),
              0); // Kelvin sign folds to k
}
