// What every scan promises through the one scan interface, checked over the
// same trees for each tool: an abort through the stop token, a full list, a
// root that cannot be opened, and the same result whatever the threads.

#include "common/drivelist.h"
#include "common/scan.h"
#include "dirhog/dirhogscan.h"
#include "duplic/duplicatescan.h"
#include "filemod/changedscan.h"
#include "stats/statisticsscan.h"
#include "support/temptree.h"
#include "support/walkgate.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <thread>

namespace kelvane {
namespace {

using test::TempTree;
using test::WalkGate;

// What a scan handed over, in a form every tool shares.
struct Found {
    std::vector<std::string> lines; // the result, in its order
    std::vector<std::string> paths; // the real path of each item that has one
    size_t items = 0;               // files or directories listed (counted for statistics)
};

// One tool in the table: its scan with a list of at most limit items, and how
// its result is read.
struct ScanCase {
    const char* name;
    std::function<std::unique_ptr<Scan>(size_t limit)> make;
    std::function<Found(Scan&)> handOver;
    // Items each directory of the trees gives (0: the list never fills up).
    size_t perDirectory;
    // Each root has an item of its own, before those of its directories.
    bool rootItem = false;
};

Found rowsFound(std::vector<GridRow> rows)
{
    Found found;
    for (const GridRow& row : rows) {
        found.lines.push_back(row.cells.toStdString() + "|" + row.path);
        if (!row.path.empty()) {
            found.paths.push_back(row.path);
            ++found.items;
        }
    }
    return found;
}

std::unique_ptr<Scan> duplicateScan(DupMode mode, size_t limit)
{
    DupScanSettings settings;
    settings.mode = mode;
    settings.limitKB = 0;
    settings.capacity = limit;
    return std::make_unique<DuplicateScan>(settings);
}

Found statisticsFound(Scan& scan)
{
    const Statistics stats = static_cast<StatisticsScan&>(scan).handOver();
    Found found;
    for (const TypeRow& row : stats.types)
        found.lines.push_back(row.key + " " + std::to_string(row.files) + " " + std::to_string(row.bytes));
    for (int b = 1; b <= kBands; ++b)
        found.lines.push_back(std::to_string(stats.sizes.files[b]) + "/" +
                              std::to_string(stats.ages.bytes[b]));
    found.items = stats.filesProcessed;
    return found;
}

const DateRange kDecember(QDate(2026, 12, 1), QDate(2026, 12, 31));

const std::vector<ScanCase>& scanCases()
{
    static const std::vector<ScanCase> cases = {
        {"duplicates", [](size_t limit) { return duplicateScan(DupMode::Duplicates, limit); },
         [](Scan& s) { return rowsFound(static_cast<DuplicateScan&>(s).handOver()); }, 2},
        {"file hogs", [](size_t limit) { return duplicateScan(DupMode::Hogs, limit); },
         [](Scan& s) { return rowsFound(static_cast<DuplicateScan&>(s).handOver()); }, 2},
        {"files changed", [](size_t limit) { return std::make_unique<ChangedFilesScan>(kDecember, limit); },
         [](Scan& s) {
             const ChangedFileList files = static_cast<ChangedFilesScan&>(s).handOver();
             Found found;
             for (size_t i = 0; i < files.size(); ++i) {
                 found.lines.push_back(files.path(i) + " " + std::to_string(files.stamp(i)));
                 found.paths.push_back(files.path(i));
             }
             found.items = files.size();
             return found;
         },
         2},
        {"directory hogs",
         [](size_t limit) { return std::make_unique<DirHogScan>(DirHogMode::AllDirectories, limit); },
         [](Scan& s) {
             Found found;
             for (DirHogRow& row : static_cast<DirHogScan&>(s).handOver()) {
                 found.lines.push_back(row.line.toStdString());
                 found.paths.push_back(row.path);
                 ++found.items;
             }
             return found;
         },
         1, true},
        {"statistics",
         [](size_t) {
             return std::make_unique<StatisticsScan>(QDateTime(QDate(2027, 1, 1), QTime(0, 0)),
                                                     ScanOptions{});
         },
         statisticsFound, 0},
    };
    return cases;
}

// Two trees to scan one after the other, and a plain file between them as a
// root that answers but cannot be opened.
class EveryScan : public ::testing::TestWithParam<size_t> {
protected:
    static constexpr int kFirstDirectories = 12;

    EveryScan()
    {
        const int64_t december = test::localTime(2026, 12, 15, 12);
        for (int d = 0; d < kFirstDirectories; ++d)
            fill(first, "d" + twoDigits(d), d, december);
        for (int d = 0; d < 6; ++d)
            fill(second, "e" + twoDigits(d), d, december);
        notADirectory = other.file("not-a-directory", 1);
    }

    static std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

    static void fill(TempTree& tree, const std::string& dir, int d, int64_t mtime)
    {
        tree.file(dir + "/note.txt", 1024 + d, 0644, mtime);
        tree.file(dir + "/same.bin", 300 * 1024, 0644, mtime);
    }

