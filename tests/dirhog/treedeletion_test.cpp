#include "dirhog/treedeletion.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelvane;
using kelvane::test::TempTree;

namespace {

bool exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// Records the questions and answers them from a list (Yes when it runs out).
struct Questions {
    QStringList asked;
    QList<bool> answers;

    TreeDeletion::Ask ask()
    {
        return [this](const QString& question) {
            asked << question;
            return answers.isEmpty() ? true : answers.takeFirst();
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
    EXPECT_TRUE(removeEmptyDirectory(empty));
    EXPECT_FALSE(exists(empty));
    EXPECT_FALSE(removeEmptyDirectory(full));
    EXPECT_TRUE(exists(tree.path("full/f")));
    EXPECT_FALSE(removeEmptyDirectory(tree.path("missing")));
    EXPECT_FALSE(removeEmptyDirectory("/"));
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

TEST(TreeDeletion, ReadOnlyAnsweredNoStopsEverything)
{
    TempTree tree;
    tree.file("d/a", 1000);
    tree.file("d/b", 2500);
    const std::string locked = tree.file("d/sub/c", 500, 0444);
    tree.file("d/sub/later", 7);
    tree.file("d/z", 9);
    Questions q;
    q.answers = {false};
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
    noYes.answers = {false, true};
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
    yesNo.answers = {true, false};
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
