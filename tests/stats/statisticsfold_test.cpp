#include "common/walker.h"
#include "stats/statistics.h"
#include "stats/statisticsfold.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>

using namespace kelvane;
using kelvane::test::localTime;
using kelvane::test::TempTree;

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(10, 0));

Statistics collect(const TempTree& tree, int threads = 0, const QDateTime& now = kNow)
{
    StatisticsFold fold(now);
    WalkOptions options;
    options.threads = threads;
    WalkResult<StatisticsTotals> result = walkTree(tree.root(), fold, options);
    EXPECT_EQ(result.stats.rootError, 0);
    EXPECT_EQ(fold.filesCounted(), result.value.files);
    return Statistics::from(std::move(result.value));
}

std::map<std::string, std::pair<uint64_t, uint64_t>> rowsOf(const Statistics& s)
{
    std::map<std::string, std::pair<uint64_t, uint64_t>> rows;
    for (const TypeRow& r : s.types)
        rows[r.key] = {r.files, r.bytes};
    return rows;
}

uint64_t sum(const std::array<uint64_t, kBands + 1>& values)
{
    uint64_t total = 0;
    for (int b = 1; b <= kBands; ++b)
        total += values[b];
    return total;
}

std::string numbered(const char* format, int n)
{
    char name[64];
    std::snprintf(name, sizeof name, format, n);
    return name;
}

} // namespace

// Hidden files, system files (a FIFO) and links count like any file; a
// directory is no file.
TEST(StatisticsFold, FilesOnlyInTheRootHiddenAndSystemIncluded)
{
    TempTree tree;
    tree.file("a.txt", 10);
    tree.file(".env", 20);
    tree.fifo("pipe");
    tree.symlink("link", "a.txt");
    tree.dir("empty");
    const Statistics s = collect(tree);
    EXPECT_EQ(s.filesProcessed, 4u);
    EXPECT_EQ(sum(s.sizes.files), 4u);
    EXPECT_EQ(sum(s.ages.files), 4u);
    EXPECT_EQ(sum(s.sizes.bytes), 10u + 20u + 5u); // the link's own size
    const auto rows = rowsOf(s);
    EXPECT_EQ(rows.at(".ENV"), std::make_pair(uint64_t(1), uint64_t(20)));
    EXPECT_EQ(rows.at("").first, 2u); // pipe and link
}

TEST(StatisticsFold, NothingUnderAHiddenDirectory)
{
    TempTree tree;
    for (int i = 0; i < 100; ++i)
        tree.file(numbered(".cache/f%03d.dat", i), 100);
    tree.file(".cache/deeper/g.dat", 100);
    tree.file("visible/one.txt", 1);
    const Statistics s = collect(tree);
    EXPECT_EQ(s.filesProcessed, 1u);
    EXPECT_EQ(rowsOf(s).count(".DAT"), 0u);
}

TEST(StatisticsFold, ExtensionKeysAndRows)
{
    TempTree tree;
    tree.file("README", 1);
    tree.file("notes.", 2);
    tree.file("report.txt", 3);
    tree.file("sub/REPORT.TXT", 4);
    tree.file("archive.tar.gz", 5);
    tree.file("index.HTML", 6);
    tree.file("Main.class", 7);
    tree.file("odd\tname\n.a\xff", 8);
    const Statistics s = collect(tree);
    const auto rows = rowsOf(s);
    EXPECT_EQ(rows.at(""), std::make_pair(uint64_t(1), uint64_t(1)));
    EXPECT_EQ(rows.at("."), std::make_pair(uint64_t(1), uint64_t(2)));
    EXPECT_EQ(rows.at(".TXT"), std::make_pair(uint64_t(2), uint64_t(7)));
    EXPECT_EQ(rows.at(".GZ"), std::make_pair(uint64_t(1), uint64_t(5)));
    EXPECT_EQ(rows.at(".HTML"), std::make_pair(uint64_t(1), uint64_t(6)));
    EXPECT_EQ(rows.at(".A\xff"), std::make_pair(uint64_t(1), uint64_t(8)));
    EXPECT_EQ(rows.count(".CLASS"), 0u);
    EXPECT_EQ(rows.size(), 6u);
    // The .CLASS file has no row but is counted everywhere else.
    EXPECT_EQ(s.filesProcessed, 8u);
    EXPECT_EQ(sum(s.sizes.bytes), 36u);
    EXPECT_EQ(sum(s.ages.bytes), 36u);
    for (size_t i = 1; i < s.types.size(); ++i)
        EXPECT_LT(s.types[i - 1].key, s.types[i].key);
}

