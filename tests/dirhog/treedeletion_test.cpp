#include "common/boundpath.h"
#include "dirhog/treedeletion.h"
#include "support/childprocess.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <functional>

#include <cstdio>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelvane;
using kelvane::test::exists;
using kelvane::test::modeOf;
using kelvane::test::TempTree;

namespace {

// Records the questions and answers them from a list (Yes when it runs out).
struct Questions {
    QStringList asked;
    QList<TreeAnswer> answers;
    std::function<void()> whileAsked; // runs while a question is open

    TreeDeletion::Ask ask()
    {
        return [this](const QString& question) {
            asked << question;
            if (whileAsked)
                whileAsked();
            return answers.isEmpty() ? TreeAnswer::Yes : answers.takeFirst();
        };
    }
};

QString readOnlyQuestion(const std::string& path)
{
    return QString::fromStdString(path) +
           " is read-only, delete this file and continue deleting other files? ";
}

} // namespace

TEST(TreeDeletion, EmptyDirectoryIsRemovedAtOnce)
{
    TempTree tree;
    const std::string empty = tree.dir("empty");
    const std::string full = tree.dir("full");
    tree.file("full/f", 10);
    EXPECT_EQ(removeEmptyDirectory(empty), EmptyRemoval::Removed);
    EXPECT_FALSE(exists(empty));
    EXPECT_EQ(removeEmptyDirectory(full), EmptyRemoval::NotRemoved);
    EXPECT_TRUE(exists(tree.path("full/f")));
    EXPECT_EQ(removeEmptyDirectory(tree.path("missing")), EmptyRemoval::Gone);
    EXPECT_EQ(removeEmptyDirectory("/"), EmptyRemoval::NotRemoved);
}

TEST(TreeDeletion, DeletesATreeOfThreeFiles)
{
    TempTree tree;
    tree.file("d/one", 1000);
    tree.file("d/two", 2500);
    tree.file("d/sub/three", 500);
    Questions q;
    WalkProgress progress;
    const TreeDeletionResult r = TreeDeletion(q.ask(), &progress).run(tree.path("d"));
    EXPECT_EQ(r.files, 3);
    EXPECT_EQ(r.bytes, 4000);
    EXPECT_TRUE(r.completed());
    EXPECT_TRUE(r.gone);
    EXPECT_FALSE(exists(tree.path("d")));
    EXPECT_TRUE(q.asked.isEmpty());
    EXPECT_EQ(progress.directories(), 2u);
    EXPECT_TRUE(exists(tree.root()));
}

