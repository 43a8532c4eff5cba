#include "support/shellrun.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <string>

using kelvane::test::TempTree;

namespace {

using StatsRun = kelvane::test::ShellRun;

std::string quote(const std::string& s)
{
    return kelvane::test::shellQuote(s);
}

StatsRun stats(const std::string& args)
{
    return kelvane::test::runShell(quote(KELVANE_CLI_PATH) + " stats " + args);
}

} // namespace

TEST(CliStats, TableThenBandsThenCount)
{
    TempTree tree;
    tree.file("README", 0);
    tree.file("a.txt", 100);
    tree.file("sub/B.TXT", 16385);
    tree.file("sub/tab\tin.n\tme", 1); // a key holding a tab keeps the columns
    tree.file(".hidden/x.txt", 5);
    const StatsRun run = stats(quote(tree.root()));
    ASSERT_EQ(run.status, 0) << run.err;
    // Every file was written just now: all in age band 1.
    const std::string expected = "\t1\t0\n"
                                 ".N?ME\t1\t1\n"
                                 ".TXT\t2\t16485\n"
                                 "size-band\t1\t3\t101\n"
                                 "size-band\t2\t1\t16385\n"
                                 "size-band\t3\t0\t0\n"
                                 "size-band\t4\t0\t0\n"
                                 "size-band\t5\t0\t0\n"
                                 "size-band\t6\t0\t0\n"
                                 "size-band\t7\t0\t0\n"
                                 "size-band\t8\t0\t0\n"
                                 "size-band\t9\t0\t0\n"
                                 "age-band\t1\t4\t16486\n"
                                 "age-band\t2\t0\t0\n"
                                 "age-band\t3\t0\t0\n"
                                 "age-band\t4\t0\t0\n"
                                 "age-band\t5\t0\t0\n"
                                 "age-band\t6\t0\t0\n"
                                 "age-band\t7\t0\t0\n"
                                 "age-band\t8\t0\t0\n"
                                 "age-band\t9\t0\t0\n"
                                 "files\t4\n";
    EXPECT_EQ(run.out, expected);
}

TEST(CliStats, UsageErrorsAndUnreadableRoot)
{
    const StatsRun none = stats("");
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("usage: kelvane-cli stats [OPTION]... PATH"), std::string::npos);
    TempTree tree;
    const StatsRun two = stats(quote(tree.root()) + " " + quote(tree.root()));
    EXPECT_EQ(two.status, 2);
    EXPECT_TRUE(two.out.empty());
    const StatsRun missing = stats(quote(tree.path("gone")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot open"), std::string::npos);
    EXPECT_TRUE(missing.out.empty());
}
