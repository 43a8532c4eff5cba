#include "stats/extensionkey.h"
#include "stats/extensiontally.h"
#include "stats/typetable.h"

#include <gtest/gtest.h>

#include <string>

using namespace kelvane;

namespace {

std::vector<std::string> keysOf(const std::vector<TypeRow>& rows)
{
    std::vector<std::string> keys;
    for (const TypeRow& r : rows)
        keys.push_back(r.key);
    return keys;
}

} // namespace

TEST(ExtensionKey, FromTheLastDotUpperCasingOnlyPlainLetters)
{
    EXPECT_EQ(extensionKey("README"), "");
    EXPECT_EQ(extensionKey("notes."), ".");
    EXPECT_EQ(extensionKey("report.txt"), ".TXT");
    EXPECT_EQ(extensionKey("REPORT.TXT"), ".TXT");
    EXPECT_EQ(extensionKey("archive.tar.gz"), ".GZ");
    EXPECT_EQ(extensionKey(".profile"), ".PROFILE");
    EXPECT_EQ(extensionKey("photo.jpég"), ".JPéG"); // bytes beyond a-z stay as they are
    EXPECT_EQ(extensionKey("x.a\tb"), ".A\tB");
}

TEST(ExtensionKey, AtMostFiveCharactersWithTheDot)
{
    EXPECT_TRUE(keyFitsTable(""));
    EXPECT_TRUE(keyFitsTable("."));
    EXPECT_TRUE(keyFitsTable(".HTML"));
    EXPECT_TRUE(keyFitsTable(".JPEG"));
    EXPECT_FALSE(keyFitsTable(".CLASS"));
    // A character, not a byte: four two-byte letters fit, five do not.
    EXPECT_TRUE(keyFitsTable(".ÄÖÜÉ"));
    EXPECT_FALSE(keyFitsTable(".ÄÖÜÉÈ"));
    // Invalid bytes count one each, however many there are.
    EXPECT_TRUE(keyFitsTable(".\x80\x80\x80\x80"));
    EXPECT_FALSE(keyFitsTable(".\x80\x80\x80\x80\x80"));
    EXPECT_FALSE(keyFitsTable(std::string(".") + std::string(40, '\x80')));
}

TEST(ExtensionTally, KeepsFirstMetOrderAcrossJoinedParts)
{
    ExtensionTally first;
    first.add(".B", 10);
    first.add(".A", 1);
    first.add(".B", 5);
    ExtensionTally second;
    second.add(".C", 7);
    second.add(".A", 2);
    first.append(std::move(second));
    ASSERT_EQ(first.counts().size(), 3u);
    EXPECT_EQ(first.counts()[0].key, ".B");
    EXPECT_EQ(first.counts()[0].files, 2u);
    EXPECT_EQ(first.counts()[0].bytes, 15u);
    EXPECT_EQ(first.counts()[1].key, ".A");
    EXPECT_EQ(first.counts()[1].files, 2u);
    EXPECT_EQ(first.counts()[1].bytes, 3u);
    EXPECT_EQ(first.counts()[2].key, ".C");

    ExtensionTally empty;
    ExtensionTally later;
    later.add(".Z", 1);
    empty.append(std::move(later));
    EXPECT_EQ(empty.counts().size(), 1u);
}

// Past the size where the tally switches from searching to an index, keys
// must still be found and not duplicated.
TEST(ExtensionTally, ManyKeysStayUnique)
{
    ExtensionTally tally;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 500; ++i)
            tally.add("." + std::to_string(i), uint64_t(i));
    }
    ASSERT_EQ(tally.counts().size(), 500u);
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(tally.counts()[size_t(i)].key, "." + std::to_string(i));
        EXPECT_EQ(tally.counts()[size_t(i)].files, 3u);
        EXPECT_EQ(tally.counts()[size_t(i)].bytes, uint64_t(3 * i));
    }
}

TEST(TypeTable, FirstThreeHundredFiftyKeysMetSortedByKey)
{
    ExtensionTally tally;
    for (int i = 350; i >= 0; --i) { // met from .E350 down to .E000
        char key[8];
        std::snprintf(key, sizeof key, ".E%03d", i);
        tally.add(key, 1);
    }
    tally.add(".E350", 1); // known to the tally, but the 1st met: keeps its row
    const std::vector<TypeRow> rows = typeTable(tally);
    ASSERT_EQ(rows.size(), kMaxTypeRows);
    EXPECT_EQ(rows.front().key, ".E001");
    EXPECT_EQ(rows.back().key, ".E350");
    EXPECT_EQ(rows.back().files, 2u);
    for (const TypeRow& r : rows)
        EXPECT_NE(r.key, ".E000"); // the 351st met
}

TEST(TypeTable, EmptyKeyThenDotThenLongerKeys)
{
    ExtensionTally tally;
    for (const char* key : {".TXT", ".", ".T", "", ".A"})
        tally.add(key, 1);
    EXPECT_EQ(keysOf(typeTable(tally)), (std::vector<std::string>{"", ".", ".A", ".T", ".TXT"}));
}
