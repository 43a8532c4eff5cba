#include "support/shellrun.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using kelvane::test::TempTree;

namespace {

using CliRun = kelvane::test::ShellRun;

std::string quote(const std::string& s)
{
    return kelvane::test::shellQuote(s);
}

CliRun dirhogs(const std::string& args)
{
    return kelvane::test::runShell(quote(KELVANE_CLI_PATH) + " dirhogs " + args);
}

} // namespace

TEST(CliDirHogs, PrintsTheResultLinesLargestFirst)
{
    TempTree a;
    TempTree b;
    a.file("one", 1000, 0644, kelvane::test::localTime(2024, 3, 5, 12));
    a.file("two", 3000, 0644, kelvane::test::localTime(2024, 3, 5, 12));
    a.file("Data/f", 2048, 0644, kelvane::test::localTime(2022, 1, 2, 12));
    b.file("big/f", 10 * 1024, 0644, kelvane::test::localTime(2020, 6, 7, 12));

    const CliRun all = dirhogs(quote(a.root()) + " " + quote(b.root()));
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.err, "");
    // The CLI runs in the C.UTF-8 locale of the test environment: its short
    // date format is not pinned, so only the other columns are compared.
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = all.out.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(all.out.substr(start, end - start));
    ASSERT_EQ(lines.size(), 4u) << all.out;
    EXPECT_EQ(lines[0].substr(0, 19), "     10 K\t0.00\t1\t0\t");
    EXPECT_NE(lines[0].find("\t" + b.path("big") + "\t"), std::string::npos);
    EXPECT_EQ(lines[1].substr(0, 19), "      3 K\t0.00\t2\t1\t");
    EXPECT_NE(lines[1].find("\t" + a.root() + "\t"), std::string::npos);
    EXPECT_NE(lines[2].find("\t" + a.path("Data") + "\t"), std::string::npos);
    EXPECT_NE(lines[3].find("\t" + b.root() + "\t"), std::string::npos);

    const CliRun main = dirhogs("--main " + quote(a.root()) + " " + quote(b.root()));
    EXPECT_EQ(main.status, 0);
    EXPECT_EQ(std::count(main.out.begin(), main.out.end(), '\n'), 2);
    EXPECT_EQ(main.out.rfind("     10 K\t", 0), 0u);
}

TEST(CliDirHogs, UnreadableRootIsReportedAndTheOthersStillRun)
{
    TempTree a;
    a.file("sub/f", 5000);
    const CliRun run = dirhogs("--main " + quote(a.path("missing")) + " " + quote(a.root()));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot open " + a.path("missing")), std::string::npos);
    EXPECT_EQ(run.out.rfind("      4 K\t", 0), 0u);
}

TEST(CliDirHogs, UsageErrors)
{
    EXPECT_EQ(dirhogs("").status, 2);
    const CliRun bad = dirhogs("--top /tmp");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("unknown option --top"), std::string::npos);
    EXPECT_EQ(bad.out, "");
    // After "--" a name that begins with a dash is a path.
    TempTree a;
    a.file("-odd/f", 1);
    const CliRun dashed = dirhogs("--main -- " + quote(a.path("-odd")));
    EXPECT_EQ(dashed.status, 0) << dashed.err;
}
