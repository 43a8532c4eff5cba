// The candidate order: its shortcuts (sort keys) must give exactly the order
// that comparing the texts gives.

#include "duplic/candidates.h"
#include "duplic/caseless.h"
#include "duplic/grouping.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelvane;

namespace {

int compareText(std::string_view a, std::string_view b)
{
    const int c = compareCaseless(a, b);
    return c != 0 ? c : a.compare(b);
}

// The order written out plainly.
bool referenceBefore(DupMode mode, const Candidate& a, const Candidate& b)
{
    const std::string_view la = a.line(), lb = b.line();
    int c = 0;
    if (mode == DupMode::Hogs) {
        if (a.kb != b.kb)
            return a.kb < b.kb;
        c = compareText(la, lb);
    } else {
        const size_t ta = la.find('\t'), tb = lb.find('\t');
        c = compareText(la.substr(0, ta), lb.substr(0, tb));
        if (c == 0)
            c = compareFoldedNames(a.realName(), b.realName());
        if (c == 0)
            c = compareText(la.substr(ta), lb.substr(tb));
    }
    return c != 0 ? c < 0 : a.path() < b.path();
}

std::string pad(std::string name)
{
    while (name.size() < 14)
        name += ' ';
    return name;
}

std::string sizeColumn(int64_t kb)
{
    std::string digits = std::to_string(kb);
    while (digits.size() < 5)
        digits.insert(0, 1, ' ');
    return digits + " K";
}

} // namespace

TEST(CandidateOrder, SortKeysAgreeWithTheTexts)
{
    const std::vector<std::string> names = {"readme.txt",
                                            "readme.txt1",
                                            "a",
                                            "abcdefghijklmnop",
                                            "abcdefghijklmnopq",
                                            "abcdefghijklmnoq",
                                            "\xc3\xa4rger.txt",
                                            "\xc3\x84rger.txt",
                                            "k",
                                            "\xe2\x84\xaa",
                                            "x y"};
    const std::vector<int64_t> sizes = {0, 2, 10, 99999, 100000, 250000};
    const std::vector<std::string> dates = {"1/2/2020", "12/1/2019", "\xd9\xa1/2/2020"};
    const std::vector<std::string> dirs = {"/data/", "/Data/", "/data/sub/"};
    for (const DupMode mode : {DupMode::Duplicates, DupMode::Hogs}) {
        CandidateStore store;
        std::vector<Candidate> all;
        int n = 0;
        for (const std::string& name : names)
            for (const int64_t kb : sizes)
                for (const std::string& date : dates)
                    for (const std::string& dir : dirs) {
                        if (++n % 3 == 0)
                            continue; // a sample keeps the pairs few
                        const std::string size = sizeColumn(kb);
                        std::string line;
                        size_t first, second;
                        if (mode == DupMode::Duplicates) {
                            line = pad(name);
                            first = line.size();
                            line += "\t" + size;
                            second = line.size();
                            line += "\t" + date + "\t1:00:00 PM\t" + dir;
                        } else {
                            line = size;
                            first = line.size();
                            line += "\t" + date;
                            second = line.size();
                            line += "\t1:00:00 PM\t" + dir + name;
                        }
                        all.push_back(store.add(mode, line, first, second, dir + name, name.size(), kb));
                    }
        for (const Candidate& a : all)
            for (const Candidate& b : all)
                ASSERT_EQ(candidateBefore(mode, a, b), referenceBefore(mode, a, b))
                    << a.line() << " | " << b.line();
    }
}

TEST(CandidateOrder, GroupsAndLargestFirst)
{
    CandidateStore store;
    auto add = [&](const std::string& name, int64_t kb, const std::string& dir) {
        const std::string line = pad(name) + "\t" + sizeColumn(kb) + "\t1/1/2020\t1:00:00 PM\t" + dir;
        return store.add(DupMode::Duplicates, line, line.find('\t'), line.find('\t', line.find('\t') + 1),
                         dir + name, name.size(), kb);
    };
    std::vector<Candidate> sorted = {add("b.txt", 2, "/x/"), add("a.txt", 3, "/y/"), add("a.txt", 2, "/z/"),
                                     add("c.txt", 2, "/x/"), add("b.txt", 2, "/y/"), add("a.txt", 2, "/x/")};
    sortCandidates(DupMode::Duplicates, sorted);
    std::vector<std::string> paths;
    for (const Candidate& c : sorted)
        paths.emplace_back(c.path());
    EXPECT_EQ(paths, std::vector<std::string>(
                         {"/x/a.txt", "/z/a.txt", "/y/a.txt", "/x/b.txt", "/y/b.txt", "/x/c.txt"}));
    EXPECT_EQ(addDups(sorted, false), std::vector<size_t>({0, 1, 2, 3, 4}));
    EXPECT_EQ(addDups(sorted, true), std::vector<size_t>({0, 1, 3, 4}));
    EXPECT_EQ(reSort(sorted), std::vector<size_t>({5, 4, 3, 2, 1, 0}));
}
