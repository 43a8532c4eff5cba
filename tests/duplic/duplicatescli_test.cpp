// kelvane-cli duplicates and hogs: the result lines, one per output line.

#include "support/shellrun.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

using kelvane::test::localTime;
using kelvane::test::TempTree;

namespace {

using CliRun = kelvane::test::ShellRun;

std::string quote(const std::string& s)
{
    return kelvane::test::shellQuote(s);
}

CliRun cli(const std::string& args)
{
    // The test's locale and time zone; an empty PATH, so that no test
    // directory is on the search path.
    return kelvane::test::runShell("LC_ALL=en_US.UTF-8 TZ=Europe/Berlin PATH= " + quote(KELVANE_CLI_PATH) +
                                   " " + args);
}

} // namespace

TEST(CliDuplicates, PrintsTheResultLines)
{
    TempTree tree;
    const int64_t when = localTime(2024, 3, 5, 14, 37, 58);
    tree.file("a/Readme.txt", 3000, 0644, when);
    tree.file("b/README.TXT", 2048, 0644, when);
    tree.file("b/small.txt", 100, 0644, when);
    tree.file("a/small.txt", 100, 0644, when);
    tree.file("a/alone.txt", 9000, 0644, when);

    const CliRun scan = cli("duplicates --limit 1 " + quote(tree.root()));
    EXPECT_EQ(scan.status, 0) << scan.err;
    EXPECT_EQ(scan.out, "readme.txt    \t    2 K\t3/5/2024\t2:37:58 PM\t" + tree.path("a/") + "\n" +
                            "readme.txt    \t    2 K\t3/5/2024\t2:37:58 PM\t" + tree.path("b/") + "\n");
    EXPECT_EQ(scan.err, "");

    EXPECT_EQ(cli("duplicates --exact --limit 0 --pattern '*.TXT' " + quote(tree.root())).out,
              cli("duplicates --limit 0 --pattern '*.txt' " + quote(tree.root())).out);
}

TEST(CliHogs, LargestFirstAndUnreadableRootsReported)
{
    TempTree tree;
    const int64_t when = localTime(2024, 3, 5, 14, 37, 58);
    tree.file("x.bin", 300 * 1024, 0644, when);
    tree.file("sub/y.bin", 5000 * 1024, 0644, when);
    tree.file("z.doc", 40 * 1024, 0644, when);
    const CliRun run = cli("hogs --limit 0 --pattern '*.bin' /nonexistent/kelvane " + quote(tree.root()));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, " 5000 K\t3/5/2024\t2:37:58 PM\t" + tree.path("sub/y.bin") + "\n" +
                           "  300 K\t3/5/2024\t2:37:58 PM\t" + tree.path("x.bin") + "\n");
    EXPECT_NE(run.err.find("cannot open /nonexistent/kelvane"), std::string::npos) << run.err;
}

TEST(CliDuplicates, UsageErrors)
{
    for (const char* args : {"duplicates", "hogs --limit", "hogs --limit -5 /tmp", "hogs --limit 1k /tmp",
                             "hogs --exact /tmp", "duplicates --pattern", "duplicates --bogus /tmp"}) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_NE(run.err.find("usage: kelvane-cli"), std::string::npos) << args << ": " << run.err;
    }
}
