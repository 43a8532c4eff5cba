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
std::string asNobody()
{
    return ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
}

bool nobodyCanRunTheProgram()
{
    if (::geteuid() == 0 && ::access("/usr/bin/setpriv", X_OK) != 0)
        return false;
    return runShell(asNobody() + "test -x " + quote(KELVANE_CLI_PATH)).status == 0;
}

// A directory that cannot be opened, and one that can be listed but not
// searched (its entries cannot be looked at): both are skipped and named, the
// rest is printed, and the exit status says that something was missing.
TEST(CliWalk, UnreadableAndUnsearchableDirectoriesAreSkippedAndNamed)
{
    if (!nobodyCanRunTheProgram())
        GTEST_SKIP() << "the other user cannot run the program in this checkout";
    TempTree a;
    ::chmod(a.root().c_str(), 0755);
    a.file("open/f", 10, 0644);
    a.file("closed/f", 10, 0644);
    a.file("listable/f", 10, 0644);
    a.file("listable/sub/g", 10, 0644);
    a.file("readonly/f", 10, 0644);
    ::chmod(a.path("closed").c_str(), 0700);   // nobody: ---
    ::chmod(a.path("listable").c_str(), 0744); // nobody: r--
    ::chmod(a.path("readonly").c_str(), 0444); // nobody: r--
    const CliRun run = runShell(asNobody() + quote(KELVANE_CLI_PATH) + " walk " + quote(a.root()));
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, a.root() + ": 2 directories, 1 files, 10 bytes, 3 skipped directories\n");
    for (const char* name : {"closed", "listable", "readonly"})
        EXPECT_NE(run.err.find("skipped " + a.path(name) + ": Permission denied"), std::string::npos)
            << run.err;
    EXPECT_NE(run.err.find("kelvane-cli: 3 directories could not be read\n"), std::string::npos) << run.err;
}

TEST(CliWalk, EveryToolExitsOneWhenADirectoryCouldNotBeRead)
{
    if (!nobodyCanRunTheProgram())
        GTEST_SKIP() << "the other user cannot run the program in this checkout";
    TempTree a;
    ::chmod(a.root().c_str(), 0755);
    a.file("open/f.txt", 2048, 0644);
    a.file("closed/f.txt", 10, 0644);
    ::chmod(a.path("closed").c_str(), 0700);
    for (const std::string command : {"walk", "hogs --limit 0", "duplicates --limit 0", "dirhogs",
                                      "changed --from 2000-01-01 --to 2100-12-31", "stats"}) {
        const CliRun run =
            runShell(asNobody() + quote(KELVANE_CLI_PATH) + " " + command + " " + quote(a.root()));
        EXPECT_EQ(run.status, 1) << command << ": " << run.err;
        EXPECT_NE(run.err.find("kelvane-cli: 1 directory could not be read\n"), std::string::npos)
            << command << ": " << run.err;
        if (command != "duplicates --limit 0") {
            EXPECT_NE(run.out, "") << command; // what could be read is printed
        }
    }
}

TEST(CliWalk, WriteErrorIsReported)
{
    TempTree a;
    a.file("f.txt", 2048);
    for (const std::string command : {"walk", "hogs --limit 0", "dirhogs", "stats",
                                      "changed --from 2000-01-01 --to 2100-12-31", "--help"}) {
        const std::string path = command == "--help" ? "" : " " + quote(a.root());
        const CliRun run = runShell(quote(KELVANE_CLI_PATH) + " " + command + path + " >/dev/full");
        EXPECT_EQ(run.status, 1) << command;
        EXPECT_EQ(run.err, "kelvane-cli: write error: No space left on device\n") << command;
    }
}

