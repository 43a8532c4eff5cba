// The duplicates result built from name candidates (lines made only for the
// result) must be the result of sorting whole lines: by name column, then by
// the real name folded caselessly, then by the rest of the line, letter case
// ignored before bytes, then by path; groups of one line dropped.

#include "common/filestamp.h"
#include "duplic/caseless.h"
#include "duplic/namecandidates.h"
#include "duplic/resultlines.h"
#include "duplic/stamptextcache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace kelvane;

namespace {

int compareText(std::string_view a, std::string_view b)
{
    const int c = compareCaseless(a, b);
    return c != 0 ? c : a.compare(b);
}

struct PlainLine {
    std::string line;
    std::string path;
    std::string realName;
    size_t nameSize;
    int64_t kb;
    ino_t ino;
};

// The result written out plainly from whole lines ("line|path|group"), and
// the files it holds ("path|inode"; equal paths may come in any order).
std::vector<std::string> referenceResult(std::vector<PlainLine> all, bool exact,
                                         std::vector<std::string>* files)
{
    std::sort(all.begin(), all.end(), [](const PlainLine& a, const PlainLine& b) {
        int c = compareText(std::string_view(a.line).substr(0, a.nameSize),
                            std::string_view(b.line).substr(0, b.nameSize));
        if (c == 0)
            c = compareFoldedNames(a.realName, b.realName);
        if (c == 0)
            c = compareText(std::string_view(a.line).substr(a.nameSize),
                            std::string_view(b.line).substr(b.nameSize));
        return c != 0 ? c < 0 : a.path < b.path;
    });
    auto key = [&](const PlainLine& l) {
        return exact ? l.line.substr(0, l.line.find('\t', l.nameSize + 1)) : l.line.substr(0, l.nameSize);
    };
    std::vector<std::string> result;
    int group = -1;
    for (size_t i = 0; i < all.size();) {
        size_t end = i + 1;
        while (end < all.size() && key(all[end]) == key(all[i]) &&
               compareFoldedNames(all[end].realName, all[i].realName) == 0)
            ++end;
        if (end - i >= 2)
            ++group;
        for (size_t k = i; end - i >= 2 && k < end; ++k) {
            result.push_back(all[k].line + "|" + all[k].path + "|" + std::to_string(group));
            files->push_back(all[k].path + "|" + std::to_string(all[k].ino));
        }
        i = end;
    }
    return result;
}

} // namespace

TEST(NameCandidates, ResultIsTheOrderOfWholeLines)
{
    // Case variants, names past the 16 bytes of the sort key, non-ASCII
    // names, names that only show alike (a newline and "?", two invalid
    // bytes), sizes of more than five digits, equal lines in two directories.
    const std::vector<std::string> names = {"readme.txt",
                                            "README.txt",
                                            "ReadMe.TXT",
                                            "index.html",
                                            "Makefile",
                                            "makefile",
                                            "a_very_long_name_0001.dat",
                                            "a_very_long_name_0002.dat",
                                            "A_VERY_LONG_NAME_0001.dat",
                                            "ärger.txt",
                                            "Ärger.txt",
                                            "x",
                                            "x y",
                                            "a\nb",
                                            "a?b",
                                            "c\xff.txt",
                                            "c\xfe.txt",
                                            "once-only.bin"};
    const std::vector<std::string> directories = {"/d/", "/d/sub/", "/D/", "/e/ü/", "/f/g/h/"};
    const std::vector<int64_t> sizes = {1, 1024, 5000, 99999 * 1024LL, 100000 * 1024LL, 123456789};
    const std::vector<uint32_t> stamps = {packStampFields(2019, 12, 28, 12, 58, 58),
                                          packStampFields(2019, 12, 28, 1, 0, 0),
                                          packStampFields(2020, 1, 2, 23, 59, 58), 0};
    StampTextCache stampTexts;
    std::mt19937 random(7);
    for (const bool exact : {false, true}) {
        NameCandidateStore store;
        std::vector<PlainLine> plain;
        std::vector<const CandidateDirectory*> dirs;
        for (const std::string& d : directories)
            dirs.push_back(
                store.addDirectory(d + (d == "/e/ü/" ? "*(SEARCHPATH)*" : ""), d, false, false, true));
        LineMaker maker(DupMode::Duplicates, nullptr, stampTexts);
        for (int i = 0; i < 400; ++i) {
            const std::string& name = names[random() % (i < 395 ? names.size() - 1 : names.size())];
            const size_t d = random() % dirs.size();
            const int64_t bytes = sizes[random() % sizes.size()];
            const uint32_t stamp = stamps[random() % stamps.size()];
            const std::string column(maker.nameColumn(name));
            FileIdentity identity;
            identity.ino = ino_t(i + 1);
            identity.size = bytes;
            store.add(column, name, bytes, stamp, 0, identity, dirs[d]);
            std::string line;
            appendDuplicateLine(line, column, bytes, stamp, dirs[d]->column, stampTexts);
            plain.push_back({line, directories[d] + name, name, column.size(), bytes / 1024, identity.ino});
        }
        std::vector<NameCandidate> all;
        store.moveCandidatesTo(all);
        ASSERT_EQ(all.size(), 400u);
        std::shuffle(all.begin(), all.end(), random);
        sortByName(all);
        std::vector<std::string> result;
        std::vector<std::string> files;
        forEachDuplicateLine(all, exact, stampTexts, [&](const ResultLine& r) {
            EXPECT_EQ(r.identity.size, r.facts.bytes);
            result.push_back(std::string(r.line) + "|" + std::string(r.path) + "|" + std::to_string(r.group));
            files.push_back(std::string(r.path) + "|" + std::to_string(r.identity.ino));
        });
        std::vector<std::string> expectedFiles;
        const std::vector<std::string> expected = referenceResult(plain, exact, &expectedFiles);
        ASSERT_GT(expected.size(), 100u);
        EXPECT_EQ(result, expected) << (exact ? "exact" : "scan");
        std::sort(files.begin(), files.end());
        std::sort(expectedFiles.begin(), expectedFiles.end());
        EXPECT_EQ(files, expectedFiles) << (exact ? "exact" : "scan");
    }
}

