#include "common/entrykind.h"
#include "common/treetotals.h"
#include "common/walker.h"
#include "support/temptree.h"
#include "support/walkgate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace kelvane;
using kelvane::test::TempTree;
using kelvane::test::WalkGate;

namespace {

// Every file's path in post-order (a directory's subdirectories first, then
// its own files), so that any change of order shows.
class PostOrderFold final : public Fold<std::vector<std::string>> {
public:
    std::vector<std::string> visit(const WalkDir& dir, std::span<const Entry> listing) override
    {
        std::vector<std::string> files;
        const std::string path = dir.path();
        for (const Entry& e : listing)
            if (entryKind(e) == EntryKind::Other)
                files.push_back(path + "/" + e.name);
        return files;
    }
    std::vector<std::string> combine(const WalkDir&, std::vector<std::string> own,
                                     std::vector<std::vector<std::string>>& children) override
    {
        std::vector<std::string> all;
        for (auto& child : children)
            all.insert(all.end(), child.begin(), child.end());
        all.insert(all.end(), own.begin(), own.end());
        return all;
    }
};

WalkResult<TreeTotals> totalsOf(const std::string& root, WalkOptions options = {})
{
    TreeTotalsFold fold;
    return walkTree(root, fold, options);
}

void randomTree(TempTree& tree, unsigned seed, int dirs, int files)
{
    std::mt19937 random(seed);
    std::vector<std::string> made{""};
    for (int i = 0; i < dirs; ++i) {
        const std::string parent = made[random() % made.size()];
        made.push_back(tree.dir((parent.empty() ? "" : parent + "/") + "d" + std::to_string(i))
                           .substr(tree.root().size() + 1));
    }
    for (int i = 0; i < files; ++i) {
        const std::string& parent = made[random() % made.size()];
        tree.file((parent.empty() ? "" : parent + "/") + "f" + std::to_string(random() % 50),
                  random() % 5000);
    }
}

// Sets the soft descriptor limit for one scope.
class DescriptorLimit {
public:
    explicit DescriptorLimit(rlim_t soft)
    {
        getrlimit(RLIMIT_NOFILE, &saved_);
        struct rlimit low = saved_;
        low.rlim_cur = soft;
        ok_ = setrlimit(RLIMIT_NOFILE, &low) == 0;
    }
    ~DescriptorLimit() { setrlimit(RLIMIT_NOFILE, &saved_); }
    bool ok() const { return ok_; }

private:
    struct rlimit saved_;
    bool ok_ = false;
};

} // namespace

TEST(Walker, TotalsCountHiddenFilesButDoNotEnterHiddenDirectories)
{
    TempTree tree;
    tree.file("a.txt", 100);
    tree.file(".profile", 10);
    tree.file("sub/b.bin", 1000);
    tree.file("sub/deeper/c", 1);
    tree.file(".cache/never", 5000);
    tree.fifo("pipe");
    const auto result = totalsOf(tree.root());
    EXPECT_EQ(result.stats.rootError, 0);
    EXPECT_EQ(result.value.directories, 3u);
    EXPECT_EQ(result.value.files, 5u); // a.txt .profile pipe b.bin c
    EXPECT_EQ(result.value.bytes, 1111u);
    EXPECT_FALSE(result.stats.aborted);
    EXPECT_EQ(result.stats.skipped, 0u);
}

TEST(Walker, SymbolicLinkToADirectoryIsNotFollowed)
{
    TempTree outside;
    outside.file("big", 1'000'000);
    TempTree tree;
    tree.file("x", 7);
    tree.dir("inner");
    tree.symlink("inner/out", outside.root());
    tree.symlink("loop", tree.root());
    PostOrderFold fold;
    const auto result = walkTree(tree.root(), fold);
    EXPECT_EQ(result.value,
              (std::vector<std::string>{tree.path("inner/out"), tree.path("loop"), tree.path("x")}));
    EXPECT_EQ(result.stats.directories, 2u);
}

TEST(Walker, RootMayBeALinkAndTrailingSeparatorsAreDropped)
{
    TempTree tree;
    tree.file("d/f", 3);
    const std::string link = tree.symlink("d-link", tree.path("d"));
    PostOrderFold fold;
    EXPECT_EQ(walkTree(link + "//", fold).value, (std::vector<std::string>{link + "/f"}));
}

