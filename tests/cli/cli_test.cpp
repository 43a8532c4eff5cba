#include "support/shellrun.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

using kelvane::test::TempTree;

namespace {

using CliRun = kelvane::test::ShellRun;
using kelvane::test::runShell;

std::string quote(const std::string& s)
{
    return kelvane::test::shellQuote(s);
}

CliRun cli(const std::string& args)
{
    return runShell(quote(KELVANE_CLI_PATH) + " " + args);
}

} // namespace

TEST(CliWalk, PrintsTheTotalsOfEachPath)
{
    TempTree a, b;
    a.file("x", 1500);
    a.file("sub/y", 500);
    a.file(".hidden-dir/z", 9999);
    b.file("only", 3);
    const CliRun run = cli("walk " + quote(a.root()) + " " + quote(b.root()));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, a.root() + ": 2 directories, 2 files, 2,000 bytes, 0 skipped directories\n" +
                           b.root() + ": 1 directories, 1 files, 3 bytes, 0 skipped directories\n");
    EXPECT_EQ(run.err, "");
}

TEST(CliWalk, SameTotalsWithOneThread)
{
    TempTree a;
    for (int i = 0; i < 40; ++i)
        a.file("d" + std::to_string(i % 7) + "/e" + std::to_string(i % 3) + "/f" + std::to_string(i), i * 10);
    EXPECT_EQ(cli("--threads 1 walk " + quote(a.root())).out, cli("walk " + quote(a.root())).out);
}

TEST(CliWalk, UsageErrors)
{
    for (const char* args :
         {"", "walk", "frobnicate /", "--threads 0 walk /", "--threads x walk /", "--bogus walk /"}) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_NE(run.err.find("usage: kelvane-cli"), std::string::npos) << args << ": " << run.err;
        EXPECT_EQ(run.out, "") << args;
    }
    const CliRun help = cli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("walk PATH..."), std::string::npos);
}

TEST(CliWalk, UnreadableRootGivesAMessageAndTheOthersAreStillWalked)
{
    TempTree a;
    a.file("f", 10);
    const CliRun run = cli(quote("walk") + " /nonexistent/kelvane " + quote(a.root()));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot open /nonexistent/kelvane: No such file or directory"), std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find(a.root() + ": 1 directories, 1 files, 10 bytes"), std::string::npos) << run.out;
}

// Permissions only stop an unprivileged user: run the walk as "nobody".
TEST(CliWalk, UnreadableSubdirectoryIsSkippedAndNamed)
{
    if (::geteuid() == 0 && ::access("/usr/bin/setpriv", X_OK) != 0)
        GTEST_SKIP() << "needs setpriv to run as another user";
    TempTree a;
    ::chmod(a.root().c_str(), 0755);
    a.file("open/f", 10, 0644);
    a.file("closed/f", 10, 0644);
    ::chmod(a.path("closed").c_str(), 0700);
    const std::string prefix = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    if (runShell(prefix + "test -x " + quote(KELVANE_CLI_PATH)).status != 0)
        GTEST_SKIP() << "the other user cannot reach the program in this checkout";
    const CliRun run = runShell(prefix + quote(KELVANE_CLI_PATH) + " walk " + quote(a.root()));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(": 2 directories, 1 files, 10 bytes, 1 skipped directories"), std::string::npos)
        << run.out;
    EXPECT_NE(run.err.find("skipped " + a.path("closed") + ": Permission denied"), std::string::npos)
        << run.err;
}
