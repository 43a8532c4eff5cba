// The command-line grammar of kelvane-cli and kelvane: help, version,
// --opt=value, "--", usage errors, and the man page keeping up with --help.

#include "common/version.h"
#include "support/shellrun.h"
#include "support/temptree.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using kelvane::test::runShell;
using kelvane::test::shellQuote;
using kelvane::test::ShellRun;
using kelvane::test::TempTree;

namespace {

// No display of any kind, as over ssh.
const std::string kNoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";

ShellRun cli(const std::string& args)
{
    return runShell(kNoDisplay + shellQuote(KELVANE_CLI_PATH) + " " + args);
}

// The first capture of pattern in every line of text that it matches.
std::vector<std::string> linesMatching(const std::string& text, const char* pattern)
{
    const QRegularExpression expression(QString::fromLatin1(pattern));
    std::vector<std::string> found;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const QRegularExpressionMatch m = expression.match(QString::fromStdString(line));
        if (m.hasMatch())
            found.push_back(m.captured(1).toStdString());
    }
    return found;
}

std::vector<std::string> commandNames()
{
    const std::string help = cli("--help").out;
    const std::string commands = help.substr(help.find("commands:\n"));
    return linesMatching(commands.substr(0, commands.find("\n\n")), "^  ([a-z-]+) ");
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(CommandLine, VersionAndHelpNeedNoDisplay)
{
    const std::string version = KELVANE_VERSION;
    ASSERT_FALSE(version.empty());
    for (const char* flag : {"--version", "-V"}) {
        const ShellRun run = cli(flag);
        EXPECT_EQ(run.status, 0) << flag;
        EXPECT_EQ(run.out, "kelvane-cli " + version + "\n");
        EXPECT_EQ(run.err, "");
    }
    const ShellRun help = cli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: kelvane-cli", 0), 0u) << help.out;
    EXPECT_GE(commandNames().size(), 6u) << help.out;
    EXPECT_EQ(cli("-h").out, help.out);
#ifdef KELVANE_GUI_PATH
    const std::string gui = kNoDisplay + shellQuote(KELVANE_GUI_PATH);
    const ShellRun guiVersion = runShell(gui + " --version");
    EXPECT_EQ(guiVersion.status, 0) << guiVersion.err;
    EXPECT_EQ(guiVersion.out, "kelvane " + version + "\n");
    const ShellRun guiHelp = runShell(gui + " --help");
    EXPECT_EQ(guiHelp.status, 0) << guiHelp.err;
    EXPECT_EQ(guiHelp.out.rfind("usage: kelvane ", 0), 0u) << guiHelp.out;
    // A mistake is a usage error, also without a display; Qt's own options are not mistakes.
    for (const char* args : {"--bogus", "somefile", "-platform"}) {
        const ShellRun bad = runShell(gui + " " + args);
        EXPECT_EQ(bad.status, 2) << args;
        EXPECT_NE(bad.err.find("usage: kelvane"), std::string::npos) << args << ": " << bad.err;
    }
    const ShellRun noDisplay = runShell(gui + " -platform xcb -reverse");
    EXPECT_EQ(noDisplay.status, 1);
    EXPECT_NE(noDisplay.err.find("needs a graphical display"), std::string::npos) << noDisplay.err;

    // FOLDER arguments: folders that open are taken (and then the display is
    // missing); anything else is a usage error naming the argument and why.
    TempTree tree;
    tree.file("home/notes.txt", 10);
    const std::string home = shellQuote(tree.path("home"));
    const ShellRun folders = runShell(gui + " " + home + " -reverse " + shellQuote(tree.root()));
    EXPECT_EQ(folders.status, 1) << folders.err;
    EXPECT_NE(folders.err.find("needs a graphical display"), std::string::npos) << folders.err;
    const std::vector<std::pair<std::string, std::string>> refused = {
        {home + " " + shellQuote(tree.path("home/notes.txt")),
         tree.path("home/notes.txt") + ": not a directory"},
        {shellQuote(tree.path("missing")), tree.path("missing") + ": No such file or directory"}};
    for (const auto& [args, message] : refused) {
        const ShellRun bad = runShell(gui + " " + args);
        EXPECT_EQ(bad.status, 2) << args;
        EXPECT_EQ(bad.err.rfind("kelvane: " + message + "\n", 0), 0u) << bad.err;
    }
    std::string many;
    for (int i = 0; i < 26; ++i)
        many += " " + home;
    const ShellRun tooMany = runShell(gui + many);
    EXPECT_EQ(tooMany.status, 2);
    EXPECT_EQ(tooMany.err.rfind("kelvane: at most 25 folders (26 given)\n", 0), 0u) << tooMany.err;
#endif
}

TEST(CommandLine, EveryCommandHasItsOwnHelp)
{
    for (const std::string& command : commandNames()) {
        for (const char* flag : {"--help", "-h"}) {
            const ShellRun run = cli(command + " " + flag);
            EXPECT_EQ(run.status, 0) << command;
            EXPECT_EQ(run.out.rfind("usage: kelvane-cli " + command + " ", 0), 0u) << run.out;
            EXPECT_NE(run.out.find("--threads=N"), std::string::npos) << run.out;
            EXPECT_EQ(run.err, "");
        }
        // Help wins over a missing path; a mistake before it does not scan anything.
        EXPECT_EQ(cli(command + " --help --bogus").status, 0) << command;
    }
    const ShellRun hogs = cli("hogs --help");
    for (const char* option : {"--limit=KB", "--pattern=P", "--json", "-0, --null"})
        EXPECT_NE(hogs.out.find(option), std::string::npos) << option << "\n" << hogs.out;
}

TEST(CommandLine, OptionValueWithEqualsOrAsNextArgument)
{
    TempTree tree;
    tree.file("a/big.bin", 300 * 1024);
    tree.file("b/big.bin", 300 * 1024);
    tree.file("small.bin", 10 * 1024);
    const std::string root = shellQuote(tree.root());
    const ShellRun separate = cli("hogs --limit 5 --pattern '*.bin' " + root);
    EXPECT_EQ(separate.status, 0) << separate.err;
    EXPECT_EQ(std::count(separate.out.begin(), separate.out.end(), '\n'), 3) << separate.out;
    EXPECT_EQ(cli("hogs --limit=5 --pattern='*.bin' " + root).out, separate.out);
    // Options after the paths, and the walk option after the command.
    EXPECT_EQ(cli("hogs " + root + " --pattern='*.bin' --limit=5 --threads=1").out, separate.out);
    EXPECT_EQ(cli("--threads=2 duplicates --limit=100 " + root).out,
              cli("duplicates --limit 100 " + root).out);
    EXPECT_EQ(cli("hogs --limit=100 " + root).out, cli("hogs --limit 100 " + root).out);
    EXPECT_NE(cli("hogs --limit=100 " + root).out, separate.out);
    // A value may itself begin with a dash.
    const ShellRun dashed = cli("hogs --pattern=-x " + root);
    EXPECT_EQ(dashed.status, 0) << dashed.err;
    EXPECT_EQ(dashed.out, "");
}

TEST(CommandLine, DoubleDashEndsTheOptions)
{
    TempTree tree;
    tree.file("-dir/--json/f", 7);
    tree.file("-dir/g", 5);
    const std::string dashed = tree.path("-dir");
    // Run from the tree so that the dash names are relative arguments.
    const std::string in = "cd " + shellQuote(tree.root()) + " && ";
    const ShellRun walk = runShell(in + kNoDisplay + shellQuote(KELVANE_CLI_PATH) + " walk -- -dir");
    EXPECT_EQ(walk.status, 0) << walk.err;
    EXPECT_EQ(walk.out, "-dir: 2 directories, 2 files, 12 bytes, 0 skipped directories\n");
    const ShellRun deeper = runShell(in + kNoDisplay + shellQuote(KELVANE_CLI_PATH) + " walk -- -dir/--json");
    EXPECT_EQ(deeper.out, "-dir/--json: 1 directories, 1 files, 7 bytes, 0 skipped directories\n");
    // Before the command too, and options still count before "--".
    const ShellRun global =
        runShell(in + kNoDisplay + shellQuote(KELVANE_CLI_PATH) + " --threads=1 -- walk --threads 2 -- -dir");
    EXPECT_EQ(global.out, walk.out) << global.err;
    // Without "--" the name is an option, and an unknown one.
    const ShellRun withoutDashes = runShell(in + kNoDisplay + shellQuote(KELVANE_CLI_PATH) + " walk -dir");
    EXPECT_EQ(withoutDashes.status, 2);
    EXPECT_EQ(withoutDashes.out, "");
}

TEST(CommandLine, UsageErrorsSayWhatIsWrong)
{
    const struct {
        const char* args;
        const char* message;
    } cases[] = {
        {"", "kelvane-cli: no command given"},
        {"frobnicate /nonexistent/kelvane", "kelvane-cli: unknown command frobnicate"},
        {"--bogus walk /nonexistent/kelvane", "kelvane-cli: unknown option --bogus"},
        {"--threads=0 walk /nonexistent/kelvane", "--threads needs a number from 1 to 1024"},
        {"walk --threads=x /nonexistent/kelvane", "kelvane-cli walk: --threads needs a number"},
        {"walk", "kelvane-cli walk: no path given"},
        {"stats /nonexistent/a /nonexistent/b", "kelvane-cli stats: one path only"},
        {"walk -0 /nonexistent/kelvane", "kelvane-cli walk: unknown option -0"},
        {"stats --null /nonexistent/kelvane", "kelvane-cli stats: unknown option --null"},
        {"hogs --json -0 /nonexistent/kelvane", "kelvane-cli hogs: --json and --null exclude each other"},
        {"hogs --limit", "kelvane-cli hogs: Missing value after '--limit'"},
        {"hogs --json=yes /nonexistent/kelvane", "kelvane-cli hogs: Unexpected value after '--json'"},
        {"dirhogs -x /nonexistent/kelvane", "kelvane-cli dirhogs: unknown option -x"},
    };
    for (const auto& c : cases) {
        const ShellRun run = cli(c.args);
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_EQ(run.out, "") << c.args;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << ": " << run.err;
        EXPECT_NE(run.err.find("usage: kelvane-cli"), std::string::npos) << c.args << ": " << run.err;
    }
}

// Every command and every option that --help shows is in the man page.
TEST(CommandLine, ManPageDescribesEveryCommandAndOption)
{
    const std::string page = readFile(KELVANE_SOURCE_DIR "/data/man/kelvane-cli.1.in");
    ASSERT_FALSE(page.empty());
    for (const std::string& command : commandNames()) {
        const size_t section = page.find("\n.SS " + command + " ");
        EXPECT_NE(section, std::string::npos) << command;
        const size_t end = page.find("\n.S", section + 1);
        const std::string text = page.substr(section, end - section);
        for (const std::string& option :
             linesMatching(cli(command + " --help").out, "^ *(?:-\\w, )?--([a-z-]+)")) {
            if (option == "help" || option == "threads" || option == "io")
                continue; // the global options
            std::string escaped;
            for (char c : option)
                escaped += c == '-' ? std::string("\\-") : std::string(1, c);
            EXPECT_NE(text.find("\\-\\-" + escaped), std::string::npos) << command << " --" << option;
        }
    }
}