TEST(Walker, UnopenableRootIsReportedNotWalked)
{
    TempTree tree;
    const std::string file = tree.file("plain", 1);
    EXPECT_EQ(totalsOf(tree.path("missing")).stats.rootError, ENOENT);
    EXPECT_EQ(totalsOf(file).stats.rootError, ENOTDIR);
    EXPECT_EQ(totalsOf(tree.path("missing")).value, TreeTotals{});
}

TEST(Walker, VanishedAndReplacedDirectoriesAreSkippedAndCounted)
{
    TempTree tree;
    tree.file("gone/f", 10);
    tree.file("swapped/f", 10);
    tree.file("kept/f", 10);
    tree.file("other/g", 20);
    WalkOptions options;
    options.threads = 1;
    options.io = 1;
    options.beforeDirectory = [&](const WalkDir& dir) {
        if (dir.name() == "gone")
            ::rename(tree.path("gone").c_str(), tree.path("elsewhere").c_str());
        if (dir.name() == "swapped") {
            ::rename(tree.path("swapped").c_str(), tree.path("swapped-old").c_str());
            ::rename(tree.path("other").c_str(), tree.path("swapped").c_str());
        }
    };
    const auto result = totalsOf(tree.root(), options);
    EXPECT_EQ(result.stats.skipped, 2u);
    ASSERT_EQ(result.stats.skippedDirectories.size(), 2u);
    EXPECT_EQ(result.value.files, 2u); // kept/f and other/g, now named swapped
    for (const SkippedDirectory& skip : result.stats.skippedDirectories) {
        EXPECT_TRUE(skip.path == tree.path("gone") || skip.path == tree.path("swapped")) << skip.path;
        EXPECT_NE(skip.error, 0);
    }
}

TEST(Walker, UnreadableDirectoryIsSkippedWhenPermissionsApply)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    TempTree tree;
    tree.file("closed/f", 10);
    tree.file("open/f", 10);
    ::chmod(tree.path("closed").c_str(), 0);
    const auto result = totalsOf(tree.root());
    EXPECT_EQ(result.stats.skipped, 1u);
    EXPECT_EQ(result.value.files, 1u);
}

TEST(Walker, SameResultForAnyNumberOfThreadsAndReadsInFlight)
{
    TempTree tree;
    randomTree(tree, 42, 300, 3000);
    PostOrderFold fold;
    WalkOptions one;
    one.threads = 1;
    one.io = 1;
    const auto expected = walkTree(tree.root(), fold, one).value;
    ASSERT_FALSE(expected.empty());
    const auto expectedTotals = totalsOf(tree.root(), one);
    EXPECT_EQ(expectedTotals.stats.directories, 301u);
    struct Setting {
        int threads;
        int io;
    };
    for (const Setting s :
         {Setting{1, 4}, Setting{1, 64}, Setting{2, 1}, Setting{2, 4}, Setting{8, 64}, Setting{0, 0}}) {
        for (int run = 0; run < 3; ++run) {
            WalkOptions options;
            options.threads = s.threads;
            options.io = s.io;
            const auto result = walkTree(tree.root(), fold, options);
            EXPECT_EQ(result.value, expected) << s.threads << " threads, " << s.io << " reads, run " << run;
            EXPECT_EQ(result.stats.directories, expectedTotals.stats.directories);
            EXPECT_EQ(result.stats.entries, expectedTotals.stats.entries);
        }
        WalkOptions options;
        options.threads = s.threads;
        options.io = s.io;
        EXPECT_EQ(totalsOf(tree.root(), options).value, expectedTotals.value);
    }
}

namespace {

// The most calls seen running at once.
struct ConcurrencyMeter {
    std::atomic<int> now{0};
    std::atomic<int> most{0};
    void enter()
    {
        const int n = ++now;
        for (int m = most.load(); n > m && !most.compare_exchange_weak(m, n);) {
        }
    }
    void leave() { --now; }
};

class SlowFold final : public Fold<int> {
public:
    explicit SlowFold(ConcurrencyMeter& meter) : meter_(meter) {}
    int visit(const WalkDir&, std::span<const Entry> listing) override
    {
        meter_.enter();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        meter_.leave();
        return int(listing.size());
    }
    int combine(const WalkDir&, int own, std::vector<int>& children) override
    {
        meter_.enter();
        for (const int c : children)
            own += c;
        meter_.leave();
        return own;
    }

private:
    ConcurrencyMeter& meter_;
};

} // namespace

