// kelvane-cli duplicates and hogs: the result lines, one per output line.

#include "support/temptree.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

using kelvane::test::localTime;
using kelvane::test::TempTree;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

CliRun cli(const std::string& args)
{
    TempTree scratch;
    const std::string errFile = scratch.path("stderr");
    CliRun run;
    // The test's locale and time zone; an empty PATH, so that no test
    // directory is on the search path.
    const std::string command = "LC_ALL=en_US.UTF-8 TZ=Europe/Berlin PATH= " + quote(KELVANE_CLI_PATH) + " " +
                                args + " 2>" + quote(errFile);
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* err = std::fopen(errFile.c_str(), "r")) {
        while ((n = std::fread(buffer.data(), 1, buffer.size(), err)) > 0)
            run.err.append(buffer.data(), n);
        std::fclose(err);
    }
    return run;
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