TEST(StatisticsFold, TheThreeHundredFiftyFirstExtensionGetsNoRow)
{
    TempTree tree;
    for (int i = 0; i <= 350; ++i)
        tree.file(numbered("x.E%03d", i), 1);
    tree.file("y.E000", 10); // met after the table is full: its row still counts
    const Statistics s = collect(tree);
    const auto rows = rowsOf(s);
    EXPECT_EQ(rows.size(), 350u);
    EXPECT_EQ(rows.count(".E350"), 0u);
    EXPECT_EQ(rows.at(".E000"), std::make_pair(uint64_t(2), uint64_t(11)));
    EXPECT_EQ(s.filesProcessed, 352u);
    EXPECT_EQ(sum(s.sizes.files), 352u);
}

// A directory's own files are met after everything below it, so the keys of
// a subdirectory take table places before the root's.
TEST(StatisticsFold, SubdirectoriesAreMetBeforeTheirParentsFiles)
{
    TempTree tree;
    for (int i = 0; i < 350; ++i)
        tree.file(numbered("a%03d", i) + numbered(".R%03d", i), 1);
    tree.file("zz/last.SUB", 1);
    const Statistics s = collect(tree);
    const auto rows = rowsOf(s);
    EXPECT_EQ(rows.size(), 350u);
    EXPECT_EQ(rows.count(".SUB"), 1u);
    EXPECT_EQ(rows.count(".R349"), 0u);
    EXPECT_EQ(rows.count(".R348"), 1u);
}

TEST(StatisticsFold, SizeBandBoundaries)
{
    TempTree tree;
    tree.file("empty", 0);
    tree.file("a", 16384);
    tree.file("b", 16385);
    tree.file("c", 16777216);
    tree.file("d", 16777217);
    const Statistics s = collect(tree);
    EXPECT_EQ(s.sizes.files[1], 2u);
    EXPECT_EQ(s.sizes.bytes[1], 16384u);
    EXPECT_EQ(s.sizes.files[2], 1u);
    EXPECT_EQ(s.sizes.bytes[2], 16385u);
    EXPECT_EQ(s.sizes.files[8], 1u);
    EXPECT_EQ(s.sizes.files[9], 1u);
    EXPECT_EQ(s.sizes.bytes[9], 16777217u);
    EXPECT_EQ(sum(s.sizes.files), 5u);
}

TEST(StatisticsFold, AgeBandsFromTheGivenNow)
{
    TempTree tree;
    tree.file("seven", 1, 0644, localTime(2026, 12, 1, 0, 0, 0));
    tree.file("eight", 2, 0644, localTime(2026, 11, 30, 23, 59, 59));
    tree.file("future", 4, 0644, localTime(2026, 12, 10, 18, 0, 0));
    tree.file("old", 8, 0644, localTime(2021, 1, 1));
    tree.file("ancient", 16, 0644, localTime(1975, 1, 1));
    const Statistics s = collect(tree);
    EXPECT_EQ(s.ages.files[1], 2u);
    EXPECT_EQ(s.ages.bytes[1], 5u);
    EXPECT_EQ(s.ages.files[2], 1u);
    EXPECT_EQ(s.ages.bytes[2], 2u);
    EXPECT_EQ(s.ages.files[9], 2u);
    EXPECT_EQ(s.ages.bytes[9], 24u);
}

// The table, bands and count do not depend on the number of threads, also
// with far more than 350 extensions spread over many directories.
TEST(StatisticsFold, SameResultWithOneThreadAndMany)
{
    TempTree tree;
    std::mt19937 random(7);
    for (int i = 0; i < 1500; ++i) {
        const int depth = int(random() % 4);
        std::string path;
        for (int d = 0; d < depth; ++d)
            path += numbered("d%d/", int(random() % 5));
        path += numbered("f%d", i) + numbered(".%x", int(random() % 600));
        tree.file(path, int64_t(random() % 70000), 0644, localTime(2020 + int(random() % 7), 1, 1));
    }
    const Statistics one = collect(tree, 1);
    EXPECT_EQ(one.types.size(), 350u);
    for (int run = 0; run < 3; ++run) {
        const Statistics many = collect(tree, 4);
        EXPECT_EQ(rowsOf(many), rowsOf(one));
        EXPECT_EQ(many.sizes, one.sizes);
        EXPECT_EQ(many.ages, one.ages);
        EXPECT_EQ(many.filesProcessed, 1500u);
    }
}
