#include "common/entrykind.h"
#include "common/fileops.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace kelvane;
using kelvane::test::TempTree;

namespace {

const Entry* find(const std::vector<Entry>& entries, const std::string& name)
{
    for (const Entry& e : entries)
        if (e.name == name)
            return &e;
    return nullptr;
}

std::vector<std::string> names(const std::vector<Entry>& entries)
{
    std::vector<std::string> out;
    for (const Entry& e : entries)
        out.push_back(e.name);
    return out;
}

// A tree with one entry of each kind the attribute emulation tells apart.
struct KindsTree {
    TempTree tree;
    KindsTree()
    {
        tree.file("plain.txt", 100);
        tree.file(".hidden", 5);
        tree.file("locked.txt", 7, 0444);
        tree.dir("sub");
        tree.dir(".hiddendir");
        tree.fifo("pipe");
        tree.symlink("link", "sub");
    }
};

} // namespace

TEST(Attributes, EmulatedFromModeAndName)
{
    KindsTree k;
    const auto all = listDirectory(k.tree.root(), kRequestEverything);
    ASSERT_TRUE(all.has_value());
    EXPECT_EQ(find(*all, "plain.txt")->attr, uint32_t(kAttrArchive));
    EXPECT_EQ(find(*all, ".hidden")->attr, uint32_t(kAttrArchive | kAttrHidden));
    EXPECT_EQ(find(*all, "locked.txt")->attr, uint32_t(kAttrArchive | kAttrReadOnly));
    EXPECT_EQ(find(*all, "sub")->attr, uint32_t(kAttrDirectory));
    EXPECT_EQ(find(*all, ".hiddendir")->attr, uint32_t(kAttrDirectory | kAttrHidden));
    EXPECT_EQ(find(*all, "pipe")->attr & kAttrSystem, uint32_t(kAttrSystem));
    // A link to a directory is a plain entry with the link's own size.
    const Entry* link = find(*all, "link");
    EXPECT_EQ(link->attr, uint32_t(kAttrArchive));
    EXPECT_EQ(link->size, 3);
    EXPECT_EQ(entryKind(*link), EntryKind::Other);
    EXPECT_EQ(find(*all, ".")->attr & kAttrHidden, 0u);
    EXPECT_EQ(entryKind(*find(*all, "..")), EntryKind::DotEntry);
    EXPECT_EQ(find(*all, "plain.txt")->size, 100);
}

TEST(Attributes, RequestsFilterHiddenSystemAndDirectories)
{
    KindsTree k;
    EXPECT_EQ(names(*listDirectory(k.tree.root(), kRequestSubdirectories)),
              (std::vector<std::string>{".", "..", "link", "locked.txt", "plain.txt", "sub"}));
    EXPECT_EQ(names(*listDirectory(k.tree.root(), kRequestScanFiles)),
              (std::vector<std::string>{"link", "locked.txt", "plain.txt"}));
    EXPECT_EQ(names(*listDirectory(k.tree.root(), kRequestOneFile)),
              (std::vector<std::string>{".hidden", "link", "locked.txt", "pipe", "plain.txt"}));
    EXPECT_EQ(listDirectory(k.tree.root(), kRequestEverything)->size(), 9u);
}

TEST(Attributes, ListingOfAMissingDirectoryReportsTheError)
{
    int error = 0;
    EXPECT_FALSE(listDirectory("/nonexistent/kelvane", kRequestEverything, &error).has_value());
    EXPECT_EQ(error, ENOENT);
}

TEST(DeleteFile, RefusesReadOnlyFilesAndDirectories)
{
    TempTree tree;
    const std::string locked = tree.file("locked.txt", 7, 0444);
    const std::string dir = tree.dir("sub");
    const OpResult refused = deleteFile(locked);
    EXPECT_FALSE(refused);
    EXPECT_FALSE(refused.message.isEmpty());
    EXPECT_TRUE(lookupFile(locked).has_value());
    EXPECT_FALSE(deleteFile(dir));
    EXPECT_TRUE(lookupFile(dir).has_value());
    // Clearing read-only gives the owner write access, then the delete works.
    ASSERT_TRUE(setAttributes(locked, kAttrArchive));
    EXPECT_FALSE(lookupFile(locked)->isReadOnly());
    EXPECT_TRUE(deleteFile(locked));
    EXPECT_FALSE(lookupFile(locked).has_value());
    EXPECT_FALSE(deleteFile(locked)); // already gone
}

TEST(DeleteFile, RemovesALinkNotItsTarget)
{
    TempTree tree;
    const std::string target = tree.file("target.txt", 3);
    const std::string link = tree.symlink("link", target);
    EXPECT_TRUE(deleteFile(link));
    EXPECT_FALSE(lookupFile(link).has_value());
    EXPECT_TRUE(lookupFile(target).has_value());
}

TEST(DeleteFile, OddNamesAreDeletedExactly)
{
    TempTree tree;
    const std::string odd = tree.file(std::string("a\tb\nc\xff.txt"), 4);
    const std::string neighbour = tree.file("a?b?c?.txt", 4);
    EXPECT_TRUE(deleteFile(odd));
    EXPECT_FALSE(lookupFile(odd).has_value());
    EXPECT_TRUE(lookupFile(neighbour).has_value());
}

TEST(SetAttributes, ReadOnlyOnAndOffHiddenIgnored)
{
    TempTree tree;
    const std::string path = tree.file("f.txt", 1, 0664);
    ASSERT_TRUE(setAttributes(path, kAttrReadOnly | kAttrHidden));
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    ASSERT_TRUE(setAttributes(path, 0));
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    EXPECT_FALSE(setAttributes(tree.path("missing"), 0));
}

TEST(RemoveDirectory, OnlyWhenEmpty)
{
    TempTree tree;
    const std::string full = tree.dir("full");
    tree.file("full/x", 1);
    const std::string empty = tree.dir("empty");
    EXPECT_FALSE(removeDirectory(full));
    EXPECT_TRUE(removeDirectory(empty));
    EXPECT_FALSE(lookupFile(empty).has_value());
}

TEST(Paths, SplitAndJoin)
{
    EXPECT_EQ(splitPath("/a/b"), (std::pair<std::string, std::string>{"/a", "b"}));
    EXPECT_EQ(splitPath("/b"), (std::pair<std::string, std::string>{"/", "b"}));
    EXPECT_EQ(splitPath("b"), (std::pair<std::string, std::string>{".", "b"}));
    EXPECT_EQ(splitPath("/a/b/"), (std::pair<std::string, std::string>{"/a", "b"}));
    EXPECT_EQ(splitPath("/"), (std::pair<std::string, std::string>{"/", ""}));
    EXPECT_EQ(splitPath("/a//"), (std::pair<std::string, std::string>{"/", "a"}));
    EXPECT_EQ(joinPath("/", "x"), "/x");
    EXPECT_EQ(joinPath("/a", "x"), "/a/x");
}
