// kelvane-cli same-content: groups of real paths, most wasted space first.

#include "support/shellrun.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <string>
#include <unistd.h>

using kelvane::test::TempTree;

namespace {

using CliRun = kelvane::test::ShellRun;

std::string quote(const std::string& s)
{
    return kelvane::test::shellQuote(s);
}

CliRun cli(const std::string& args)
{
    return kelvane::test::runShell("LC_ALL=C.UTF-8 " + quote(KELVANE_CLI_PATH) + " " + args);
}

std::string write(TempTree& tree, const std::string& relative, const std::string& content)
{
    const size_t slash = relative.rfind('/');
    if (slash != std::string::npos)
        tree.dir(relative.substr(0, slash));
    const std::string path = tree.path(relative);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_GE(fd, 0) << path;
    EXPECT_EQ(::write(fd, content.data(), content.size()), ssize_t(content.size()));
    ::close(fd);
    return path;
}

} // namespace

TEST(CliSameContent, GroupsByWastedSpaceWithRealPaths)
{
    TempTree tree;
    const std::string big(9000, 'b'), small(1500, 's');
    write(tree, "x/big-1", big);
    write(tree, "y/big-2", big);
    write(tree, "x/small-1", small);
    write(tree, "y/small-2", small);
    write(tree, "z/small-3", small);
    write(tree, "z/small-4", small);
    write(tree, "z/other", std::string(9000, 'o'));
    write(tree, "e1", "");
    write(tree, "e2", "");
    write(tree, "n/line\nbreak", big); // shown safely, given back exactly with -0

    // big: 9000 × 2 wasted; small: 1500 × 3.
    const CliRun run = cli("same-content " + quote(tree.root()));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, tree.path("n/line?break") + "\n" + tree.path("x/big-1") + "\n" + tree.path("y/big-2") +
                           "\n\n" + tree.path("x/small-1") + "\n" + tree.path("y/small-2") + "\n" +
                           tree.path("z/small-3") + "\n" + tree.path("z/small-4") + "\n");
    EXPECT_EQ(run.err, "");

    const CliRun nul = cli("same-content -0 --byte-compare --limit 2 " + quote(tree.root()));
    EXPECT_EQ(nul.status, 0) << nul.err;
    EXPECT_EQ(nul.out, tree.path("n/line\nbreak") + std::string(1, '\0') + tree.path("x/big-1") +
                           std::string(1, '\0') + tree.path("y/big-2") + std::string(1, '\0'));

    const CliRun json = cli("same-content --json --limit=2 " + quote(tree.root()));
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out.substr(0, json.out.find('\n')),
              "{\"group\":1,\"path\":\"" + tree.path("n/line\\nbreak") + "\",\"size\":9000,\"modified\":\"" +
                  json.out.substr(json.out.find("\"modified\":\"") + 12, 20) + "\"}");
    EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 3);

    // Hidden files only with --hidden.
    write(tree, ".cache/blob", std::string(7000, 'h'));
    write(tree, ".blob", std::string(7000, 'h'));
    EXPECT_EQ(cli("same-content --limit 8 " + quote(tree.root())).out,
              tree.path("n/line?break") + "\n" + tree.path("x/big-1") + "\n" + tree.path("y/big-2") + "\n");
    EXPECT_EQ(cli("same-content --limit 6 " + quote(tree.root())).out.find(".blob"), std::string::npos);
    const CliRun hidden = cli("same-content --hidden --limit 6 " + quote(tree.root()));
    EXPECT_NE(hidden.out.find(tree.path(".cache/blob") + "\n" + tree.path(".blob") + "\n"), std::string::npos)
        << hidden.out;
}

TEST(CliSameContent, UsageAndUnreadableRoots)
{
    TempTree tree;
    write(tree, "a", "same");
    write(tree, "b", "same");
    for (const char* bad :
         {"same-content", "same-content --limit", "same-content --limit x .", "same-content --nope ."}) {
        const CliRun run = cli(bad);
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_NE(run.err.find("usage: kelvane-cli same-content"), std::string::npos) << bad;
    }
    // What could be read is still listed; the status says something was not.
    const CliRun run = cli("same-content /nonexistent/kelvane " + quote(tree.root()));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, tree.path("a") + "\n" + tree.path("b") + "\n");
    EXPECT_NE(run.err.find("cannot open /nonexistent/kelvane"), std::string::npos) << run.err;
}
