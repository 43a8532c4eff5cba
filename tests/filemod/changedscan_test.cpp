#include "common/filestamp.h"
#include "filemod/changedscan.h"
#include "filemod/changedtexts.h"
#include "support/temptree.h"
#include "support/walkgate.h"

#include <gtest/gtest.h>

using namespace kelvane;
using kelvane::test::localTime;
using kelvane::test::raiseAt;
using kelvane::test::TempTree;

namespace {

const DateRange kDecember(QDate(2026, 12, 1), QDate(2026, 12, 31));

int64_t inDecember(int day = 7)
{
    return localTime(2026, 12, day, 10, 0, 0);
}

// Paths of the files found, relative to the tree, in list order.
std::vector<std::string> found(const TempTree& tree, const ChangedFileList& files)
{
    std::vector<std::string> paths;
    for (size_t i = 0; i < files.size(); ++i)
        paths.push_back(files.path(i).substr(tree.root().size() + 1));
    return paths;
}

std::vector<std::string> scanTree(const TempTree& tree, const DateRange& range, int threads = 0)
{
    ScanControl control;
    control.threads = threads;
    ChangedFilesScan scan(range);
    const WalkStats stats = scan.scanRoot(tree.root(), control);
    EXPECT_EQ(stats.rootError, 0);
    EXPECT_FALSE(scan.full());
    return found(tree, scan.files());
}

using Paths = std::vector<std::string>;

} // namespace

TEST(ChangedScan, BothEndsOfTheRangeAreWholeDays)
{
    TempTree tree;
    tree.file("start-midnight", 1, 0644, localTime(2026, 12, 1, 0, 0, 0));
    tree.file("end-2359", 1, 0644, localTime(2026, 12, 31, 23, 59, 0));
    tree.file("after-midnight", 1, 0644, localTime(2027, 1, 1, 0, 0, 0));
    tree.file("before-2359", 1, 0644, localTime(2026, 11, 30, 23, 59, 58));
    EXPECT_EQ(scanTree(tree, kDecember), Paths({"end-2359", "start-midnight"}));

    // Start and end on one day: exactly that day's files.
    EXPECT_EQ(scanTree(tree, DateRange(QDate(2026, 12, 31), QDate(2026, 12, 31))), Paths({"end-2359"}));
    // A start after the end finds nothing.
    EXPECT_EQ(scanTree(tree, DateRange(QDate(2027, 1, 1), QDate(2026, 12, 1))), Paths());
}

TEST(ChangedScan, PostOrderWithNamesInByteOrder)
{
    TempTree tree;
    tree.file("f3", 1, 0644, inDecember());
    tree.file("A/f2", 1, 0644, inDecember());
    tree.file("A/B/f1", 1, 0644, inDecember());
    tree.file("A/B/f0", 1, 0644, inDecember());
    tree.file("Z/z", 1, 0644, inDecember());
    tree.file("a/lower", 1, 0644, inDecember());
    tree.file("A/B/old", 1, 0644, localTime(2020, 1, 1));
    const Paths expected = {"A/B/f0", "A/B/f1", "A/f2", "Z/z", "a/lower", "f3"};
    EXPECT_EQ(scanTree(tree, kDecember, 1), expected);
    for (int run = 0; run < 5; ++run)
        EXPECT_EQ(scanTree(tree, kDecember, 4), expected);
}

TEST(ChangedScan, OnlyPlainVisibleFilesAreListed)
{
    TempTree tree;
    tree.file("plain", 1, 0644, inDecember());
    tree.file("readonly", 1, 0444, inDecember());
    tree.file(".hidden", 1, 0644, inDecember());
    tree.file(".hidden-dir/inside", 1, 0644, inDecember());
    tree.file("sub/.also-hidden", 1, 0644, inDecember());
    tree.fifo("pipe");
    test::setMtime(tree.path("pipe"), inDecember());
    tree.symlink("link", "plain");
    test::setMtime(tree.path("link"), inDecember());
    tree.dir("dir-in-range");
    test::setMtime(tree.path("dir-in-range"), inDecember());
    // A link is listed as itself, with its own time.
    EXPECT_EQ(scanTree(tree, kDecember), Paths({"link", "plain", "readonly"}));
}

