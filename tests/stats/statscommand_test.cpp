#include "support/temptree.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

using kelvane::test::TempTree;

namespace {

std::string quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct StatsRun {
    int status = -1;
    std::string out;
    std::string err;
};

StatsRun stats(const std::string& args)
{
    TempTree scratch;
    const std::string errFile = scratch.path("stderr");
    StatsRun run;
    const std::string command = quote(KELVANE_CLI_PATH) + " stats " + args + " 2>" + quote(errFile);
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
    EXPECT_NE(none.err.find("usage: kelvane-cli stats PATH"), std::string::npos);
    TempTree tree;
    const StatsRun two = stats(quote(tree.root()) + " " + quote(tree.root()));
    EXPECT_EQ(two.status, 2);
    EXPECT_TRUE(two.out.empty());
    const StatsRun missing = stats(quote(tree.path("gone")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot open"), std::string::npos);
    EXPECT_TRUE(missing.out.empty());
}
