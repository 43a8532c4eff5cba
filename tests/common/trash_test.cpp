// Moving to the Trash as the freedesktop.org Trash layout describes.

#include "common/trash.h"
#include "support/childprocess.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelvane;
using kelvane::test::exists;
using kelvane::test::TempTree;

namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

FileIdentity seen(const std::string& path)
{
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return FileIdentity::ofStat(st);
}

// The Path key of an info file, decoded.
std::string infoPath(const std::string& info)
{
    const std::string text = readAll(info);
    const size_t start = text.find("\nPath=");
    if (start == std::string::npos)
        return {};
    const size_t end = text.find('\n', start + 6);
    return percentDecode(text.substr(start + 6, end - start - 6));
}

// Points the home Trash into a tree for the test's lifetime.
class HomeTrash {
public:
    explicit HomeTrash(const std::string& dataHome)
    {
        if (const char* old = std::getenv("XDG_DATA_HOME"))
            old_ = old;
        ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
        path = dataHome + "/Trash";
    }
    ~HomeTrash()
    {
        if (old_.empty())
            ::unsetenv("XDG_DATA_HOME");
        else
            ::setenv("XDG_DATA_HOME", old_.c_str(), 1);
    }
    std::string path;

private:
    std::string old_;
};

} // namespace

TEST(Trash, PercentEncodingRoundTripsAnyBytes)
{
    const std::string odd = "/d/new\nline/bad\xff name%20+é";
    const std::string encoded = percentEncodePath(odd);
    EXPECT_EQ(encoded, "/d/new%0Aline/bad%FF%20name%2520%2B%C3%A9");
    EXPECT_EQ(percentDecode(encoded), odd);
    EXPECT_EQ(percentDecode("50%"), "50%"); // a malformed escape is kept
}

