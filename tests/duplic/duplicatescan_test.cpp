// The duplicates and file-hogs scan on real temporary trees.

#include "common/filestamp.h"
#include "common/scantexts.h"
#include "common/searchpath.h"
#include "common/textfields.h"
#include "duplic/duplicatescan.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <atomic>
#include <string>
#include <vector>

using namespace kelvane;
using kelvane::test::localTime;
using kelvane::test::TempTree;

namespace {

struct Result {
    QStringList lines;
    std::vector<std::string> paths;
    bool full = false;
    bool stopped = false;
};

Result scan(const std::vector<std::string>& roots, DupScanSettings settings, const ScanControl& control = {})
{
    DuplicateScan duplicateScan(settings);
    for (const std::string& root : roots)
        duplicateScan.scanRoot(root, control);
    Result result;
    result.full = duplicateScan.full();
    result.stopped = duplicateScan.stopped();
    for (const GridRow& row : duplicateScan.handOver()) {
        result.lines.append(QString::fromUtf8(row.cells));
        result.paths.push_back(row.path);
    }
    return result;
}

DupScanSettings duplicates(int64_t limitKB = 0, bool exact = false)
{
    DupScanSettings s;
    s.mode = DupMode::Duplicates;
    s.limitKB = limitKB;
    s.exact = exact;
    return s;
}

DupScanSettings hogs(int64_t limitKB = 0)
{
    DupScanSettings s;
    s.mode = DupMode::Hogs;
    s.limitKB = limitKB;
    return s;
}

QStringList column(const QStringList& lines, int n)
{
    QStringList out;
    for (const QString& line : lines)
        out.append(getField(line, n));
    return out;
}

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

TEST(DuplicateScan, LinesOfBothModes)
{
    TempTree tree;
    const int64_t when = localTime(2024, 3, 5, 14, 37, 58);
    tree.file("one/Report.DOC", 256000, 0644, when);
    tree.file("two/report.doc", 300000, 0644, when);

    const Result d = scan({tree.root()}, duplicates());
    ASSERT_EQ(d.lines.size(), 2);
    EXPECT_EQ(d.lines[0], "report.doc    \t  250 K\t3/5/2024\t2:37:58 PM\t" + q(tree.path("one/")));
    EXPECT_EQ(d.lines[1], "report.doc    \t  292 K\t3/5/2024\t2:37:58 PM\t" + q(tree.path("two/")));
    EXPECT_EQ(d.paths, std::vector<std::string>({tree.path("one/Report.DOC"), tree.path("two/report.doc")}));

    const Result h = scan({tree.root()}, hogs());
    ASSERT_EQ(h.lines.size(), 2);
    // The directory and the name keep their letter case in a path.
    EXPECT_EQ(h.lines[0], "  292 K\t3/5/2024\t2:37:58 PM\t" + q(tree.path("two/report.doc")));
    EXPECT_EQ(h.lines[1], "  250 K\t3/5/2024\t2:37:58 PM\t" + q(tree.path("one/Report.DOC")));
}

TEST(DuplicateScan, NamesDifferingInLetterCaseFormOneGroup)
{
    TempTree tree;
    tree.file("a/readme.txt", 5000);
    tree.file("b/README.TXT", 5000);
    tree.file("c/ReadMe.Txt", 5000);
    tree.file("c/other.txt", 5000);
    const Result r = scan({tree.root()}, duplicates());
    EXPECT_EQ(column(r.lines, 1), QStringList(3, "readme.txt    "));
    EXPECT_EQ(r.paths, std::vector<std::string>({tree.path("a/readme.txt"), tree.path("b/README.TXT"),
                                                 tree.path("c/ReadMe.Txt")}));
}

TEST(DuplicateScan, ExactGroupsWholeKilobytes)
{
    TempTree tree;
    tree.file("x/same.dat", 2048);
    tree.file("y/same.dat", 3000); // both 2 K
    tree.file("x/near.dat", 2047); // 1 K
    tree.file("y/near.dat", 2048); // 2 K
    const Result exact = scan({tree.root()}, duplicates(0, true));
    EXPECT_EQ(exact.paths, std::vector<std::string>({tree.path("x/same.dat"), tree.path("y/same.dat")}));
    // Scan on names alone takes both pairs.
    EXPECT_EQ(scan({tree.root()}, duplicates(0, false)).lines.size(), 4);
}

TEST(DuplicateScan, GroupsInCandidateOrderAndSingleNamesDropped)
{
    TempTree tree;
    const int64_t when = localTime(2020, 6, 1, 12, 0, 0);
    tree.file("c/dup.bin", 9000, 0644, when);
    tree.file("a/dup.bin", 3000, 0644, when);
    tree.file("b/dup.bin", 3000, 0644, when);
    tree.file("a/alone.bin", 9000);
    tree.file("b/zz.bin", 1500);
    tree.file("c/ZZ.bin", 1500);
    const Result r = scan({tree.root()}, duplicates());
    // Groups by name; within a group by size text, then date, time, directory.
    EXPECT_EQ(r.paths, std::vector<std::string>({tree.path("a/dup.bin"), tree.path("b/dup.bin"),
                                                 tree.path("c/dup.bin"), tree.path("b/zz.bin"),
                                                 tree.path("c/ZZ.bin")}));
}

TEST(DuplicateScan, SizeLimitIsStrict)
{
    TempTree tree;
    tree.file("a/at.limit", 1024);
    tree.file("b/at.limit", 1024);
    tree.file("a/above.limit", 1025);
    tree.file("b/above.limit", 1025);
    tree.file("a/empty", 0);
    tree.file("b/empty", 0);
    EXPECT_EQ(column(scan({tree.root()}, duplicates(1)).lines, 1), QStringList(2, "above.limit   "));
    // With limit 0 every file of at least one byte, never an empty one.
    const Result zero = scan({tree.root()}, hogs(0));
    EXPECT_EQ(zero.lines.size(), 4);
    for (const std::string& path : zero.paths)
        EXPECT_EQ(path.find("empty"), std::string::npos) << path;
}

TEST(DuplicateScan, HiddenAndSystemFilesNeverListed)
{
    TempTree tree;
    tree.file("a/seen.txt", 2000);
    tree.file("b/seen.txt", 2000);
    tree.file("a/.seen.txt", 2000);
    tree.file(".hidden/seen.txt", 2000);
    tree.file("b/.deep/er/seen.txt", 2000);
    tree.fifo("a/pipe");
    tree.fifo("b/pipe");
    const Result r = scan({tree.root()}, duplicates());
    EXPECT_EQ(r.paths, std::vector<std::string>({tree.path("a/seen.txt"), tree.path("b/seen.txt")}));
    EXPECT_EQ(scan({tree.root()}, hogs()).paths.size(), 2u);
}

TEST(DuplicateScan, FileInTheDriveRoot)
{
    TempTree one, two;
    one.file("top.sys", 4000);
    two.file("top.sys", 4000);
    const Result d = scan({one.root(), two.root()}, duplicates());
    ASSERT_EQ(d.lines.size(), 2);
    const int first = d.paths[0] == one.root() + "/top.sys" ? 0 : 1; // in the order of the roots' names
    EXPECT_EQ(d.paths[size_t(first)], one.root() + "/top.sys");
    EXPECT_EQ(getField(d.lines[first], 5), q(one.root()) + "/");
    EXPECT_EQ(getField(d.lines[1 - first], 5), q(two.root()) + "/");
    const Result h = scan({one.root()}, hogs());
    ASSERT_EQ(h.lines.size(), 1);
    EXPECT_EQ(getField(h.lines[0], 4), q(one.root()) + "/top.sys");
}

TEST(DuplicateScan, SearchPathMarkerInTheLineButNotInThePath)
{
    TempTree tree;
    tree.file("bin/tool", 2000);
    tree.file("opt/tool", 2000);
    SearchPathList searchPath;
    searchPath.GetSearchPath(QByteArray::fromStdString("/nowhere:" + tree.path("bin")));
    DupScanSettings d = duplicates();
    d.searchPath = &searchPath;
    const Result r = scan({tree.root()}, d);
    ASSERT_EQ(r.lines.size(), 2);
    EXPECT_EQ(getField(r.lines[0], 5), q(tree.path("bin/")) + "*(SEARCHPATH)*");
    EXPECT_EQ(getField(r.lines[1], 5), q(tree.path("opt/")));
    EXPECT_EQ(r.paths[0], tree.path("bin/tool"));

    DupScanSettings h = hogs();
    h.searchPath = &searchPath;
    const Result hr = scan({tree.root()}, h);
    ASSERT_EQ(hr.lines.size(), 2);
    EXPECT_TRUE(hr.lines.contains("    1 K\t" + getField(hr.lines[0], 2) + "\t" + getField(hr.lines[0], 3) +
                                  "\t" + q(tree.path("bin/tool")) + "*(SEARCHPATH)*"));
}

// Groups are formed from the real names folded caselessly, never from the
// shown text: names that only show alike are no duplicates.
TEST(DuplicateScan, OddNamesKeepTheColumnsAndGroupOnTheRealName)
{
    TempTree tree;
    const std::string odd = "Odd\tname\nwith\xff";
    tree.file("a/" + odd, 3000);
    tree.file("b/" + odd, 3000);
    tree.file("b/odd?name?with\xef\xbf\xbd", 3000); // shows the same as odd
    tree.file("c/odd?name?with\xfe", 3000);         // so does this one
    tree.file("a/new\nline.txt", 3000);
    tree.file("b/new?line.txt", 3000);
    tree.file("a/tab\there.txt", 3000);
    tree.file("b/tab?here.txt", 3000);
    tree.file("a/Straße.TXT", 3000); // letter case folds, as it does for every valid name
    tree.file("b/strasse.txt", 3000);
    tree.file("c/STRASSE.txt", 3000);
    const Result d = scan({tree.root()}, duplicates());
    ASSERT_EQ(d.lines.size(), 4);
    for (const QString& line : d.lines)
        EXPECT_EQ(line.count('\t'), 4) << line.toStdString();
    EXPECT_EQ(getField(d.lines[0], 1), QString("odd?name?with\uFFFD"));
    EXPECT_EQ(d.paths[0], tree.path("a/" + odd));
    EXPECT_EQ(d.paths[1], tree.path("b/" + odd));
    EXPECT_EQ(d.paths[2], tree.path("b/strasse.txt"));
    EXPECT_EQ(d.paths[3], tree.path("c/STRASSE.txt"));
    const Result h = scan({tree.root()}, hogs());
    for (const QString& line : h.lines)
        EXPECT_EQ(line.count('\t'), 3);
}

TEST(DuplicateScan, FileHogsLargestFirst)
{
    TempTree tree;
    tree.file("a.bin", 300 * 1024);
    tree.file("b/c.bin", 5000 * 1024);
    tree.file("d.bin", 40 * 1024);
    // Six-digit sizes go before five-digit ones by value, not as text.
    tree.file("huge.bin", int64_t(100000) * 1024);
    tree.file("big.bin", int64_t(20000) * 1024);
    const Result r = scan({tree.root()}, hogs());
    EXPECT_EQ(column(r.lines, 1), QStringList({"100000 K", "20000 K", " 5000 K", "  300 K", "   40 K"}));
    EXPECT_EQ(r.paths[2], tree.path("b/c.bin"));
}

TEST(DuplicateScan, PatternFiltersFilesButEveryDirectoryIsWalked)
{
    TempTree tree;
    tree.file("x/deep/er/old.BAK", 2000);
    tree.file("y/old.bak", 2000);
    tree.file("y/old.txt", 2000);
    tree.file("x/old.txt", 2000);
    DupScanSettings s = duplicates();
    s.pattern = "*.bak";
    EXPECT_EQ(scan({tree.root()}, s).paths,
              std::vector<std::string>({tree.path("x/deep/er/old.BAK"), tree.path("y/old.bak")}));
    s.pattern = "";
    EXPECT_TRUE(scan({tree.root()}, s).lines.isEmpty());
}

TEST(DuplicateScan, SameResultWithOneThreadAndMany)
{
    TempTree tree;
    for (int i = 0; i < 300; ++i)
        tree.file("d" + std::to_string(i % 13) + "/e" + std::to_string(i % 5) + "/F" +
                      std::to_string(i % 37) + (i % 2 ? ".txt" : ".TXT"),
                  1000 + (i * 97) % 9000);
    for (const DupScanSettings& settings : {duplicates(), duplicates(0, true), hogs()}) {
        ScanControl one;
        one.threads = 1;
        const Result single = scan({tree.root()}, settings, one);
        EXPECT_FALSE(single.lines.isEmpty());
        for (int run = 0; run < 3; ++run) {
            ScanControl many;
            many.threads = 8;
            const Result parallel = scan({tree.root()}, settings, many);
            EXPECT_EQ(parallel.lines, single.lines);
            EXPECT_EQ(parallel.paths, single.paths);
        }
    }
}

TEST(DuplicateScan, FullCandidateListStopsTheScan)
{
    TempTree tree;
    for (int i = 0; i < 10; ++i)
        tree.file("d" + std::to_string(i) + "/same.txt", 2000);
    DupScanSettings s = duplicates();
    s.capacity = 4;
    const Result r = scan({tree.root(), tree.root()}, s);
    EXPECT_TRUE(r.full);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.lines.size(), 4);
    EXPECT_FALSE(candidateListFullText().isEmpty());

    s.capacity = 10; // exactly enough is not full
    const Result enough = scan({tree.root()}, s);
    EXPECT_FALSE(enough.full);
    EXPECT_EQ(enough.lines.size(), 10);
}

TEST(DuplicateScan, AbortKeepsWhatWasCollected)
{
    TempTree tree;
    for (int i = 0; i < 40; ++i)
        tree.file("d" + std::to_string(i) + "/same.txt", 2000);
    std::stop_source abort;
    std::atomic<int> directories{0};
    ScanControl control;
    control.threads = 1;
    control.io = 1;
    control.stop = abort.get_token();
    control.beforeDirectory = [&](const WalkDir&) {
        if (++directories == 10)
            abort.request_stop();
    };
    const Result r = scan({tree.root(), tree.root()}, duplicates(), control);
    EXPECT_TRUE(r.stopped);
    EXPECT_FALSE(r.full);
    EXPECT_GT(r.lines.size(), 0);
    EXPECT_LT(r.lines.size(), 40);
    EXPECT_LT(directories.load(), 12); // the second tree was never walked
}