TEST(Walker, ReadsInFlightDoNotAddFoldingThreads)
{
    TempTree tree;
    for (int i = 0; i < 40; ++i)
        tree.file("d" + std::to_string(i) + "/e/f", 1);
    ConcurrencyMeter reads;
    ConcurrencyMeter folds;
    SlowFold fold(folds);
    WalkOptions options;
    options.threads = 2;
    options.io = 16;
    // Each directory's read is held a little, as a cold disk would.
    options.beforeDirectory = [&](const WalkDir&) {
        reads.enter();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        reads.leave();
    };
    const auto result = walkTree(tree.root(), fold, options);
    EXPECT_EQ(result.value, 40 * 2 + 40);
    EXPECT_GT(reads.most.load(), 2);
    EXPECT_LE(folds.most.load(), 2);
    EXPECT_GE(folds.most.load(), 1);
}

TEST(Walker, ListingIsInByteOrderOfNames)
{
    TempTree tree;
    for (const char* name : {"b", "B", "a", "\xc3\xa9", "A", "_", "10", "9"})
        tree.file(name, 1);
    PostOrderFold fold;
    const auto files = walkTree(tree.root(), fold).value;
    std::vector<std::string> names;
    for (const auto& f : files)
        names.push_back(f.substr(tree.root().size() + 1));
    EXPECT_EQ(names, (std::vector<std::string>{"10", "9", "A", "B", "_", "a", "b", "\xc3\xa9"}));
}

