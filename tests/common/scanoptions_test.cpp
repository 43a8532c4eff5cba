// Hidden entries and space on disk, in every tool's scan, on real trees.

#include "common/scanoptions.h"
#include "common/treetotals.h"
#include "dirhog/dirhogscan.h"
#include "duplic/duplicatescan.h"
#include "filemod/changedscan.h"
#include "stats/statistics.h"
#include "stats/statisticsfold.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <algorithm>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace kelvane;
using kelvane::test::TempTree;

namespace {

constexpr ScanOptions kDefault{};
constexpr ScanOptions kHidden{true, SizeMeasure::Apparent};
constexpr ScanOptions kDisk{false, SizeMeasure::DiskUsage};

// A file with real data, so that it takes blocks on disk.
std::string dataFile(TempTree& tree, const std::string& relative, size_t bytes)
{
    const std::string path = tree.file(relative);
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
    const std::string data(bytes, 'x');
    EXPECT_EQ(::write(fd, data.data(), data.size()), ssize_t(bytes));
    ::close(fd);
    return path;
}

int64_t diskBytes(const std::string& path)
{
    struct stat st;
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return int64_t(st.st_blocks) * 512;
}

// A home folder: a document, a hidden file at the top, and hidden folders.
struct HomeTree {
    TempTree tree;
    HomeTree()
    {
        dataFile(tree, "docs/report.txt", 300 * 1024);
        dataFile(tree, ".dotfile", 310 * 1024);
        dataFile(tree, ".config/rc", 320 * 1024);
        dataFile(tree, ".cache/deep/blob", 600 * 1024);
        // One name in a visible and in a hidden folder: duplicates only with hidden.
        dataFile(tree, "docs/same.txt", 1024);
        dataFile(tree, ".config/same.txt", 1024);
    }
};

TreeTotals walkTotals(const std::string& root, ScanOptions scan, int threads = 0)
{
    TreeTotalsFold fold(scan.measure);
    WalkOptions options;
    options.threads = threads;
    options.enterHidden = scan.hidden;
    return walkTree(root, fold, options).value;
}

std::vector<std::string> dupPaths(const std::vector<std::string>& roots, DupMode mode, ScanOptions scan,
                                  int64_t limitKB = 250, int threads = 0)
{
    DupScanSettings settings;
    settings.mode = mode;
    settings.limitKB = limitKB;
    settings.scan = scan;
    DuplicateScan dupScan(settings);
    ScanControl control;
    control.threads = threads;
    for (const std::string& root : roots)
        dupScan.scanRoot(root, control);
    std::vector<std::string> paths;
    for (const GridRow& row : dupScan.handOver())
        paths.push_back(row.path);
    return paths;
}

std::vector<DirHogRow> dirHogs(const std::vector<std::string>& roots, DirHogMode mode, ScanOptions scan,
                               int threads = 0)
{
    DirHogScan dirScan(mode, CandidateList::kDefaultLimit, scan);
    ScanControl control;
    control.threads = threads;
    for (const std::string& root : roots)
        dirScan.scanRoot(root, control);
    return dirScan.handOver();
}

std::set<std::string> dirPaths(const std::vector<DirHogRow>& rows)
{
    std::set<std::string> paths;
    for (const DirHogRow& row : rows)
        paths.insert(row.path);
    return paths;
}

// The totals a line of a directory shows: the size and files columns.
const DirHogRow& rowOf(const std::vector<DirHogRow>& rows, const std::string& path)
{
    static const DirHogRow none;
    const auto it =
        std::find_if(rows.begin(), rows.end(), [&](const DirHogRow& r) { return r.path == path; });
    EXPECT_NE(it, rows.end()) << path;
    return it == rows.end() ? none : *it;
}

Statistics statistics(const std::string& root, ScanOptions scan, int threads = 0)
{
    StatisticsFold fold(QDateTime::currentDateTime(), scan.measure);
    WalkOptions options;
    options.threads = threads;
    options.enterHidden = scan.hidden;
    return Statistics::from(std::move(walkTree(root, fold, options).value));
}

std::set<std::string> changedFiles(const std::string& root, ScanOptions scan)
{
    const QDate today = QDate::currentDate();
    ChangedFilesScan changed(DateRange(today.addDays(-1), today.addDays(1)), kDefaultResultLimit, scan);
    changed.scanRoot(root, ScanControl());
    std::set<std::string> names;
    const ChangedFileList& files = changed.files();
    for (size_t i = 0; i < files.size(); ++i)
        names.insert(files.path(i));
    return names;
}

} // namespace

