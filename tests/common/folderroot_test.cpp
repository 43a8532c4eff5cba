// A folder chosen as a root: its real path, and a clear reason when it is none.

#include "common/diskspace.h"
#include "common/folderroot.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using kelvane::Drive;
using kelvane::folderRoot;
using kelvane::test::TempTree;

TEST(FolderRoot, RealPathOfTheFolder)
{
    TempTree tree;
    tree.file("home/alice/notes.txt", 10);
    tree.symlink("link", tree.path("home"));
    std::string why;
    for (const std::string& given :
         {tree.path("home/alice"), tree.path("link/alice/"), tree.path("home/./alice/../alice")}) {
        const std::optional<Drive> folder = folderRoot(given, &why);
        ASSERT_TRUE(folder.has_value()) << given << ": " << why;
        EXPECT_EQ(folder->root, tree.path("home/alice"));
        EXPECT_EQ(folder->caption.toStdString(), tree.path("home/alice"));
        EXPECT_TRUE(folder->folder);
        struct stat st;
        ASSERT_EQ(::stat(tree.path("home/alice").c_str(), &st), 0);
        EXPECT_EQ(folder->rootDev, uint64_t(st.st_dev));
        // Its space is its file system's: the folder answers as a drive does.
        const auto space = kelvane::diskSpace(*folder);
        ASSERT_TRUE(space.has_value());
        EXPECT_EQ(space->capacity, kelvane::diskSpace(tree.root())->capacity);
    }
}

TEST(FolderRoot, NoFolderSaysWhy)
{
    TempTree tree;
    tree.file("plain.txt", 10);
    tree.symlink("dangling", tree.path("gone"));
    const std::pair<std::string, std::string> cases[] = {
        {tree.path("plain.txt"), "not a directory"},
        {tree.path("missing"), "No such file or directory"},
        {tree.path("dangling"), "No such file or directory"},
    };
    for (const auto& [path, reason] : cases) {
        std::string why;
        EXPECT_FALSE(folderRoot(path, &why).has_value()) << path;
        EXPECT_EQ(why, reason) << path;
    }
    if (::geteuid() != 0) {
        tree.dir("closed");
        ASSERT_EQ(::chmod(tree.path("closed").c_str(), 0), 0);
        std::string why;
        EXPECT_FALSE(folderRoot(tree.path("closed"), &why).has_value());
        EXPECT_EQ(why, "Permission denied");
    }
}
