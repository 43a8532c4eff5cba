#include "support/shellrun.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <string>

using kelvane::test::localTime;
using kelvane::test::TempTree;

namespace {

using CliResult = kelvane::test::ShellRun;

std::string quote(const std::string& s)
{
    return kelvane::test::shellQuote(s);
}

// kelvane-cli with the locale and time zone the expected texts are written in.
CliResult changed(const std::string& args, const std::string& globalOptions = "")
{
    return kelvane::test::runShell("LC_ALL=en_US.UTF-8 TZ=Europe/Berlin " + quote(KELVANE_CLI_PATH) + " " +
                                   globalOptions + " changed " + args);
}

} // namespace

TEST(CliChanged, PrintsTheResultLinesOfEachPathInTurn)
{
    TempTree a, b;
    a.file("A/B/F1.TXT", 1, 0644, localTime(2026, 12, 7, 14, 37, 58));
    a.file("A/f2", 1, 0644, localTime(2026, 12, 1, 0, 0, 0));
    a.file("f3", 1, 0644, localTime(2026, 12, 31, 23, 59, 0));
    a.file("late", 1, 0644, localTime(2027, 1, 1, 0, 0, 0));
    a.file(".hidden", 1, 0644, localTime(2026, 12, 7));
    b.file("only", 1, 0644, localTime(2026, 12, 24, 18, 0, 0));
    const CliResult run =
        changed("--from 2026-12-01 --to 2026-12-31 " + quote(a.root()) + " " + quote(b.root()));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "f1.txt        \t12/7/2026\t2:37:58 PM\tMon\t" + a.path("A/B") + "\n" +
                           "f2            \t12/1/2026\t12:00:00 AM\tTue\t" + a.path("A") + "\n" +
                           "f3            \t12/31/2026\t11:59:00 PM\tThu\t" + a.root() + "\n" +
                           "only          \t12/24/2026\t6:00:00 PM\tThu\t" + b.root() + "\n");
    // The options in the other order, one thread: the same lines.
    EXPECT_EQ(
        changed("--to 2026-12-31 --from 2026-12-01 " + quote(a.root()) + " " + quote(b.root()), "--threads 1")
            .out,
        run.out);
}

TEST(CliChanged, UnreadableRootIsReportedAndTheOthersStillRun)
{
    TempTree a;
    a.file("x", 1, 0644, localTime(2026, 12, 7));
    const CliResult run =
        changed("--from 2026-12-07 --to 2026-12-07 " + quote(a.path("missing")) + " " + quote(a.root()));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot open " + a.path("missing")), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "x             \t12/7/2026\t12:00:00 AM\tMon\t" + a.root() + "\n");
}

TEST(CliChanged, UsageErrors)
{
    TempTree a;
    const std::string root = quote(a.root());
    for (const std::string& args :
         {"--from 2026-12-01 " + root, "--to 2026-12-01 " + root,
          std::string("--from 2026-12-01 --to 2026-12-31"), "--from 2026-13-01 --to 2026-12-31 " + root,
          "--from 2026-2-1 --to 2026-12-31 " + root, "--from 2026-12-01 --to " + root,
          "--since 2026-12-01 --to 2026-12-31 " + root}) {
        const CliResult run = changed(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_NE(run.err.find("usage: kelvane-cli changed"), std::string::npos) << args;
        EXPECT_EQ(run.out, "") << args;
    }
}