TEST(HiddenEntries, WalkTotalsTakeHiddenFoldersOnlyWhenAsked)
{
    HomeTree home;
    const TreeTotals without = walkTotals(home.tree.root(), kDefault);
    // Hidden files of walked folders count already; hidden folders are not entered.
    EXPECT_EQ(without.directories, 2u);
    EXPECT_EQ(without.files, 3u);
    EXPECT_EQ(without.bytes, uint64_t((300 + 310 + 1) * 1024));
    const TreeTotals with = walkTotals(home.tree.root(), kHidden);
    EXPECT_EQ(with.directories, 5u);
    EXPECT_EQ(with.files, 6u);
    EXPECT_EQ(with.bytes, uint64_t((300 + 310 + 320 + 600 + 2) * 1024));
}

TEST(HiddenEntries, FileHogsAndDuplicatesListHiddenFilesOnlyWhenAsked)
{
    HomeTree home;
    const std::string r = home.tree.root();
    EXPECT_EQ(dupPaths({r}, DupMode::Hogs, kDefault), std::vector<std::string>{r + "/docs/report.txt"});
    EXPECT_EQ(dupPaths({r}, DupMode::Hogs, kHidden),
              (std::vector<std::string>{r + "/.cache/deep/blob", r + "/.config/rc", r + "/.dotfile",
                                        r + "/docs/report.txt"}));
    EXPECT_TRUE(dupPaths({r}, DupMode::Duplicates, kDefault, 0).empty());
    const std::vector<std::string> dups = dupPaths({r}, DupMode::Duplicates, kHidden, 0);
    EXPECT_EQ(std::set<std::string>(dups.begin(), dups.end()),
              (std::set<std::string>{r + "/.config/same.txt", r + "/docs/same.txt"}));
}

TEST(HiddenEntries, DirectoryHogsWalkHiddenFoldersOnlyWhenAsked)
{
    HomeTree home;
    const std::string r = home.tree.root();
    EXPECT_EQ(dirPaths(dirHogs({r}, DirHogMode::AllDirectories, kDefault)),
              (std::set<std::string>{r, r + "/docs"}));
    const std::vector<DirHogRow> all = dirHogs({r}, DirHogMode::AllDirectories, kHidden);
    EXPECT_EQ(dirPaths(all),
              (std::set<std::string>{r, r + "/.cache", r + "/.cache/deep", r + "/.config", r + "/docs"}));
    EXPECT_EQ(rowOf(all, r + "/.cache/deep").totals.bytes, 600 * 1024);

    EXPECT_EQ(dirPaths(dirHogs({r}, DirHogMode::MainDirectories, kDefault)),
              std::set<std::string>{r + "/docs"});
    const std::vector<DirHogRow> main = dirHogs({r}, DirHogMode::MainDirectories, kHidden);
    EXPECT_EQ(dirPaths(main), (std::set<std::string>{r + "/.cache", r + "/.config", r + "/docs"}));
    EXPECT_EQ(rowOf(main, r + "/.cache").totals.bytes, 600 * 1024);
    EXPECT_EQ(rowOf(main, r + "/.config").totals.files, 2);
}