    std::vector<Drive> drives(const std::vector<std::string>& roots) const
    {
        return FixedDriveList::fromDirectories(roots).drives();
    }

    const ScanCase& scanCase() const { return scanCases()[GetParam()]; }

    // Scans roots with a fresh scan; cannotOpen gets the roots that could not be opened.
    Found scan(const std::vector<std::string>& roots, ScanControl control, size_t limit = SIZE_MAX,
               std::vector<std::string>* cannotOpen = nullptr, ScanEnd* end = nullptr) const
    {
        const std::unique_ptr<Scan> s = scanCase().make(limit);
        const ScanEnd ended = s->scanDrives(drives(roots), control, [&](const Drive& d) {
            if (cannotOpen)
                cannotOpen->push_back(d.root);
        });
        EXPECT_EQ(ended, s->end());
        if (end)
            *end = ended;
        return scanCase().handOver(*s);
    }

    static ScanControl threads(int n)
    {
        ScanControl control;
        control.threads = n;
        control.io = n;
        return control;
    }

    TempTree first, second, other;
    std::string notADirectory;
};

TEST_P(EveryScan, SameResultWhateverTheThreadsAndAnUnopenableRootIsReportedAlone)
{
    std::vector<std::string> reported;
    ScanEnd end = ScanEnd::Aborted;
    const Found one =
        scan({first.root(), notADirectory, second.root()}, threads(1), SIZE_MAX, &reported, &end);
    EXPECT_EQ(end, ScanEnd::Complete);
    EXPECT_EQ(reported, std::vector<std::string>{notADirectory});
    // Two files in each directory; directory hogs: a line for each directory and root.
    const size_t items = scanCase().rootItem ? kFirstDirectories + 6 + 2 : (kFirstDirectories + 6) * 2;
    EXPECT_EQ(one.items, items);
    // The roots after it were still scanned: the same as without it, more than the first alone.
    EXPECT_EQ(one.lines, scan({first.root(), second.root()}, threads(1)).lines);
    EXPECT_LT(scan({first.root()}, threads(1)).items, one.items);
    for (int run = 0; run < 3; ++run)
        EXPECT_EQ(scan({first.root(), notADirectory, second.root()}, threads(8)).lines, one.lines);
}

TEST_P(EveryScan, AbortThroughTheStopTokenKeepsWhatWasFoundAndScansNoMoreRoots)
{
    const Found complete = scan({first.root(), second.root()}, threads(1));
    WalkGate gate("d05");
    std::stop_source abort;
    ScanControl control = threads(1);
    control.stop = abort.get_token();
    control.beforeDirectory = gate.hook();
    const std::unique_ptr<Scan> s = scanCase().make(SIZE_MAX);
    ScanEnd end = ScanEnd::Complete;
    std::thread walk([&] { end = s->scanDrives(drives({first.root(), second.root()}), control); });
    ASSERT_TRUE(gate.waitUntilHeld());
    abort.request_stop();
    gate.release();
    walk.join();

    EXPECT_EQ(end, ScanEnd::Aborted);
    EXPECT_TRUE(s->stopped());
    EXPECT_FALSE(s->full());
    const Found partial = scanCase().handOver(*s);
    EXPECT_GT(partial.items, 0u); // d00 to d04 were walked
    EXPECT_LT(partial.items, complete.items);
    for (const std::string& path : partial.paths)
        EXPECT_EQ(path.rfind(second.root(), 0), std::string::npos) << path << " of a root after the abort";
}

TEST_P(EveryScan, FullListSaysFullNotAbortedAndHoldsExactlyTheFirstItems)
{
    constexpr size_t kLimit = 4;
    ScanEnd end = ScanEnd::Complete;
    const Found found = scan({first.root(), second.root()}, threads(1), kLimit, nullptr, &end);
    const size_t perDirectory = scanCase().perDirectory;
    if (perDirectory == 0) {
        EXPECT_EQ(end, ScanEnd::Complete); // a list that never fills up
        return;
    }
    EXPECT_EQ(end, ScanEnd::Full);
    EXPECT_EQ(found.items, kLimit);
    // One thread walks in listing order: the items are those of the first
    // directories (after the root's own).
    const size_t fromDirectories = scanCase().rootItem ? kLimit - 1 : kLimit;
    const int directories = int((fromDirectories + perDirectory - 1) / perDirectory);
    for (const std::string& path : found.paths) {
        bool early = scanCase().rootItem && path == first.root();
        for (int d = 0; d < directories; ++d)
            early = early || path.rfind(first.path("d" + twoDigits(d)), 0) == 0;
        EXPECT_TRUE(early) << path;
    }
}

INSTANTIATE_TEST_SUITE_P(Scans, EveryScan, ::testing::Range(size_t(0), scanCases().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             std::string name = scanCases()[info.param].name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

} // namespace
} // namespace kelvane