// A reader that stops early: with SIGPIPE ignored the writes fail with EPIPE,
// which is not worth a message.
TEST(CliWalk, ClosedPipeStaysSilent)
{
    TempTree a;
    for (int i = 0; i < 4000; ++i)
        a.file("d" + std::to_string(i % 40) + "/file-" + std::to_string(i) + ".bin", 1000 + i);
    const std::string status = a.path("status");
    const CliRun run = runShell("trap '' PIPE; { " + quote(KELVANE_CLI_PATH) + " hogs --limit 0 " +
                                quote(a.root()) + "; echo $? >" + quote(status) + "; } | head -c 1");
    EXPECT_EQ(run.out.size(), 1u);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(runShell("cat " + quote(status)).out, "1\n");
}

// Each run gets less address space than it needs somewhere: at start-up, for
// worker threads, for reading contents, or for the result. It either succeeds
// or says it ran out of memory, never aborts.
TEST(CliWalk, OutOfMemoryIsAMessageNotAnAbort)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than any limit here";
#endif
    TempTree a(kelvane::test::fastTempBase());
    for (int i = 0; i < 20000; ++i)
        a.file("d" + std::to_string(i % 100) + "/name-" + std::to_string(i) + ".txt", (1 + i % 50) * 1024);
    for (const std::string command : {"hogs --limit 0", "same-content"}) {
        const std::string full =
            runShell(quote(KELVANE_CLI_PATH) + " " + command + " " + quote(a.root())).out;
        ASSERT_NE(full, "") << command;
        int outOfMemory = 0;
        int succeeded = 0;
        for (int megabytes = 40; megabytes <= 400; megabytes += 20) {
            const CliRun run =
                // A hang fails too (timeout's status is 124).
                runShell("ulimit -v " + std::to_string(megabytes * 1024) + "; exec timeout 120 " +
                         quote(KELVANE_CLI_PATH) + " --threads 4 --io 4 " + command + " " + quote(a.root()));
            if (run.err.find("error while loading shared libraries") != std::string::npos)
                continue; // too little even to start the program
            if (run.status == 0) {
                ++succeeded;
                EXPECT_EQ(run.out, full) << command << ", " << megabytes << " MB";
                EXPECT_EQ(run.err, "") << command << ", " << megabytes << " MB";
            } else {
                ++outOfMemory;
                EXPECT_EQ(run.status, 1) << command << ", " << megabytes << " MB: " << run.err;
                EXPECT_EQ(run.err, "kelvane-cli: out of memory\n") << command << ", " << megabytes << " MB";
            }
        }
        EXPECT_GT(outOfMemory, 0) << command;
        EXPECT_GT(succeeded, 0) << command;
    }
}

// Sixteen descriptors, a comb tree 2,000 levels deep: nothing is lost.
TEST(CliWalk, SixteenDescriptorsWalkADeepCombCompletely)
{
    TempTree a;
    kelvane::test::makeComb(a.root(), 2000);
    for (const char* threads : {"1", "2", "8"}) {
        const CliRun run = runShell("ulimit -n 16; " + quote(KELVANE_CLI_PATH) + " --threads " + threads +
                                    " walk " + quote(a.root()));
        EXPECT_EQ(run.status, 0) << threads << ": " << run.err;
        EXPECT_EQ(run.out, a.root() + ": 4,001 directories, 2,000 files, 0 bytes, 0 skipped directories\n")
            << threads;
    }
}