TEST(ChangedScan, StampsBefore1980OnlyWhenItsFirstDayIsInRange)
{
    TempTree tree;
    tree.file("old", 1, 0644, localTime(1975, 6, 1, 9, 30));
    tree.file("new", 1, 0644, inDecember());
    EXPECT_EQ(scanTree(tree, kDecember), Paths({"new"}));
    EXPECT_EQ(scanTree(tree, DateRange(QDate(1979, 1, 1), QDate(1980, 1, 1))), Paths({"old"}));

    ChangedFilesScan scan(DateRange(QDate(1980, 1, 1), QDate(2030, 1, 1)));
    scan.scanRoot(tree.root(), {});
    ASSERT_EQ(scan.files().size(), 2u);
    EXPECT_EQ(scan.files().name(1), "old");
    EXPECT_EQ(scan.files().stamp(1), 0u);
    ChangedTexts texts;
    EXPECT_EQ(texts.line(scan.files(), 1),
              "old           \t1/1/1980\t12:00:00 PM\tTue\t" + QString::fromStdString(tree.root()));
}

TEST(ChangedScan, SeveralTreesInTurnAndAFullList)
{
    TempTree first, second;
    for (const char* name : {"a", "b", "c"})
        first.file(name, 1, 0644, inDecember());
    for (const char* name : {"d", "e"})
        second.file(name, 1, 0644, inDecember());

    ChangedFilesScan scan(kDecember, 4);
    scan.scanRoot(first.root(), {});
    EXPECT_FALSE(scan.full());
    EXPECT_FALSE(scan.stopped());
    scan.scanRoot(second.root(), {});
    EXPECT_TRUE(scan.full());
    EXPECT_TRUE(scan.stopped());
    EXPECT_EQ(scan.end(), ScanEnd::Full);
    ASSERT_EQ(scan.files().size(), 4u);
    EXPECT_EQ(scan.files().path(3), second.path("d"));

    // Exactly as many files as the list holds is not full.
    ChangedFilesScan fits(kDecember, 3);
    fits.scanRoot(first.root(), {});
    EXPECT_FALSE(fits.full());
    EXPECT_EQ(fits.files().size(), 3u);
}

TEST(ChangedScan, AbortKeepsWhatWasFoundInWalkOrder)
{
    TempTree tree;
    tree.file("f3", 1, 0644, inDecember());
    tree.file("A/f2", 1, 0644, inDecember());
    tree.file("A/B/f1", 1, 0644, inDecember());
    tree.file("Z/f4", 1, 0644, inDecember());
    std::stop_source stop;
    ScanControl control;
    control.threads = 1;
    control.io = 1;
    control.stop = stop.get_token();
    control.beforeDirectory = raiseAt("Z", stop);
    ChangedFilesScan scan(kDecember);
    const WalkStats stats = scan.scanRoot(tree.root(), control);
    EXPECT_TRUE(stats.aborted);
    EXPECT_TRUE(scan.stopped());
    EXPECT_FALSE(scan.full());
    EXPECT_EQ(scan.end(), ScanEnd::Aborted);
    EXPECT_EQ(found(tree, scan.files()), Paths({"A/B/f1", "A/f2", "f3"}));
}

TEST(ChangedScan, RootThatCannotBeOpenedIsReported)
{
    TempTree tree;
    ChangedFilesScan scan(kDecember);
    EXPECT_NE(scan.scanRoot(tree.path("missing"), {}).rootError, 0);
    EXPECT_TRUE(scan.files().empty());
}

TEST(ChangedScan, OddNamesKeepTheirBytes)
{
    TempTree tree;
    const std::string odd = "tab\there\nnl\xfe";
    tree.file("dir\x01"
              "x/" +
                  odd,
              1, 0644, inDecember());
    ChangedFilesScan scan(kDecember);
    scan.scanRoot(tree.root(), {});
    ASSERT_EQ(scan.files().size(), 1u);
    EXPECT_EQ(scan.files().path(0), tree.path("dir\x01"
                                              "x/" +
                                              odd));
    const std::vector<GridRow> rows = changedGridRows(scan.files());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].path, scan.files().path(0));
    EXPECT_EQ(rows[0].cells.count('\t'), 4);
}