TEST(NameCandidates, LinesAndFactsOfFilesWithoutPathsAndNamesSeenOnce)
{
    StampTextCache stampTexts;
    NameCandidateStore store;
    const CandidateDirectory* d = store.addDirectory("/x/*(SEARCHPATH)*", "", true, true);
    LineMaker maker(DupMode::Duplicates, nullptr, stampTexts);
    int64_t mtime = 1'600'000'000;
    FileIdentity identity;
    identity.ino = 9;
    for (const char* name : {"b.txt", "a.txt", "B.TXT", "c.txt"})
        store.add(std::string(maker.nameColumn(name)), name, 2048, 0, ++mtime, identity, d);
    std::vector<NameCandidate> all;
    store.moveCandidatesTo(all);
    sortByName(all);
    std::vector<std::string> lines;
    std::vector<int64_t> times;
    forEachDuplicateLine(all, false, stampTexts, [&](const ResultLine& r) {
        EXPECT_TRUE(r.path.empty());
        EXPECT_FALSE(r.identity.known()); // kept only with paths
        EXPECT_EQ(r.group, 0u);
        EXPECT_EQ(r.facts.bytes, 2048);
        EXPECT_TRUE(r.facts.onSearchPath);
        times.push_back(r.facts.mtime);
        lines.emplace_back(r.line);
    });
    std::sort(times.begin(), times.end());
    EXPECT_EQ(times, (std::vector<int64_t>{1'600'000'001, 1'600'000'003}));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 14), "b.txt         ");
    EXPECT_EQ(lines[1].substr(0, 14), "b.txt         ");
    EXPECT_NE(lines[0].find("\t    2 K\t"), std::string::npos);
}

TEST(NameCandidates, StoreKeepsEveryFileAcrossItsBlocksInOrder)
{
    // Enough files for several candidate blocks and text blocks, with names
    // of the longest length a file system allows among them.
    NameCandidateStore store;
    const CandidateDirectory* d = store.addDirectory("/d/", "/d/", false, true, true);
    const std::string longName(255, 'n');
    constexpr int kFiles = 20'000;
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = i % 1'000 == 0 ? longName + std::to_string(i) : "f" + std::to_string(i);
        FileIdentity identity;
        identity.ino = ino_t(i + 1);
        store.add(name, name, i + 1, 0, 1'000 + i, identity, d);
    }
    EXPECT_EQ(store.size(), size_t(kFiles));
    std::vector<NameCandidate> all;
    store.moveCandidatesTo(all);
    ASSERT_EQ(all.size(), size_t(kFiles));
    EXPECT_EQ(store.size(), 0u);
    for (int i = 0; i < kFiles; ++i) {
        const NameCandidate& c = all[size_t(i)];
        const std::string name = i % 1'000 == 0 ? longName + std::to_string(i) : "f" + std::to_string(i);
        ASSERT_EQ(c.realName(), name) << i;
        ASSERT_EQ(c.nameColumn(), name) << i;
        ASSERT_EQ(c.bytes, i + 1);
        ASSERT_EQ(c.facts().mtime, 1'000 + i);
        ASSERT_EQ(c.identity().ino, ino_t(i + 1));
    }
}