// Names that would set the terminal's title and clear its screen reach
// standard error as escapes.
TEST(CliWalk, NamesOnStandardErrorCannotActOnTheTerminal)
{
    TempTree a;
    ::chmod(a.root().c_str(), 0755);
    const std::string evil = "\x1b]0;TITLE\x07\x1b[2J\xc2\x9b"
                             "1m\xe2\x80\xae";
    const std::string shown = "\\x1B]0;TITLE\\x07\\x1B[2J\\xC2\\x9B1m\\xE2\\x80\\xAE";
    a.file(evil + "/inner/f", 10, 0644);
    const CliRun missing = runShell(quote(KELVANE_CLI_PATH) + " walk " + quote(a.path(evil + "/none")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "kelvane-cli: cannot open " + a.root() + "/" + shown +
                               "/none: No such file or directory\n"
                               "kelvane-cli: 1 directory could not be read\n");
    const CliRun twice =
        runShell(quote(KELVANE_CLI_PATH) + " walk " + quote(a.root()) + " " + quote(a.path(evil)));
    EXPECT_EQ(twice.err,
              "kelvane-cli: " + a.root() + "/" + shown + " is walked once, as part of " + a.root() + "\n");
    if (!nobodyCanRunTheProgram())
        GTEST_SKIP() << "the other user cannot run the program in this checkout";
    ::chmod(a.path(evil + "/inner").c_str(), 0700);
    const CliRun skipped = runShell(asNobody() + quote(KELVANE_CLI_PATH) + " walk " + quote(a.root()));
    EXPECT_NE(skipped.err.find("skipped " + a.root() + "/" + shown + "/inner: Permission denied\n"),
              std::string::npos)
        << skipped.err;
    for (const char c : missing.err + twice.err + skipped.err)
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << int(c);
}

// The same files reached through roots that overlap are walked once.
TEST(CliWalk, OverlappingRootsWalkEachFileOnce)
{
    TempTree a;
    a.file("top.bin", 3000);
    a.file("sub/deeper/inner.bin", 2000);
    a.file(".hidden/secret.bin", 1000);
    const std::string d = quote(a.root());
    const std::string sub = quote(a.path("sub"));
    TempTree links;
    const std::string alias = quote(links.symlink("alias", a.path("sub")));
    const std::string once = runShell(quote(KELVANE_CLI_PATH) + " hogs --limit 0 " + d).out;
    for (const std::string& roots :
         {d + " " + sub, sub + " " + d, d + " " + d, d + " " + alias + " " + sub}) {
        const CliRun run = runShell(quote(KELVANE_CLI_PATH) + " hogs --limit 0 " + roots);
        EXPECT_EQ(run.status, 0) << roots;
        EXPECT_EQ(run.out, once) << roots;
        EXPECT_NE(run.err.find("is walked once, as part of"), std::string::npos) << roots;
    }
    // A hidden directory is not entered from above: walked as its own root.
    const CliRun hidden =
        runShell(quote(KELVANE_CLI_PATH) + " hogs --limit 0 " + d + " " + quote(a.path(".hidden")));
    EXPECT_NE(hidden.out.find("secret.bin"), std::string::npos) << hidden.out;
    EXPECT_EQ(hidden.err, "");
    // With hidden directories entered it is part of the walk from above.
    const CliRun entered =
        runShell(quote(KELVANE_CLI_PATH) + " hogs --hidden --limit 0 " + d + " " + quote(a.path(".hidden")));
    EXPECT_EQ(entered.out, runShell(quote(KELVANE_CLI_PATH) + " hogs --hidden --limit 0 " + d).out);
    EXPECT_NE(entered.err.find("is walked once, as part of"), std::string::npos) << entered.err;
    const CliRun walk = runShell(quote(KELVANE_CLI_PATH) + " walk " + sub + " " + d);
    EXPECT_EQ(walk.out, a.root() + ": 3 directories, 2 files, 5,000 bytes, 0 skipped directories\n");
    const CliRun dirhogs = runShell(quote(KELVANE_CLI_PATH) + " dirhogs " + d + " " + sub);
    EXPECT_EQ(dirhogs.out, runShell(quote(KELVANE_CLI_PATH) + " dirhogs " + d).out);
}

namespace {

// The bytes of a walk's totals line.
uint64_t walkBytes(const std::string& out)
{
    const size_t end = out.find(" bytes,");
    const size_t start = out.rfind(", ", end) + 2;
    std::string digits;
    for (char c : out.substr(start, end - start)) {
        if (c != ',')
            digits.push_back(c);
    }
    return std::stoull(digits);
}

} // namespace

TEST(CliScanChoices, DiskUsageEqualsAllocatedBlocksOfDistinctFiles)
{
    TempTree t;
    t.file("sparse.img", int64_t(2) << 30);
    const std::string data = t.file(".cache/deep/blob");
    ASSERT_EQ(runShell("head -c 700000 /dev/urandom > " + quote(data)).status, 0);
    ASSERT_EQ(::link(data.c_str(), t.path("docs-link").c_str()), 0);
    t.dir("sub");
    ASSERT_EQ(::link(data.c_str(), t.path("sub/third-name").c_str()), 0);
    ASSERT_EQ(runShell("head -c 5000 /dev/urandom > " + quote(t.file(".config/rc")) + " && echo hi > " +
                       quote(t.path(".dotfile")))
                  .status,
              0);
    t.symlink("link", "sparse.img");

    const CliRun run = cli("walk --hidden --disk-usage " + quote(t.root()));
    ASSERT_EQ(run.status, 0) << run.err;
    const CliRun find =
        runShell("find " + quote(t.root()) +
                 " -xdev ! -type d -printf '%i %b\\n' | sort -u | awk '{s += $2} END {print s * 512}'");
    ASSERT_EQ(find.status, 0);
    EXPECT_EQ(walkBytes(run.out), std::stoull(find.out));
    EXPECT_NE(run.out.find(" 5 directories, 5 files, "), std::string::npos) << run.out;

    // Without --hidden the hidden folders stay out.
    const CliRun plain = cli("walk --disk-usage " + quote(t.root()));
    EXPECT_NE(plain.out.find(" 2 directories, 4 files, "), std::string::npos) << plain.out;
    const CliRun apparent = cli("walk --hidden " + quote(t.root()));
    EXPECT_NE(apparent.out.find(" 5 directories, 7 files, "), std::string::npos) << apparent.out;
}

TEST(CliScanChoices, EveryToolTakesHiddenAndDiskUsage)
{
    TempTree t;
    ASSERT_EQ(runShell("mkdir -p " + quote(t.path(".cache/deep")) + " && head -c 400000 /dev/urandom > " +
                       quote(t.path(".cache/deep/blob")))
                  .status,
              0);
    t.dir("z");
    ASSERT_EQ(::link(t.path(".cache/deep/blob").c_str(), t.path("z/again").c_str()), 0);
    ASSERT_EQ(runShell("echo data > " + quote(t.file("docs/blob"))).status, 0);
    const std::string r = quote(t.root());
    const std::string today = runShell("date +%F").out.substr(0, 10);
    struct Case {
        std::string args;
        std::string hiddenText; // in the output with --hidden, not without
    };
    for (const Case& c : std::vector<Case>{{"hogs", "blob"},
                                           {"duplicates --limit 0", "blob"},
                                           {"dirhogs", "deep"},
                                           {"dirhogs --main", ".cache"},
                                           {"changed --from " + today + " --to " + today, "deep"},
                                           {"stats", "files\t"}}) {
        const CliRun without = cli(c.args + " " + r);
        const CliRun with = cli(c.args + " --hidden --disk-usage " + r);
        EXPECT_EQ(with.status, 0) << c.args << ": " << with.err;
        if (c.args == "stats") {
            EXPECT_NE(without.out.find("files\t2\n"), std::string::npos) << without.out;
            EXPECT_NE(with.out.find("files\t2\n"), std::string::npos) << with.out; // one file, two names
            EXPECT_NE(cli("stats --hidden " + r).out.find("files\t3\n"), std::string::npos);
            continue;
        }
        EXPECT_EQ(without.out.find(c.hiddenText), std::string::npos) << c.args << ": " << without.out;
        EXPECT_NE(with.out.find(c.hiddenText), std::string::npos) << c.args << ": " << with.out;
    }
}