// A chain 5,000 levels deep with paths far beyond PATH_MAX, built relative to
// directory descriptors.
TEST(Walker, VeryDeepTreeIsWalkedCompletely)
{
    TempTree tree;
    constexpr int kDepth = 5000;
    const std::string name = "level-directory"; // 16 bytes a level: ~80 KB paths
    int fd = ::open(tree.root().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int i = 0; i < kDepth; ++i) {
        ASSERT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
        const int file = ::openat(fd, "f", O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(file, 0);
        ASSERT_EQ(::ftruncate(file, 2), 0);
        ::close(file);
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        ASSERT_GE(fd, 0);
    }
    ::close(fd);
    const int descriptorsBefore = kelvane::test::openDescriptorCount();
    size_t deepestPath = 0;
    WalkOptions options;
    options.beforeDirectory = [&](const WalkDir& dir) {
        if (dir.depth() == kDepth)
            deepestPath = dir.path().size();
    };
    const auto result = totalsOf(tree.root(), options);
    EXPECT_EQ(result.value.directories, uint64_t(kDepth + 1));
    EXPECT_EQ(result.value.files, uint64_t(kDepth));
    EXPECT_EQ(result.value.bytes, uint64_t(2 * kDepth));
    EXPECT_EQ(result.stats.skipped, 0u);
    EXPECT_GT(deepestPath, size_t(PATH_MAX));
    EXPECT_EQ(kelvane::test::openDescriptorCount(), descriptorsBefore);
}

// With few descriptors allowed, directories give theirs up and children are
// reached from an ancestor; nothing is lost and the limit is never hit.
TEST(Walker, FewDescriptorsStillWalkEverything)
{
    TempTree tree;
    std::string path;
    for (int i = 0; i < 300; ++i) {
        path += (path.empty() ? "" : "/") + std::string("d");
        tree.file(path + "/side/leaf", 1);
        tree.file(path + "/side2/leaf", 1);
    }
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    struct rlimit low = saved;
    low.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    WalkOptions options;
    options.threads = 4;
    const auto result = totalsOf(tree.root(), options);
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(result.stats.skipped, 0u);
    EXPECT_EQ(result.value.directories, 1u + 300u * 3u);
    EXPECT_EQ(result.value.files, 600u);
}

TEST(Walker, HugeDirectory)
{
    TempTree tree(kelvane::test::fastTempBase());
    constexpr int kFiles = 200'000;
    const int fd = ::open(tree.root().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int i = 0; i < kFiles; ++i) {
        const int f = ::openat(fd, ("file-" + std::to_string(i)).c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(f, 0);
        ::close(f);
    }
    ::close(fd);
    WalkProgress progress;
    WalkOptions options;
    options.progress = &progress;
    const auto result = totalsOf(tree.root(), options);
    EXPECT_EQ(result.value.files, uint64_t(kFiles));
    EXPECT_EQ(progress.entries(), uint64_t(kFiles));
    EXPECT_EQ(progress.directories(), 1u);
}

TEST(Walker, AbortStopsTheWalkAndKeepsAConsistentPartialResult)
{
    TempTree tree;
    for (int i = 10; i < 30; ++i)
        tree.file("d" + std::to_string(i) + "/f", 10);
    std::stop_source abort;
    WalkOptions options;
    options.threads = 1;
    options.io = 1;
    options.stop = abort.get_token();
    int listedAfterAbort = 0;
    options.beforeDirectory = [&](const WalkDir& dir) {
        if (abort.stop_requested())
            ++listedAfterAbort;
        if (dir.name() == "d15")
            abort.request_stop();
    };
    const auto result = totalsOf(tree.root(), options);
    EXPECT_TRUE(result.stats.aborted);
    EXPECT_EQ(listedAfterAbort, 0);
    EXPECT_EQ(result.value.files, 5u); // d10 to d14, in listing order with one thread
    EXPECT_EQ(result.value.directories, 6u);
    EXPECT_EQ(result.stats.skipped, 0u);
}

TEST(Walker, AbortBeforeTheRootGivesNothing)
{
    TempTree tree;
    tree.file("f", 1);
    std::stop_source abort;
    abort.request_stop();
    WalkOptions options;
    options.stop = abort.get_token();
    const auto result = totalsOf(tree.root(), options);
    EXPECT_TRUE(result.stats.aborted);
    EXPECT_EQ(result.value, TreeTotals{});
}

TEST(Walker, ProgressIsReadableFromAnotherThreadDuringTheWalk)
{
    TempTree tree;
    tree.file("a/f1", 1);
    tree.file("a/f2", 1);
    tree.file("b/f3", 1);
    WalkProgress progress;
    WalkGate gate("b");
    WalkOptions options;
    options.progress = &progress;
    options.beforeDirectory = gate.hook();
    std::thread walker([&] { totalsOf(tree.root(), options); });
    EXPECT_TRUE(gate.waitUntilHeld());
    EXPECT_GE(progress.entries(), 2u);
    EXPECT_GE(progress.directories(), 1u);
    EXPECT_EQ(progress.currentDirectory().rfind(tree.root(), 0), 0u);
    gate.release();
    walker.join();
    EXPECT_EQ(progress.entries(), 5u);
    EXPECT_EQ(progress.directories(), 3u);
}

TEST(Walker, EntersOnlyPlainDirectoriesOfTheDrive)
{
    Entry e;
    e.attr = kAttrDirectory;
    e.dev = 7;
    EXPECT_TRUE(walkEnters(e, 7));
    EXPECT_FALSE(walkEnters(e, 8)); // another mounted file system
    e.attr = kAttrDirectory | kAttrHidden;
    EXPECT_FALSE(walkEnters(e, 7));
    e.attr = kAttrArchive;
    EXPECT_FALSE(walkEnters(e, 7));
}

// Sixteen descriptors (the soft limit some systems start with) on a comb tree
// 2,000 levels deep: every directory and file is walked, whatever the number
// of threads, and in the same order as with no limit.
TEST(Walker, CombTreeUnderSixteenDescriptorsLosesNothing)
{
    TempTree tree;
    constexpr int kLevels = 2000;
    kelvane::test::makeComb(tree.root(), kLevels);
    PostOrderFold fold;
    const auto expected = walkTree(tree.root(), fold).value;
    ASSERT_EQ(expected.size(), size_t(kLevels));
    const int descriptorsBefore = kelvane::test::openDescriptorCount();
    for (int threads : {1, 2, 4}) {
        std::vector<std::string> files;
        WalkResult<TreeTotals> totals;
        {
            DescriptorLimit limit(16);
            ASSERT_TRUE(limit.ok());
            WalkOptions options;
            options.threads = threads;
            files = walkTree(tree.root(), fold, options).value;
            totals = totalsOf(tree.root(), options);
        }
        EXPECT_EQ(totals.stats.skipped, 0u) << threads << " threads";
        EXPECT_EQ(totals.value.directories, uint64_t(2 * kLevels + 1)) << threads << " threads";
        EXPECT_EQ(totals.value.files, uint64_t(kLevels)) << threads << " threads";
        EXPECT_TRUE(files == expected) << threads << " threads";
    }
    EXPECT_EQ(kelvane::test::openDescriptorCount(), descriptorsBefore);
}

// With no descriptor to spare the walk climbs back through ".."; a directory
// moved meanwhile makes ".." lead elsewhere, and the walk finds its way back
// from an ancestor instead of skipping (or miscounting) what is left.
TEST(Walker, DirectoryMovedDuringADeepWalkIsFoundAgainFromAnAncestor)
{
    TempTree tree;
    constexpr int kLevels = 60;
    kelvane::test::makeComb(tree.root(), kLevels);
    std::string level30;
    for (int i = 0; i < 30; ++i)
        level30 += (i ? "/" : "") + std::string("a");
    WalkOptions options;
    options.threads = 1;
    bool moved = false;
    options.beforeDirectory = [&](const WalkDir& dir) {
        // Level 30 is open while its subdirectories are walked: move it away.
        if (!moved && dir.depth() == 31 && dir.name() == "a")
            moved = ::rename(tree.path(level30).c_str(), tree.path("moved").c_str()) == 0;
    };
    WalkResult<TreeTotals> result;
    {
        DescriptorLimit limit(16);
        ASSERT_TRUE(limit.ok());
        result = totalsOf(tree.root(), options);
    }
    EXPECT_TRUE(moved);
    EXPECT_EQ(result.stats.skipped, 0u);
    EXPECT_EQ(result.value.directories, uint64_t(2 * kLevels + 1));
    EXPECT_EQ(result.value.files, uint64_t(kLevels));
}

namespace {

// Counts the values alive, so that a test sees what a walk leaves behind.
struct Counted {
    static inline std::atomic<int> alive{0};
    int files = 0;
    Counted() { ++alive; }
    Counted(const Counted& other) : files(other.files) { ++alive; }
    Counted(Counted&& other) noexcept : files(other.files) { ++alive; }
    Counted& operator=(const Counted&) = default;
    Counted& operator=(Counted&&) noexcept = default;
    ~Counted() { --alive; }
};

// Runs out of memory in the directory named fail.
class FailingFold final : public Fold<Counted> {
public:
    Counted visit(const WalkDir& dir, std::span<const Entry> listing) override
    {
        if (dir.name() == "fail")
            throw std::bad_alloc();
        Counted c;
        c.files = int(listing.size());
        return c;
    }
    Counted combine(const WalkDir&, Counted own, std::vector<Counted>& children) override
    {
        for (const Counted& c : children)
            own.files += c.files;
        return own;
    }
};

} // namespace

// A fold that throws ends the walk with its exception; the values already
// folded, the directories waiting and their descriptors are all freed.
TEST(Walker, FoldThatThrowsLeavesNothingBehind)
{
    TempTree tree;
    for (int i = 0; i < 30; ++i)
        tree.file("d" + std::to_string(i) + "/e/g/f", 1);
    tree.file("d15/e/fail/f", 1);
    const int descriptorsBefore = kelvane::test::openDescriptorCount();
    for (const int threads : {1, 4}) {
        FailingFold fold;
        WalkOptions options;
        options.threads = threads;
        options.io = threads;
        EXPECT_THROW(walkTree(tree.root(), fold, options), std::bad_alloc) << threads;
        EXPECT_EQ(Counted::alive.load(), 0) << threads;
        EXPECT_EQ(kelvane::test::openDescriptorCount(), descriptorsBefore) << threads;
    }
    FailingFold fold;
    ASSERT_EQ(::rename(tree.path("d15/e/fail").c_str(), tree.path("d15/e/passed").c_str()), 0);
    EXPECT_EQ(walkTree(tree.root(), fold).value.files, 30 * 4 + 2);
    EXPECT_EQ(Counted::alive.load(), 0);
}