TEST(Trash, HomeFileSystemFilesAndTreesWithValidInfo)
{
    TempTree tree;
    HomeTrash home(tree.path("data"));
    EXPECT_EQ(homeTrashPath(), home.path);
    const std::string report = tree.file("docs/report.txt", 120);
    const std::string again = tree.file("other/report.txt", 7);
    const std::string newline = tree.file("docs/new\nline", 1);
    const std::string invalid = tree.file("docs/bad\xff\xfe", 2);
    tree.file("docs/dir/sub/deep.txt", 3);
    const std::string dir = tree.path("docs/dir");
    const QDateTime when(QDate(2026, 12, 8), QTime(7, 5, 9));

    TrashOutcome out = moveToTrash(report, seen(report), true, when);
    ASSERT_TRUE(out.trashed);
    EXPECT_EQ(out.bytes, 120);
    EXPECT_EQ(out.trashDir, home.path);
    EXPECT_EQ(out.trashName, "report.txt");
    EXPECT_FALSE(exists(report));
    EXPECT_TRUE(exists(home.path + "/files/report.txt"));
    EXPECT_EQ(readAll(home.path + "/info/report.txt.trashinfo"),
              "[Trash Info]\nPath=" + percentEncodePath(report) + "\nDeletionDate=2026-12-08T07:05:09\n");
    struct stat st;
    ASSERT_EQ(::stat(home.path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // The same name again gets a name of its own.
    out = moveToTrash(again, seen(again), true);
    ASSERT_TRUE(out.trashed);
    EXPECT_EQ(out.trashName, "report.txt.2");
    EXPECT_EQ(infoPath(home.path + "/info/report.txt.2.trashinfo"), again);

    // Names with a newline or bytes that are not UTF-8 survive the round trip.
    for (const std::string& path : {newline, invalid}) {
        out = moveToTrash(path, seen(path), true);
        ASSERT_TRUE(out.trashed) << path;
        EXPECT_EQ(infoPath(home.path + "/info/" + out.trashName + ".trashinfo"), path);
        EXPECT_TRUE(exists(home.path + "/files/" + out.trashName));
    }
    const std::string info = readAll(home.path + "/info/new\nline.trashinfo");
    EXPECT_EQ(std::count(info.begin(), info.end(), '\n'), 3); // the newline is encoded
    EXPECT_TRUE(
        QRegularExpression(
            "^\\[Trash Info\\]\nPath=/\\S+\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$")
            .match(QString::fromStdString(info))
            .hasMatch());

    // A whole tree goes as one.
    out = moveToTrash(dir, seen(dir), false);
    ASSERT_TRUE(out.trashed);
    EXPECT_EQ(out.bytes, 0);
    EXPECT_FALSE(exists(dir));
    EXPECT_TRUE(exists(home.path + "/files/dir/sub/deep.txt"));
    EXPECT_EQ(infoPath(home.path + "/info/dir.trashinfo"), dir);
}

// Nothing is trashed through a link, nor anything but the scanned object.
TEST(Trash, NothingThroughALinkNorAnotherObject)
{
    TempTree tree;
    HomeTrash home(tree.path("data"));
    const std::string inner = tree.file("real/f", 5);
    tree.symlink("via", "real");
    TrashOutcome out = moveToTrash(tree.path("via/f"), seen(inner), false);
    EXPECT_FALSE(out.trashed);
    EXPECT_EQ(out.reason, StayReason::ChangedSinceScan);
    EXPECT_TRUE(exists(inner));

    const std::string rewritten = tree.file("rewritten", 5);
    const FileIdentity before = seen(rewritten);
    test::setMtime(rewritten, 1'500'000'000);
    out = moveToTrash(rewritten, before, true);
    EXPECT_EQ(out.reason, StayReason::ChangedSinceScan);
    EXPECT_TRUE(exists(rewritten));
    EXPECT_FALSE(exists(home.path + "/files/rewritten"));
    EXPECT_FALSE(exists(home.path + "/info/rewritten.trashinfo"));

    // A link itself goes as a link; what it points at stays.
    const std::string link = tree.symlink("ln", "real/f");
    out = moveToTrash(link, seen(link), false);
    ASSERT_TRUE(out.trashed);
    EXPECT_TRUE(exists(inner));
    struct stat st;
    ASSERT_EQ(::lstat((home.path + "/files/ln").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    EXPECT_EQ(moveToTrash(tree.path("missing"), {}, false).reason, StayReason::AlreadyGone);
}

namespace {

int failed(const std::string& what)
{
    std::printf("%s\n", what.c_str());
    return 1;
}

} // namespace

// Another file system (loop-mounted ext4, else tmpfs, in a private mount
// namespace): its own $topdir/.Trash-$uid with paths relative to the mount,
// or $topdir/.Trash/$uid when the administrator made a sticky .Trash.
TEST(Trash, OtherFileSystemUsesItsTopdirTrash)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to mount in a private namespace";
    TempTree tree;
    TempTree images;
    const std::string mnt = tree.dir("mnt");
    const std::string uid = std::to_string(::getuid());
    const test::ChildOutcome child = test::runInChild([&]() -> int {
        HomeTrash home(tree.path("data"));
        if (!test::enterPrivateMounts())
            return test::kChildSkipped;
        const std::string type = test::mountScratchFileSystem(images.path("fs.img"), mnt);
        if (type.empty())
            return test::kChildSkipped;
        std::printf("mounted %s\n", type.c_str());
        ::mkdir((mnt + "/sub").c_str(), 0755);
        const std::string file = mnt + "/sub/f\nx";
        std::ofstream(file) << "data";
        ::mkdir((mnt + "/tree").c_str(), 0755);
        std::ofstream(mnt + "/tree/inner") << "x";

        TrashOutcome out = moveToTrash(file, seen(file), true);
        const std::string own = mnt + "/.Trash-" + uid;
        if (!out.trashed || out.trashDir != own || !exists(own + "/files/f\nx") || exists(file))
            return failed("not in " + own + ": " + out.trashDir);
        if (infoPath(own + "/info/f\nx.trashinfo") != "sub/f\nx")
            return failed("info path " + infoPath(own + "/info/f\nx.trashinfo"));
        if (exists(home.path + "/files/f\nx"))
            return failed("went to the home Trash");
        out = moveToTrash(mnt + "/tree", seen(mnt + "/tree"), false);
        if (!out.trashed || !exists(own + "/files/tree/inner"))
            return failed("tree not trashed");

        // A sticky .Trash made by the administrator takes precedence; one
        // that is a link is never used.
        ::mkdir((mnt + "/.Trash").c_str(), 01777);
        ::chmod((mnt + "/.Trash").c_str(), 01777);
        std::ofstream(mnt + "/g") << "g";
        out = moveToTrash(mnt + "/g", seen(mnt + "/g"), true);
        if (!out.trashed || out.trashDir != mnt + "/.Trash/" + uid ||
            !exists(mnt + "/.Trash/" + uid + "/files/g"))
            return failed("not in the shared .Trash: " + out.trashDir);
        ::rename((mnt + "/.Trash").c_str(), (mnt + "/elsewhere").c_str());
        ::symlink("elsewhere", (mnt + "/.Trash").c_str());
        std::ofstream(mnt + "/h") << "h";
        out = moveToTrash(mnt + "/h", seen(mnt + "/h"), true);
        if (!out.trashed || out.trashDir != own)
            return failed("a linked .Trash was used: " + out.trashDir);
        return 0;
    });
    if (child.status == test::kChildSkipped)
        GTEST_SKIP() << "no private mount namespace or scratch file system here: " << child.output;
    EXPECT_EQ(child.status, 0) << child.output;
}