TEST(HiddenEntries, StatisticsAndChangedFilesTakeHiddenFoldersOnlyWhenAsked)
{
    HomeTree home;
    const std::string r = home.tree.root();
    EXPECT_EQ(statistics(r, kDefault).filesProcessed, 3u);
    const Statistics with = statistics(r, kHidden);
    EXPECT_EQ(with.filesProcessed, 6u);
    uint64_t bytes = 0;
    for (int b = 1; b <= kBands; ++b)
        bytes += with.sizes.bytes[b];
    EXPECT_EQ(bytes, uint64_t((300 + 310 + 320 + 600 + 2) * 1024));

    EXPECT_EQ(changedFiles(r, kDefault),
              (std::set<std::string>{r + "/docs/report.txt", r + "/docs/same.txt"}));
    EXPECT_EQ(changedFiles(r, kHidden),
              (std::set<std::string>{r + "/.cache/deep/blob", r + "/.config/rc", r + "/.config/same.txt",
                                     r + "/.dotfile", r + "/docs/report.txt", r + "/docs/same.txt"}));
}

namespace {

// One file under three names in three folders, and a file of its own.
struct LinkTree {
    TempTree tree;
    int64_t linkedDisk = 0;
    int64_t ownDisk = 0;
    LinkTree()
    {
        const std::string f = dataFile(tree, "a/f", 400 * 1024);
        tree.dir("b");
        tree.dir("c");
        EXPECT_EQ(::link(f.c_str(), tree.path("b/g").c_str()), 0);
        EXPECT_EQ(::link(f.c_str(), tree.path("c/h").c_str()), 0);
        linkedDisk = diskBytes(f);
        ownDisk = diskBytes(dataFile(tree, "c/own", 300 * 1024));
    }
};

} // namespace

TEST(SpaceOnDisk, HardLinksCountOnceOnDiskAndThreeTimesApparent)
{
    LinkTree t;
    const std::string r = t.tree.root();
    const TreeTotals disk = walkTotals(r, kDisk);
    EXPECT_EQ(disk.files, 2u);
    EXPECT_EQ(int64_t(disk.bytes), t.linkedDisk + t.ownDisk);
    const TreeTotals apparent = walkTotals(r, kDefault);
    EXPECT_EQ(apparent.files, 4u);
    EXPECT_EQ(apparent.bytes, uint64_t((3 * 400 + 300) * 1024));

    // File hogs: the first name in walk order only.
    EXPECT_EQ(dupPaths({r}, DupMode::Hogs, kDisk), (std::vector<std::string>{r + "/a/f", r + "/c/own"}));
    EXPECT_EQ(dupPaths({r}, DupMode::Hogs, kDefault).size(), 4u);

    // Directory hogs: the file is in a's line, b's and c's lines hold no part of it.
    const std::vector<DirHogRow> all = dirHogs({r}, DirHogMode::AllDirectories, kDisk);
    EXPECT_EQ(rowOf(all, r + "/a").totals.bytes, t.linkedDisk);
    EXPECT_EQ(rowOf(all, r + "/b").totals.bytes, 0);
    EXPECT_EQ(rowOf(all, r + "/b").totals.files, 0);
    EXPECT_EQ(rowOf(all, r + "/c").totals.bytes, t.ownDisk);
    const std::vector<DirHogRow> main = dirHogs({r}, DirHogMode::MainDirectories, kDisk);
    EXPECT_EQ(rowOf(main, r + "/a").totals.bytes, t.linkedDisk);
    EXPECT_EQ(rowOf(main, r + "/c").totals.files, 1);
    const std::vector<DirHogRow> mainApparent = dirHogs({r}, DirHogMode::MainDirectories, kDefault);
    EXPECT_EQ(rowOf(mainApparent, r + "/b").totals.bytes, 400 * 1024);

    const Statistics stats = statistics(r, kDisk);
    EXPECT_EQ(stats.filesProcessed, 2u);
    EXPECT_EQ(int64_t(stats.ages.bytes[1]), t.linkedDisk + t.ownDisk);
    EXPECT_EQ(statistics(r, kDefault).filesProcessed, 4u);
}

