#include "common/textfields.h"
#include "dirhog/dirhogscan.h"
#include "support/temptree.h"
#include "support/walkgate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>

using namespace kelvane;
using kelvane::test::raiseAt;
using kelvane::test::TempTree;

namespace {

struct HogScan {
    std::vector<DirHogRow> rows;
    bool limitReached = false;
    ScanEnd ended = ScanEnd::Complete;
    std::vector<WalkStats> stats;
};

struct ScanSetup {
    int threads = 0;
    size_t limit = CandidateList::kDefaultLimit;
};

HogScan scanRoots(DirHogMode mode, const std::vector<std::string>& roots, const ScanSetup& setup = {})
{
    HogScan result;
    DirHogScan scan(mode, setup.limit);
    ScanControl control;
    control.threads = setup.threads;
    for (const std::string& root : roots)
        result.stats.push_back(scan.scanRoot(root, control));
    result.limitReached = scan.full();
    result.ended = scan.end();
    result.rows = scan.handOver();
    return result;
}

QString column(const DirHogRow& row, int n)
{
    return getField(row.line, n);
}

std::vector<std::string> paths(const HogScan& scan)
{
    std::vector<std::string> out;
    for (const DirHogRow& row : scan.rows)
        out.push_back(row.path);
    return out;
}

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

// The example of a drive root with two files and a Data directory.
TEST(DirHogScan, AllDirectoriesGivesALinePerDirectoryWithItsOwnFiles)
{
    TempTree drive;
    drive.file("one", 1000, 0644, test::localTime(2023, 7, 1, 10));
    drive.file("two", 3000, 0644, test::localTime(2024, 3, 5, 14, 30));
    drive.file("Data/f", 2048, 0644, test::localTime(2022, 1, 2));
    const HogScan scan = scanRoots(DirHogMode::AllDirectories, {drive.root()});

    ASSERT_EQ(scan.rows.size(), 2u);
    const DirHogRow& root = scan.rows[0];
    EXPECT_EQ(column(root, 1), QString("      3 K"));
    EXPECT_EQ(column(root, 2), QString("0.00"));
    EXPECT_EQ(column(root, 3), QString("2"));
    EXPECT_EQ(column(root, 4), QString("1"));
    EXPECT_EQ(column(root, 5), QString("3/5/2024"));
    EXPECT_EQ(column(root, 6), q(drive.root()));
    EXPECT_EQ(column(root, 7), QString("3/5/2024"));
    EXPECT_EQ(root.line.count('\t'), 6);
    EXPECT_EQ(root.path, drive.root());

    const DirHogRow& data = scan.rows[1];
    EXPECT_EQ(column(data, 1), QString("      2 K"));
    EXPECT_EQ(column(data, 3), QString("1"));
    EXPECT_EQ(column(data, 4), QString("0"));
    EXPECT_EQ(column(data, 5), QString("1/2/2022"));
    EXPECT_EQ(column(data, 6), q(drive.path("Data"))); // as stored, not lower-cased
    EXPECT_EQ(data.path, drive.path("Data"));
}

TEST(DirHogScan, MainDirectoriesGivesOneLinePerTopDirectory)
{
    TempTree drive;
    drive.file("one", 1000);
    drive.file("two", 3000);
    drive.file("Data/f", 2048);
    const HogScan scan = scanRoots(DirHogMode::MainDirectories, {drive.root()});

    ASSERT_EQ(scan.rows.size(), 1u); // the root's own files are in no line
    EXPECT_EQ(column(scan.rows[0], 1), QString("      2 K"));
    EXPECT_EQ(column(scan.rows[0], 3), QString("1"));
    EXPECT_EQ(column(scan.rows[0], 4), QString("0"));
    EXPECT_EQ(column(scan.rows[0], 6), q(drive.path("Data")));
}

TEST(DirHogScan, MainDirectoriesTotalTheWholeSubtree)
{
    TempTree drive;
    drive.file("m/own", 100, 0644, test::localTime(2020, 1, 1));
    drive.file("m/a/x", 1000, 0644, test::localTime(2021, 6, 1));
    drive.file("m/b/y", 2000, 0644, test::localTime(2024, 12, 24));
    drive.file("m/b/deep/er/z", 24, 0644, test::localTime(2019, 1, 1));
    drive.file("two/a/x", 1);
    drive.file("two/b/y", 1);
    const HogScan scan = scanRoots(DirHogMode::MainDirectories, {drive.root()});

    ASSERT_EQ(scan.rows.size(), 2u);
    EXPECT_EQ(column(scan.rows[0], 1), QString("      3 K")); // 3,124 bytes
    EXPECT_EQ(column(scan.rows[0], 3), QString("4"));
    EXPECT_EQ(column(scan.rows[0], 4), QString("4")); // a, b, deep, er
    EXPECT_EQ(column(scan.rows[0], 5), QString("12/24/2024"));
    EXPECT_EQ(column(scan.rows[1], 3), QString("2"));
    EXPECT_EQ(column(scan.rows[1], 4), QString("2"));
}

TEST(DirHogScan, ThousandTwentyThreeAndFourBytes)
{
    TempTree drive;
    drive.file("a/f", 1023);
    drive.file("b/f", 1024);
    drive.file("root-file", 1);
    const HogScan scan = scanRoots(DirHogMode::AllDirectories, {drive.root()});
    ASSERT_EQ(scan.rows.size(), 3u);
    EXPECT_EQ(scan.rows[0].path, drive.path("b"));
    EXPECT_EQ(column(scan.rows[0], 1), QString("      1 K"));
    EXPECT_EQ(column(scan.rows[1], 1), QString("      0 K"));
    EXPECT_EQ(column(scan.rows[2], 1), QString("      0 K"));
}

TEST(DirHogScan, ShareIsQuestionMarksWhenTheTotalReachesTheCapacity)
{
    TempTree drive;
    const int64_t capacity = driveCapacity(drive.root());
    ASSERT_GT(capacity, 0);
    drive.file("full/huge", capacity); // sparse: takes no space
    drive.file("small/f", 1024);
    const HogScan scan = scanRoots(DirHogMode::AllDirectories, {drive.root()});
    ASSERT_EQ(scan.rows.size(), 3u);
    EXPECT_EQ(scan.rows[0].path, drive.path("full"));
    EXPECT_EQ(column(scan.rows[0], 1), QString::number(capacity / 1024).rightJustified(7) + " K");
    EXPECT_EQ(column(scan.rows[0], 2), QString("???"));
    EXPECT_EQ(column(scan.rows[1], 2), QString("0.00"));
}

TEST(DirHogScan, HiddenDirectoryIsCountedButNotWalked)
{
    TempTree drive;
    drive.file(".cache/big", 50000);
    drive.file("m/.hidden/big", 50000);
    drive.file("m/.dotfile", 2048);
    drive.file("m/f", 10);

    const HogScan all = scanRoots(DirHogMode::AllDirectories, {drive.root()});
    ASSERT_EQ(all.rows.size(), 2u);
    EXPECT_EQ(all.rows[0].path, drive.path("m"));
    EXPECT_EQ(column(all.rows[0], 3), QString("2")); // the hidden file counts
    EXPECT_EQ(column(all.rows[0], 4), QString("1")); // so does the hidden directory
    EXPECT_EQ(all.rows[1].path, drive.root());
    EXPECT_EQ(column(all.rows[1], 4), QString("2"));

    const HogScan main = scanRoots(DirHogMode::MainDirectories, {drive.root()});
    ASSERT_EQ(main.rows.size(), 1u);
    EXPECT_EQ(column(main.rows[0], 1), QString("      2 K"));
    EXPECT_EQ(column(main.rows[0], 3), QString("2"));
    EXPECT_EQ(column(main.rows[0], 4), QString("0")); // neither entered nor counted
}

TEST(DirHogScan, LinksAndSpecialFilesAreFilesNeverEntered)
{
    TempTree outside;
    outside.file("target/big", 100000);
    TempTree drive;
    drive.dir("d");
    drive.symlink("d/link", outside.path("target"));
    drive.fifo("d/pipe");
    drive.file("d/f", 10);
    const HogScan scan = scanRoots(DirHogMode::MainDirectories, {drive.root()});
    ASSERT_EQ(scan.rows.size(), 1u);
    EXPECT_EQ(column(scan.rows[0], 3), QString("3"));
    EXPECT_EQ(column(scan.rows[0], 4), QString("0"));
    EXPECT_EQ(column(scan.rows[0], 1), QString("      0 K"));
}

TEST(DirHogScan, EmptyRootGetsNoLine)
{
    TempTree empty;
    EXPECT_TRUE(scanRoots(DirHogMode::AllDirectories, {empty.root()}).rows.empty());
    TempTree onlyHidden;
    onlyHidden.file(".profile", 10);
    EXPECT_TRUE(scanRoots(DirHogMode::AllDirectories, {onlyHidden.root()}).rows.empty());
    // An empty directory below the root does get its line.
    TempTree withEmpty;
    withEmpty.dir("e");
    const HogScan scan = scanRoots(DirHogMode::AllDirectories, {withEmpty.root()});
    ASSERT_EQ(scan.rows.size(), 2u);
    EXPECT_EQ(scan.rows[1].line, "      0 K\t0.00\t0\t0\t\t" + q(withEmpty.path("e")) + "\t");
}

TEST(DirHogScan, TwoDrivesMixInOneListBySize)
{
    TempTree a;
    TempTree b;
    a.file("big/f", 5 * 1024);
    a.file("small/f", 1 * 1024);
    b.file("middle/f", 3 * 1024);
    const HogScan scan = scanRoots(DirHogMode::MainDirectories, {a.root(), b.root()});
    EXPECT_EQ(paths(scan), (std::vector<std::string>{a.path("big"), b.path("middle"), a.path("small")}));
}

TEST(DirHogScan, EqualSizesFollowInDescendingTextOrderRegardlessOfCase)
{
    TempTree drive;
    drive.dir("m/apple");
    drive.dir("m/Banana");
    drive.dir("m/cherry");
    const HogScan scan = scanRoots(DirHogMode::MainDirectories, {drive.path("m")});
    EXPECT_EQ(paths(scan), (std::vector<std::string>{drive.path("m/cherry"), drive.path("m/Banana"),
                                                     drive.path("m/apple")}));
}

TEST(DirHogScan, UnopenableRootIsReportedAndAddsNothing)
{
    TempTree drive;
    drive.file("a/f", 10);
    const HogScan scan = scanRoots(DirHogMode::AllDirectories, {drive.path("missing"), drive.root()});
    EXPECT_NE(scan.stats[0].rootError, 0);
    EXPECT_EQ(scan.stats[1].rootError, 0);
    EXPECT_EQ(scan.rows.size(), 2u);
}

namespace {

// Stops the walk (one thread, listing order) when it reaches a directory of
// that name.
std::vector<DirHogRow> scanUntil(DirHogMode mode, const std::string& root, const std::string& stopAt)
{
    std::stop_source abort;
    DirHogScan hogs(mode);
    ScanControl control;
    control.threads = 1;
    control.io = 1;
    control.stop = abort.get_token();
    control.beforeDirectory = raiseAt(stopAt, abort);
    EXPECT_TRUE(hogs.scanRoot(root, control).aborted);
    EXPECT_EQ(hogs.end(), ScanEnd::Aborted);
    return hogs.handOver();
}

} // namespace

TEST(DirHogScan, AbortInAllDirectoriesModeKeepsTheLinesSoFar)
{
    TempTree drive;
    drive.file("a/f", 1024);
    drive.file("b/f", 2048);
    drive.file("c/f", 3072);
    drive.file("top", 1);
    const std::vector<DirHogRow> rows = scanUntil(DirHogMode::AllDirectories, drive.root(), "b");
    ASSERT_EQ(rows.size(), 2u); // b and c get no line
    EXPECT_EQ(rows[0].path, drive.path("a"));
    EXPECT_EQ(rows[1].path, drive.root());
}

TEST(DirHogScan, AbortInMainModeLeavesAPartialLine)
{
    TempTree drive;
    drive.file("a/x/f", 1024);
    drive.file("a/y/f", 1024);
    drive.file("b/p/f", 5 * 1024);
    drive.file("b/q/f", 7 * 1024);
    drive.file("c/f", 9 * 1024);
    const std::vector<DirHogRow> rows = scanUntil(DirHogMode::MainDirectories, drive.root(), "q");

    ASSERT_EQ(rows.size(), 2u); // c was never begun
    EXPECT_EQ(rows[0].path, drive.path("b"));
    EXPECT_EQ(column(rows[0], 1), QString("      5 K")); // p only
    EXPECT_EQ(column(rows[0], 3), QString("1"));
    EXPECT_EQ(column(rows[0], 4), QString("1"));
    EXPECT_EQ(rows[1].path, drive.path("a"));
    EXPECT_EQ(column(rows[1], 4), QString("2"));
}

TEST(DirHogScan, FullCandidateListStopsTheWalkOnce)
{
    TempTree drive;
    for (int i = 0; i < 20; ++i)
        drive.file("d" + std::to_string(i) + "/f", i * 1024);
    ScanSetup setup;
    setup.limit = 5;
    const HogScan scan = scanRoots(DirHogMode::AllDirectories, {drive.root()}, setup);
    EXPECT_TRUE(scan.limitReached);
    EXPECT_EQ(scan.ended, ScanEnd::Full); // not aborted
    EXPECT_TRUE(scan.stats[0].aborted);   // the walk stopped there
    EXPECT_EQ(scan.rows.size(), 5u);

    setup.limit = 21; // exactly the 20 directories and the root
    const HogScan fits = scanRoots(DirHogMode::AllDirectories, {drive.root()}, setup);
    EXPECT_FALSE(fits.limitReached);
    EXPECT_EQ(fits.rows.size(), 21u);
}

TEST(DirHogScan, SameListWithOneThreadOrMany)
{
    TempTree drive;
    std::mt19937 random(7);
    std::vector<std::string> dirs{""};
    for (int i = 0; i < 60; ++i) {
        const std::string parent = dirs[random() % dirs.size()];
        dirs.push_back(parent + "d" + std::to_string(i % 9) + "_" + std::to_string(i) + "/");
        drive.dir(dirs.back());
    }
    for (int i = 0; i < 300; ++i)
        drive.file(dirs[random() % dirs.size()] + "f" + std::to_string(i), int64_t(random() % 5000), 0644,
                   test::localTime(2015 + int(random() % 10), 1 + int(random() % 12), 1));
    for (DirHogMode mode : {DirHogMode::AllDirectories, DirHogMode::MainDirectories}) {
        ScanSetup one;
        one.threads = 1;
        ScanSetup four;
        four.threads = 4;
        const HogScan a = scanRoots(mode, {drive.root()}, one);
        for (int run = 0; run < 3; ++run) {
            const HogScan b = scanRoots(mode, {drive.root()}, four);
            ASSERT_EQ(a.rows.size(), b.rows.size());
            for (size_t i = 0; i < a.rows.size(); ++i)
                EXPECT_EQ(a.rows[i].line, b.rows[i].line);
        }
    }
}
