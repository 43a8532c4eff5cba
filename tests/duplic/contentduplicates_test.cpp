// Same content: candidates, the comparison steps, hard links, changes and abort.

#include "duplic/contentcandidates.h"
#include "duplic/contentduplicates.h"
#include "duplic/namecontentgroups.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace kelvane;
using kelvane::test::TempTree;

namespace {

// Deterministic bytes: the same seed gives the same content.
std::string bytes(size_t n, unsigned seed)
{
    std::string s(n, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (char& c : s) {
        x = x * 1664525u + 1013904223u;
        c = char(x >> 24);
    }
    return s;
}

std::string write(TempTree& tree, const std::string& relative, const std::string& content)
{
    const size_t slash = relative.rfind('/');
    if (slash != std::string::npos)
        tree.dir(relative.substr(0, slash));
    const std::string path = tree.path(relative);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_GE(fd, 0) << path;
    EXPECT_EQ(::write(fd, content.data(), content.size()), ssize_t(content.size()));
    ::close(fd);
    return path;
}

// Groups as lists of paths relative to the tree.
using PathGroups = std::vector<std::vector<std::string>>;

PathGroups relative(const TempTree& tree, const std::vector<ContentFile>& files, const ContentGroups& found)
{
    PathGroups out;
    for (const std::vector<size_t>& g : found.groups) {
        std::vector<std::string>& paths = out.emplace_back();
        for (const size_t i : g)
            paths.push_back(files[i].path.substr(tree.root().size() + 1));
    }
    return out;
}

std::vector<ContentFile> collect(const TempTree& tree, int64_t limitBytes = 0, bool hidden = false)
{
    ContentCandidates candidates(limitBytes, hidden);
    const WalkStats stats = candidates.addTree(tree.root());
    EXPECT_EQ(stats.rootError, 0);
    return candidates.take();
}

struct Settings {
    bool byteCompare;
    int threads;
};

void PrintTo(const Settings& s, std::ostream* out)
{
    *out << (s.byteCompare ? "bytes, " : "hash, ") << s.threads << " threads";
}

class SameContent : public ::testing::TestWithParam<Settings> {
protected:
    ContentOptions options() const
    {
        ContentOptions o;
        o.byteCompare = GetParam().byteCompare;
        o.readThreads = GetParam().threads;
        return o;
    }
};

// A tree with true copies and every kind of near copy.
void buildMixedTree(TempTree& tree)
{
    const std::string photo = bytes(50000, 1);
    write(tree, "a/IMG_0001.jpg", photo);
    write(tree, "b/photo.jpg", photo);
    write(tree, "b/deep/er/IMG_0001.jpg", photo);
    const std::string notes = bytes(3000, 2); // whole after the head step
    write(tree, "c/notes.txt", notes);
    write(tree, "d/notes-copy.txt", notes);
    write(tree, "e/same-size-1", bytes(50000, 3)); // same size as the photo, other bytes
    write(tree, "e/same-size-2", bytes(50000, 4));
    std::string tail = bytes(9000, 5);
    write(tree, "f/tail-1", tail);
    tail.back() = char(tail.back() ^ 1); // same first 4 KiB, other last byte
    write(tree, "f/tail-2", tail);
    std::string small = bytes(3000, 6);
    write(tree, "g/small-1", small);
    small[0] = char(small[0] ^ 1);
    write(tree, "g/small-2", small);
    write(tree, "h/empty-1", "");
    write(tree, "h/empty-2", "");
    ::symlink(tree.path("a/IMG_0001.jpg").c_str(), tree.path("h/link.jpg").c_str());
    tree.fifo("h/pipe");
}

} // namespace

TEST_P(SameContent, CopiesInSeveralFoldersAndNearCopies)
{
    TempTree tree;
    buildMixedTree(tree);
    const std::vector<ContentFile> files = collect(tree);
    const ContentGroups found = findSameContent(files, options());
    // Most wasted space first; each group in walk order (subdirectories
    // before a directory's own files).
    EXPECT_EQ(relative(tree, files, found),
              (PathGroups{{"a/IMG_0001.jpg", "b/deep/er/IMG_0001.jpg", "b/photo.jpg"},
                          {"c/notes.txt", "d/notes-copy.txt"}}));
    EXPECT_FALSE(found.aborted);
    EXPECT_EQ(found.changed + found.unreadable, 0u);
}

TEST_P(SameContent, HardLinksAreOneFile)
{
    TempTree tree;
    const std::string content = bytes(20000, 7);
    write(tree, "a/original", content);
    ASSERT_EQ(::link(tree.path("a/original").c_str(), tree.path("a/second-name").c_str()), 0);
    tree.dir("c");
    ASSERT_EQ(::link(tree.path("a/original").c_str(), tree.path("c/third-name").c_str()), 0);
    std::vector<ContentFile> files = collect(tree);
    EXPECT_EQ(files.size(), 3u);
    EXPECT_TRUE(findSameContent(files, options()).groups.empty()); // links alone: no group

    write(tree, "b/copy", content);
    files = collect(tree);
    const ContentGroups found = findSameContent(files, options());
    // One group of two: the inode at its first path in walk order, and the copy.
    EXPECT_EQ(relative(tree, files, found), (PathGroups{{"a/original", "b/copy"}}));
}

TEST_P(SameContent, ChangedFilesAreLeftOut)
{
    TempTree tree;
    const std::string content = bytes(30000, 8);
    for (const char* name : {"a/one", "b/two", "c/three", "d/four"})
        write(tree, name, content);
    std::vector<ContentFile> files = collect(tree);

    // After the walk: four's time moves (an edit that kept the size).
    test::setMtime(tree.path("d/four"), 1'000'000'000);
    // Between the head step and the last step: three gets another tail.
    ContentOptions o = options();
    o.afterStep = [&](ContentStep step) {
        if (step != ContentStep::Heads)
            return;
        std::string other = content;
        other.back() = 'x';
        write(tree, "c/three", other);
        test::setMtime(tree.path("c/three"), 1'100'000'000);
    };
    const ContentGroups found = findSameContent(files, o);
    EXPECT_EQ(relative(tree, files, found), (PathGroups{{"a/one", "b/two"}}));
    EXPECT_EQ(found.changed, 2u);
    std::set<std::string> problems;
    for (const FileProblem& p : found.problems) {
        EXPECT_EQ(p.error, 0);
        problems.insert(p.path);
    }
    EXPECT_EQ(problems, (std::set<std::string>{tree.path("c/three"), tree.path("d/four")}));
    EXPECT_FALSE(found.aborted);

    // A file replaced by another with the same bytes is another file.
    files = collect(tree);
    struct stat before;
    ASSERT_EQ(::stat(tree.path("b/two").c_str(), &before), 0);
    ::unlink(tree.path("b/two").c_str());
    write(tree, "b/two", content); // often the same inode number, freed a moment ago
    test::setMtime(tree.path("b/two"), before.st_mtime + 2);
    const ContentGroups again = findSameContent(files, options());
    EXPECT_EQ(relative(tree, files, again), (PathGroups{{"a/one", "d/four"}}));
    EXPECT_EQ(again.changed, 1u);
}

TEST_P(SameContent, AbortKeepsTheGroupsProvenBeforeIt)
{
    TempTree tree;
    for (int g = 0; g < 12; ++g)
        for (const char* dir : {"x", "y", "z"})
            write(tree, std::string(dir) + "/file" + std::to_string(10 + g),
                  bytes(40000 + size_t(g), unsigned(g)));
    const std::vector<ContentFile> files = collect(tree);
    const ContentGroups all = findSameContent(files, options());
    ASSERT_EQ(all.groups.size(), 12u);
    const std::set<std::vector<size_t>> complete(all.groups.begin(), all.groups.end());

    for (const ContentStep abortIn : {ContentStep::Heads, ContentStep::Whole}) {
        std::stop_source abort;
        std::atomic<int> reads{0};
        ContentOptions o = options();
        o.stop = abort.get_token();
        o.beforeRead = [&](ContentStep step, const std::string&) {
            // Whole files: mid-step (after some groups); heads: at once.
            if (step == abortIn && ++reads == (abortIn == ContentStep::Heads ? 1 : 7))
                abort.request_stop();
        };
        const ContentGroups found = findSameContent(files, o);
        EXPECT_TRUE(found.aborted);
        if (abortIn == ContentStep::Heads) {
            EXPECT_TRUE(found.groups.empty());
            continue;
        }
        EXPECT_LT(found.groups.size(), 12u);
        if (GetParam().threads == 1) {
            EXPECT_GE(found.groups.size(), 1u); // groups before the abort were finished
        }
        for (const std::vector<size_t>& g : found.groups)
            EXPECT_TRUE(complete.count(g)) << "a group listed after an abort must be whole and proven";
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, SameContent,
                         ::testing::Values(Settings{false, 1}, Settings{false, 8}, Settings{true, 1},
                                           Settings{true, 8}),
                         [](const ::testing::TestParamInfo<Settings>& info) {
                             return std::string(info.param.byteCompare ? "Bytes" : "Hash") +
                                    std::to_string(info.param.threads) + "Threads";
                         });

TEST(SameContentCandidates, LimitEmptyHiddenAndWalkOrder)
{
    TempTree tree;
    write(tree, "empty-1", "");
    write(tree, "empty-2", "");
    write(tree, "k/exactly", bytes(2048, 1));
    write(tree, "k/above", bytes(2049, 1));
    write(tree, ".hidden/inside", bytes(10, 1));
    write(tree, ".dotfile", bytes(10, 1));
    write(tree, "z/visible", bytes(10, 1));

    auto names = [&](const std::vector<ContentFile>& files) {
        std::vector<std::string> out;
        for (const ContentFile& f : files)
            out.push_back(f.path.substr(tree.root().size() + 1));
        return out;
    };
    // Limit 0: every file of at least one byte; subdirectories before the
    // directory's own files.
    EXPECT_EQ(names(collect(tree)), (std::vector<std::string>{"k/above", "k/exactly", "z/visible"}));
    // Strictly larger than 2 KB.
    EXPECT_EQ(names(collect(tree, 2048)), (std::vector<std::string>{"k/above"}));
    EXPECT_EQ(names(collect(tree, 0, true)),
              (std::vector<std::string>{".hidden/inside", "k/above", "k/exactly", "z/visible", ".dotfile"}));
    const std::vector<ContentFile> hidden = collect(tree, 0, true);
    const ContentGroups found = findSameContent(hidden);
    ASSERT_EQ(found.groups.size(), 1u);
    EXPECT_EQ(found.groups[0].size(), 3u); // .hidden/inside, z/visible, .dotfile

    // Empty files given to the comparison directly are equal to each other;
    // the limit keeps them out of every listing.
    std::vector<ContentFile> empties = {ContentFile{tree.path("empty-1"), {}, 0},
                                        ContentFile{tree.path("empty-2"), {}, 0}};
    for (ContentFile& f : empties) {
        struct stat st;
        ASSERT_EQ(::lstat(f.path.c_str(), &st), 0);
        f.id = ContentIdentity{st.st_dev, st.st_ino, 0, int64_t(st.st_mtim.tv_sec), -1};
    }
    EXPECT_EQ(findSameContent(empties).groups.size(), 1u);
}

TEST(SameContentByName, ScanGroupsSplitByContent)
{
    TempTree tree;
    const std::string a = bytes(6000, 1), b = bytes(6000, 2), c = bytes(6000, 3);
    std::vector<GridRow> rows;
    auto row = [&](const std::string& relativePath, const std::string& content) {
        rows.push_back(GridRow{QByteArray(relativePath.c_str()), write(tree, relativePath, content), {}});
    };
    // As Scan lists them: grouped by name, letter case ignored.
    row("d1/other.txt", a);
    row("d2/other.txt", b);
    row("d1/readme.txt", a);
    row("d2/README.TXT", a);
    row("d3/readme.txt", b);
    row("d4/ReadMe.txt", b);
    row("d5/readme.txt", c);
    rows.push_back(GridRow{"d6/readme.txt", tree.path("d6/readme.txt"), {}});
    tree.dir("d6");
    ASSERT_EQ(::link(tree.path("d5/readme.txt").c_str(), tree.path("d6/readme.txt").c_str()), 0);
    row("d7/zeta.txt", c); // same bytes as d5, other name

    const NameContentResult result = splitByContent(rows, ContentOptions{});
    QStringList shown;
    for (const GridRow& r : result.rows)
        shown << QString::fromUtf8(r.cells);
    // other.txt: different bytes; readme: two groups; d5 and its link d6 are
    // one file; zeta's bytes match d5's but not its name.
    EXPECT_EQ(shown, QStringList({"d1/readme.txt", "d2/README.TXT", "", "d3/readme.txt", "d4/ReadMe.txt"}));
    EXPECT_EQ(result.rows[2].path, "");
    EXPECT_EQ(result.rows[3].path, tree.path("d3/readme.txt"));
    EXPECT_FALSE(result.aborted);
    EXPECT_EQ(result.leftOut, 0u);
}