TEST(SpaceOnDisk, FirstNameInWalkOrderOwnsTheFileWhateverTheThreads)
{
    // Names of one file spread over a wide and deep tree, each folder
    // holding a name that sorts before or after its subfolders.
    TempTree tree;
    const std::string f = dataFile(tree, "z/zz/first-by-content", 64 * 1024);
    const int64_t disk = diskBytes(f);
    for (int i = 0; i < 30; ++i) {
        const std::string dir =
            "d" + std::to_string(i % 6) + "/e" + std::to_string(i % 5) + "/g" + std::to_string(i);
        tree.dir(dir);
        ASSERT_EQ(::link(f.c_str(), tree.path(dir + "/name").c_str()), 0);
        ASSERT_EQ(
            ::link(f.c_str(), tree.path("d" + std::to_string(i % 6) + "/n" + std::to_string(i)).c_str()), 0);
    }
    const std::string r = tree.root();
    // Walk order: d0's own listing comes before anything below it.
    const std::vector<DirHogRow> one = dirHogs({r}, DirHogMode::AllDirectories, kDisk, 1);
    EXPECT_EQ(rowOf(one, r + "/d0").totals.bytes, disk);
    EXPECT_EQ(rowOf(one, r + "/d0").totals.files, 1);
    for (int run = 0; run < 6; ++run) {
        const std::vector<DirHogRow> many = dirHogs({r}, DirHogMode::AllDirectories, kDisk, 4);
        ASSERT_EQ(many.size(), one.size());
        for (size_t i = 0; i < one.size(); ++i)
            EXPECT_EQ(many[i].line, one[i].line) << i;
        EXPECT_EQ(dupPaths({r}, DupMode::Hogs, kDisk, 10, 4), std::vector<std::string>{r + "/d0/n0"});
        const std::vector<DirHogRow> main = dirHogs({r}, DirHogMode::MainDirectories, kDisk, 4);
        EXPECT_EQ(rowOf(main, r + "/d0").totals.bytes, disk);
        EXPECT_EQ(rowOf(main, r + "/d1").totals.bytes, 0);
        EXPECT_EQ(rowOf(main, r + "/z").totals.bytes, 0);
        const Statistics stats = statistics(r, kDisk, 4);
        EXPECT_EQ(stats.filesProcessed, 1u);
        EXPECT_EQ(stats.types.size(), 1u); // "n0" has no extension: the key of its first name
    }
}

TEST(SpaceOnDisk, FileMetOnAnEarlierRootOfTheScanCountsThere)
{
    LinkTree t;
    const std::string a = t.tree.path("a");
    const std::string b = t.tree.path("b");
    EXPECT_EQ(dupPaths({b, a}, DupMode::Hogs, kDisk), std::vector<std::string>{b + "/g"});
    const std::vector<DirHogRow> rows = dirHogs({b, a}, DirHogMode::AllDirectories, kDisk);
    EXPECT_EQ(rowOf(rows, b).totals.bytes, t.linkedDisk);
    EXPECT_EQ(rowOf(rows, a).totals.bytes, 0);
}

TEST(SpaceOnDisk, SparseFileCountsItsAllocatedBlocks)
{
    TempTree tree;
    const std::string sparse = tree.file("images/disk.img", int64_t(2) << 30);
    const int64_t allocated = diskBytes(sparse);
    ASSERT_LT(allocated, int64_t(1) << 20) << "the file system holds no sparse files";
    const std::string r = tree.root();
    EXPECT_EQ(int64_t(walkTotals(r, kDisk).bytes), allocated);
    EXPECT_EQ(walkTotals(r, kDefault).bytes, uint64_t(2) << 30);
    EXPECT_TRUE(dupPaths({r}, DupMode::Hogs, kDisk).empty());
    EXPECT_EQ(dupPaths({r}, DupMode::Hogs, kDefault).size(), 1u);
    EXPECT_EQ(rowOf(dirHogs({r}, DirHogMode::MainDirectories, kDisk), r + "/images").totals.bytes, allocated);
    const Statistics stats = statistics(r, kDisk);
    EXPECT_EQ(stats.sizes.files[1], 1u); // "0 - 16 K"
    EXPECT_EQ(statistics(r, kDefault).sizes.files[9], 1u);
}