// With space on disk shown, the savings are the blocks the files held: a
// sparse file frees (almost) nothing whatever its apparent size.
TEST(TreeDeletion, SavingsInSpaceOnDisk)
{
    TempTree tree;
    tree.file("d/sparse", int64_t(1) << 30);
    const std::string written = tree.path("d/sub/written");
    tree.dir("d/sub");
    {
        std::FILE* f = std::fopen(written.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        const std::string bytes(20000, 'x');
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    struct stat sparse, full;
    ASSERT_EQ(::stat(tree.path("d/sparse").c_str(), &sparse), 0);
    ASSERT_EQ(::stat(written.c_str(), &full), 0);
    Questions q;
    const TreeDeletionResult r = TreeDeletion(q.ask(), nullptr, SizeMeasure::DiskUsage).run(tree.path("d"));
    EXPECT_TRUE(r.gone);
    EXPECT_EQ(r.files, 2);
    EXPECT_EQ(r.bytes, (int64_t(sparse.st_blocks) + int64_t(full.st_blocks)) * 512);
    EXPECT_LT(r.bytes, int64_t(1) << 20);
}

TEST(TreeDeletion, ReadOnlyAnsweredNoStopsEverything)
{
    TempTree tree;
    tree.file("d/a", 1000);
    tree.file("d/b", 2500);
    const std::string locked = tree.file("d/sub/c", 500, 0444);
    tree.file("d/sub/later", 7);
    tree.file("d/z", 9);
    Questions q;
    q.answers = {TreeAnswer::No};
    const TreeDeletionResult r = TreeDeletion(q.ask()).run(tree.path("d"));
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.completed());
    EXPECT_FALSE(r.gone);
    EXPECT_EQ(r.files, 2); // what went before the question stays deleted and counted
    EXPECT_EQ(r.bytes, 3500);
    EXPECT_EQ(q.asked, QStringList{readOnlyQuestion(locked)});
    EXPECT_TRUE(exists(locked));
    EXPECT_TRUE(exists(tree.path("d/sub/later"))); // nothing after the answer
    EXPECT_TRUE(exists(tree.path("d/z")));
    EXPECT_FALSE(exists(tree.path("d/a")));
}

TEST(TreeDeletion, ReadOnlyAnsweredYesIsMadeWritableAndDeleted)
{
    TempTree tree;
    tree.file("d/a", 1000);
    tree.file("d/sub/c", 500, 0444);
    Questions q;
    const TreeDeletionResult r = TreeDeletion(q.ask()).run(tree.path("d"));
    EXPECT_TRUE(r.completed());
    EXPECT_TRUE(r.gone);
    EXPECT_EQ(r.files, 2);
    EXPECT_EQ(r.bytes, 1500);
    EXPECT_EQ(q.asked.size(), 1);
}

TEST(TreeDeletion, EachBitIsAskedInTurnAndTheLastAnswerDecides)
{
    TempTree tree;
    const std::string both = tree.file("d/.both", 10, 0444);
    Questions yesYes;
    TreeDeletionResult r = TreeDeletion(yesYes.ask()).run(tree.path("d"));
    ASSERT_EQ(yesYes.asked.size(), 2);
    EXPECT_TRUE(
        yesYes.asked[0].endsWith(".both is read-only, delete this file and continue deleting other files? "));
    EXPECT_TRUE(
        yesYes.asked[1].endsWith(".both is hidden, delete this file and continue deleting other files? "));
    EXPECT_TRUE(r.gone);
    EXPECT_EQ(r.files, 1);

    // No, then Yes: the deletion goes on, but the file stays read-only and
    // cannot be deleted, so its directory stays too.
    tree.file("e/.both", 10, 0444);
    tree.file("e/other", 20);
    Questions noYes;
    noYes.answers = {TreeAnswer::No, TreeAnswer::Yes};
    r = TreeDeletion(noYes.ask()).run(tree.path("e"));
    EXPECT_EQ(noYes.asked.size(), 2);
    EXPECT_FALSE(r.cancelled);
    EXPECT_TRUE(r.completed());
    EXPECT_FALSE(r.gone);
    EXPECT_EQ(r.files, 1);
    EXPECT_EQ(r.bytes, 20);
    EXPECT_TRUE(exists(tree.path("e/.both")));

    // Yes, then No: cancelled, though the write bit was already added.
    Questions yesNo;
    yesNo.answers = {TreeAnswer::Yes, TreeAnswer::Cancel};
    r = TreeDeletion(yesNo.ask()).run(tree.path("e"));
    EXPECT_TRUE(r.cancelled);
    struct stat st;
    ASSERT_EQ(::lstat(tree.path("e/.both").c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
}

TEST(TreeDeletion, SystemFilesAreAskedAbout)
{
    TempTree tree;
    tree.dir("d");
    const std::string pipe = tree.fifo("d/pipe");
    Questions q;
    const TreeDeletionResult r = TreeDeletion(q.ask()).run(tree.path("d"));
    EXPECT_EQ(q.asked,
              QStringList{QString::fromStdString(pipe) +
                          " is a system file, delete this file and continue deleting other files? "});
    EXPECT_TRUE(r.gone);
    EXPECT_EQ(r.files, 1);
}

TEST(TreeDeletion, LinkInsideTheTreeGoesItsTargetStays)
{
    TempTree outside;
    const std::string target = outside.dir("target");
    const std::string kept = outside.file("target/keep", 123);
    const std::string lockedOutside = outside.file("locked", 5, 0444);
    TempTree tree;
    tree.dir("d/sub");
    tree.symlink("d/to-dir", target);
    tree.symlink("d/sub/to-file", lockedOutside);
    tree.symlink("d/dangling", outside.path("nothing"));
    Questions q;
    const TreeDeletionResult r = TreeDeletion(q.ask()).run(tree.path("d"));
    EXPECT_TRUE(r.gone);
    EXPECT_EQ(r.files, 3);
    EXPECT_TRUE(q.asked.isEmpty()); // a link is never read-only, whatever it points at
    EXPECT_TRUE(exists(target));
    EXPECT_TRUE(exists(kept));
    struct stat st;
    ASSERT_EQ(::lstat(lockedOutside.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST(TreeDeletion, StartingDirectoryGivenAsALinkIsNotEntered)
{
    TempTree outside;
    const std::string kept = outside.file("target/keep", 1);
    TempTree tree;
    const std::string link = tree.symlink("link", outside.path("target"));
    const TreeDeletionResult r = TreeDeletion(Questions().ask()).run(link);
    EXPECT_FALSE(r.gone);
    EXPECT_EQ(r.files, 0);
    EXPECT_TRUE(exists(kept));
    EXPECT_TRUE(exists(link));
}

TEST(TreeDeletion, OddNamesAreDeleted)
{
    TempTree tree;
    tree.file("d/tab\there", 1);
    tree.file("d/new\nline", 2);
    tree.file("d/bad\xff\xfe", 3);
    tree.file("d/\xff dir/inner", 4);
    const TreeDeletionResult r = TreeDeletion(Questions().ask()).run(tree.path("d"));
    EXPECT_TRUE(r.gone);
    EXPECT_EQ(r.files, 4);
    EXPECT_EQ(r.bytes, 10);
}

TEST(TreeDeletion, VanishedDirectoryDeletesNothing)
{
    TempTree tree;
    const TreeDeletionResult r = TreeDeletion(Questions().ask()).run(tree.path("never"));
    EXPECT_TRUE(r.completed());
    EXPECT_TRUE(r.gone);
    EXPECT_EQ(r.files, 0);
}

TEST(TreeDeletion, RootsAndEmptyNamesAreRefused)
{
    EXPECT_EQ(deletionRefusal(""), DeletionRefusal::NoName);
    EXPECT_EQ(deletionRefusal("/"), DeletionRefusal::DriveRoot);
    EXPECT_EQ(deletionRefusal("//"), DeletionRefusal::DriveRoot);
    EXPECT_EQ(deletionRefusal("/proc"), DeletionRefusal::DriveRoot); // a mounted file system
    TempTree tree;
    tree.file("d/f", 1);
    EXPECT_EQ(deletionRefusal(tree.path("d/..")), DeletionRefusal::NoName);
    EXPECT_EQ(deletionRefusal(tree.path("d/.")), DeletionRefusal::NoName);
    EXPECT_EQ(deletionRefusal(tree.path("d")), DeletionRefusal::None);
    EXPECT_EQ(deletionRefusal(tree.path("d") + "/"), DeletionRefusal::None);

    const TreeDeletionResult r = TreeDeletion(Questions().ask()).run(tree.path("d/.."));
    EXPECT_EQ(r.refusal, DeletionRefusal::NoName);
    EXPECT_FALSE(r.completed());
    EXPECT_TRUE(exists(tree.path("d/f")));
    EXPECT_EQ(TreeDeletion(Questions().ask()).run("/").refusal, DeletionRefusal::DriveRoot);
}

namespace {

// A chain of directories levels deep with a 10-byte file every 100 levels,
// built relative to descriptors since its paths outgrow PATH_MAX.
void makeChain(const std::string& top, int levels)
{
    int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int level = 0; level < levels; ++level) {
        if (level % 100 == 0) {
            const int file = ::openat(fd, "file", O_CREAT | O_WRONLY, 0644);
            ASSERT_GE(file, 0);
            ASSERT_EQ(::ftruncate(file, 10), 0);
            ::close(file);
        }
        ASSERT_EQ(::mkdirat(fd, "level-dir", 0755), 0);
        const int next = ::openat(fd, "level-dir", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        ASSERT_GE(next, 0);
        fd = next;
    }
    ::close(fd);
}

} // namespace

// 2,000 levels: paths far beyond PATH_MAX, more levels than the descriptor
// budget, and no recursion.
TEST(TreeDeletion, TwoThousandLevelsAreDeletedCompletely)
{
    TempTree tree(test::fastTempBase());
    const int descriptors = test::openDescriptorCount();
    for (const int budget : {0, 8}) {
        SCOPED_TRACE(budget);
        const std::string top = tree.dir("deep");
        makeChain(top, 2000);
        TreeDeletion deletion(Questions().ask());
        if (budget)
            deletion.setDescriptorBudget(budget);
        const TreeDeletionResult r = deletion.run(top);
        EXPECT_TRUE(r.completed());
        EXPECT_TRUE(r.gone);
        EXPECT_EQ(r.files, 20);
        EXPECT_EQ(r.bytes, 200);
        EXPECT_FALSE(exists(top));
        EXPECT_EQ(test::openDescriptorCount(), descriptors);
    }
}

namespace {

FileIdentity scannedDirectory(const TempTree& tree, const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0);
    return FileIdentity::ofDirectory(st.st_dev, st.st_ino, rootLengthOf(tree.root()));
}

} // namespace

// A parent of the listed directory replaced by a link after the scan: the
// link is never followed, so the directory it points at is left alone.
TEST(TreeDeletion, ParentSwappedForALinkAfterTheScanIsRefused)
{
    TempTree tree;
    tree.file("D/swapme/s/f", 1);
    const std::string victim = tree.file("D/victim/s/keep", 5);
    const std::string listed = tree.path("D/swapme/s");
    const FileIdentity scanned = scannedDirectory(tree, listed);
    ASSERT_EQ(::rename(tree.path("D/swapme").c_str(), tree.path("D/swapme.moved").c_str()), 0);
    tree.symlink("D/swapme", "victim");

    for (const FileIdentity& identity : {scanned, FileIdentity{}}) {
        Questions q;
        const TreeDeletionResult r = TreeDeletion(q.ask()).run(listed, identity);
        EXPECT_EQ(r.refusal, DeletionRefusal::Changed);
        EXPECT_FALSE(r.gone);
        EXPECT_EQ(r.files, 0);
        EXPECT_TRUE(exists(victim));
        EXPECT_TRUE(exists(tree.path("D/swapme.moved/s/f")));
        EXPECT_EQ(removeEmptyDirectory(listed, identity), EmptyRemoval::Changed);
    }
    EXPECT_EQ(changedSinceScanText(listed),
              QString::fromStdString(listed) + " has changed since the scan; scan again");

    // Another directory in the place of the scanned one is not it either.
    ASSERT_EQ(::rename(tree.path("D/swapme.moved/s").c_str(), tree.path("D/swapme.moved/s.old").c_str()), 0);
    tree.file("D/swapme.moved/s/new", 3);
    const TreeDeletionResult r = TreeDeletion(Questions().ask()).run(tree.path("D/swapme.moved/s"), scanned);
    EXPECT_EQ(r.refusal, DeletionRefusal::Changed);
    EXPECT_TRUE(exists(tree.path("D/swapme.moved/s/new")));
}

// The read-only file replaced by a hard link to another file while its
// question is open: Yes changes nothing of the other file and deletes nothing.
TEST(TreeDeletion, ReadOnlyFileSwappedForAHardLinkWhileAskedIsLeftAlone)
{
    TempTree tree;
    const std::string ro = tree.file("v/ro.txt", 10, 0444);
    const std::string secret = tree.file("secret", 5, 0600);
    Questions q;
    q.whileAsked = [&] {
        ASSERT_EQ(::unlink(ro.c_str()), 0);
        ASSERT_EQ(::link(secret.c_str(), ro.c_str()), 0);
    };
    const TreeDeletionResult r =
        TreeDeletion(q.ask()).run(tree.path("v"), scannedDirectory(tree, tree.path("v")));
    EXPECT_EQ(q.asked, QStringList{readOnlyQuestion(ro)});
    EXPECT_EQ(modeOf(secret), 0600u);
    EXPECT_TRUE(exists(ro));
    EXPECT_FALSE(r.gone);
    EXPECT_EQ(r.files, 0);
    EXPECT_EQ(r.report.stayedCount(StayReason::ChangedSinceScan), 1);
    EXPECT_EQ(r.report.stayedText(), "1 not deleted: 1 changed since the scan\nChanged since the scan - " +
                                         QString::fromStdString(ro));
}

TEST(TreeDeletion, YesToAllAndNoToAllAnswerOnceForTheWholeTree)
{
    TempTree tree;
    for (const char* name : {"d/.git/a", "d/.git/b", "d/.c", "d/plain"})
        tree.file(name, 10, 0444);
    Questions yes;
    yes.answers = {TreeAnswer::YesToAll};
    TreeDeletionResult r = TreeDeletion(yes.ask()).run(tree.path("d"));
    EXPECT_EQ(yes.asked.size(), 1);
    EXPECT_TRUE(r.gone);
    EXPECT_EQ(r.files, 4);

    tree.file("e/.a", 1);
    tree.file("e/.b", 2, 0444);
    tree.file("e/plain", 4);
    Questions no;
    no.answers = {TreeAnswer::NoToAll};
    r = TreeDeletion(no.ask()).run(tree.path("e"));
    EXPECT_EQ(no.asked.size(), 1);
    EXPECT_FALSE(r.cancelled);
    EXPECT_FALSE(r.gone);
    EXPECT_EQ(r.files, 1);
    EXPECT_EQ(r.bytes, 4);
    EXPECT_EQ(r.report.stayedCount(StayReason::KeptAtAnswer), 2);
    EXPECT_TRUE(exists(tree.path("e/.a")));
    EXPECT_TRUE(exists(tree.path("e/.b")));
    EXPECT_EQ(modeOf(tree.path("e/.b")), 0444u);
}

// Bytes are counted as freed only when no other name holds the data.
TEST(TreeDeletion, HardLinkedDataIsNotCountedAsFreed)
{
    TempTree tree;
    const std::string inside = tree.file("d/shared", 100);
    ASSERT_EQ(::link(inside.c_str(), tree.path("kept").c_str()), 0);
    tree.file("d/own", 7);
    tree.file("d/pair1", 50);
    ASSERT_EQ(::link(tree.path("d/pair1").c_str(), tree.path("d/pair2").c_str()), 0);
    const TreeDeletionResult r = TreeDeletion(Questions().ask()).run(tree.path("d"));
    EXPECT_TRUE(r.gone);
    EXPECT_EQ(r.files, 4);
    EXPECT_EQ(r.bytes, 57); // own, and the pair once its last name went
}

// A user who may not delete in the tree: nothing is claimed, every file that
// stayed is named with the reason.
TEST(TreeDeletion, UnprivilegedDeletionSaysWhatStayed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run a child as the user nobody";
    TempTree tree;
    ASSERT_EQ(::chmod(tree.root().c_str(), 0755), 0);
    tree.file("locked/a", 10);
    tree.file("locked/sub/b", 20);
    const std::string locked = tree.path("locked");
    const test::ChildOutcome child = test::runInChild([&] {
        if (!test::becomeNobody())
            return test::kChildSkipped;
        const TreeDeletionResult r = TreeDeletion(Questions().ask()).run(locked);
        // The directories stay for the same reason (their parent is not
        // the user's to change), and say so.
        const QString shown = QString::fromStdString(locked);
        const QString expected = "4 not deleted: 4 permission denied\nPermission denied - " + shown +
                                 "/a\nPermission denied - " + shown + "/sub/b\nPermission denied - " + shown +
                                 "/sub\nPermission denied - " + shown;
        if (r.files != 0 || r.gone || r.report.deletedLine() != "Deleted 0 files for a savings of 0 bytes." ||
            r.report.stayedText() != expected) {
            std::printf("files %lld gone %d\n%s\n", (long long)r.files, int(r.gone),
                        r.report.stayedText().toUtf8().constData());
            return 1;
        }
        return 0;
    });
    if (child.status == test::kChildSkipped)
        GTEST_SKIP() << "could not become nobody";
    EXPECT_EQ(child.status, 0) << child.output;
    EXPECT_TRUE(exists(tree.path("locked/a")));
    EXPECT_TRUE(exists(tree.path("locked/sub/b")));
}

// Another file system mounted inside the tree is neither entered nor removed,
// and the ending names it.
TEST(TreeDeletion, MountPointInsideTheTreeStaysAndIsNamed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount in a private namespace";
    TempTree tree;
    tree.file("d/other", 10);
    const std::string mnt = tree.dir("d/mnt");
    const test::ChildOutcome child = test::runInChild([&] {
        if (!test::enterPrivateMounts() || ::mount("scratch", mnt.c_str(), "tmpfs", 0, "size=1m") != 0)
            return test::kChildSkipped;
        const int fd = ::open((mnt + "/inside").c_str(), O_CREAT | O_WRONLY, 0644);
        ::close(fd);
        const TreeDeletionResult r = TreeDeletion(Questions().ask()).run(tree.path("d"));
        const bool ok =
            !r.gone && r.files == 1 && r.report.stayedCount(StayReason::MountPoint) == 1 &&
            r.report.stayedText() == "1 not deleted: 1 mount point\nMount point of another file system - " +
                                         QString::fromStdString(mnt) &&
            exists(mnt + "/inside");
        if (!ok)
            std::printf("%s\n", r.report.stayedText().toUtf8().constData());
        return ok ? 0 : 1;
    });
    if (child.status == test::kChildSkipped)
        GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(child.status, 0) << child.output;
    EXPECT_FALSE(exists(tree.path("d/other")));
}

TEST(TreeDeletion, ImmutableFileStaysAndIsNamed)
{
    TempTree tree;
    tree.file("d/plain", 3);
    const std::string frozen = tree.file("d/frozen", 5);
    const int fd = ::open(frozen.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    int flags = 0;
    const bool set = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                     (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (!set) {
        ::close(fd);
        GTEST_SKIP() << "this file system (or user) cannot set the immutable attribute";
    }
    const TreeDeletionResult r = TreeDeletion(Questions().ask()).run(tree.path("d"));
    flags &= ~FS_IMMUTABLE_FL;
    EXPECT_EQ(::ioctl(fd, FS_IOC_SETFLAGS, &flags), 0);
    ::close(fd);
    EXPECT_FALSE(r.gone);
    EXPECT_EQ(r.files, 1);
    EXPECT_EQ(r.report.stayedText(),
              "1 not deleted: 1 immutable\nImmutable - " + QString::fromStdString(frozen));
}
