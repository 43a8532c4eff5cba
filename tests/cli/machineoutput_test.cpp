// --json and -0 of the result-listing subcommands: the real path bytes come
// back exactly, whatever a name holds.

#include "support/shellrun.h"
#include "support/temptree.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

using kelvane::test::exists;
using kelvane::test::localTime;
using kelvane::test::runShell;
using kelvane::test::shellQuote;
using kelvane::test::ShellRun;
using kelvane::test::TempTree;

namespace {

ShellRun cli(const std::string& args)
{
    return runShell("LC_ALL=C.UTF-8 TZ=Europe/Berlin PATH= " + shellQuote(KELVANE_CLI_PATH) + " " + args);
}

std::vector<std::string> split(const std::string& text, char end)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == end) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    EXPECT_EQ(start, text.size()) << "the last record is not ended";
    return parts;
}

std::vector<QJsonObject> jsonRows(const std::string& out)
{
    std::vector<QJsonObject> rows;
    for (const std::string& line : split(out, '\n')) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
        EXPECT_TRUE(doc.isObject()) << line;
        rows.push_back(doc.object());
    }
    return rows;
}

// The path bytes of a row: "path" as UTF-8, or "path_b64" decoded.
std::string pathOf(const QJsonObject& row)
{
    EXPECT_NE(row.contains("path"), row.contains("path_b64"));
    if (row.contains("path"))
        return row.value("path").toString().toStdString();
    return QByteArray::fromBase64(row.value("path_b64").toString().toLatin1()).toStdString();
}

// Names that break lines, columns and UTF-8, each in a directory of the same kind.
struct OddTree {
    TempTree tree;
    int64_t when = localTime(2024, 3, 5, 14, 37, 58); // 13:37:58 UTC
    std::set<std::string> files;
    OddTree()
    {
        for (const std::string& name : {std::string("new\nline.bin"), std::string("tab\there.bin"),
                                        std::string("bad\xff\xfe.bin"), std::string("overlong\xc0\xaf.bin"),
                                        std::string("caf\xc3\xa9.bin"), std::string("plain.bin")}) {
            files.insert(tree.file("dir " + name + "/" + name, 4096, 0644, when));
        }
    }
};

} // namespace

TEST(CliMachineOutput, NullEndedPathsAreTheBytesOnDisk)
{
    OddTree odd;
    const std::string root = shellQuote(odd.tree.root());
    const ShellRun hogs = cli("hogs --limit=0 -0 " + root);
    EXPECT_EQ(hogs.status, 0) << hogs.err;
    const std::vector<std::string> paths = split(hogs.out, '\0');
    EXPECT_EQ(std::set<std::string>(paths.begin(), paths.end()), odd.files);
    EXPECT_EQ(paths.size(), odd.files.size());
    EXPECT_EQ(cli("hogs --limit=0 --null " + root).out, hogs.out);

    std::set<std::string> changed;
    for (const std::string& p : split(cli("changed --from=2024-03-05 --to=2024-03-05 -0 " + root).out, '\0'))
        changed.insert(p);
    EXPECT_EQ(changed, odd.files);

    std::set<std::string> dirs;
    for (const std::string& p : split(cli("dirhogs -0 " + root).out, '\0')) {
        EXPECT_TRUE(exists(p)) << p;
        dirs.insert(p);
    }
    EXPECT_EQ(dirs.size(), odd.files.size() + 1); // and the root
    for (const std::string& f : odd.files)
        EXPECT_EQ(dirs.count(f.substr(0, f.rfind('/'))), 1u) << f;

    // What xargs -0 hands on is the same bytes: every file is found.
    const ShellRun sizes =
        runShell(shellQuote(KELVANE_CLI_PATH) + " hogs --limit=0 -0 " + root + " | xargs -0 stat -c %s --");
    EXPECT_EQ(sizes.status, 0) << sizes.err;
    EXPECT_EQ(sizes.out, std::string("4096\n4096\n4096\n4096\n4096\n4096\n"));
}

TEST(CliMachineOutput, JsonRowsCarryPathSizeAndUtcTime)
{
    OddTree odd;
    const std::string root = shellQuote(odd.tree.root());
    const ShellRun hogs = cli("hogs --limit=0 --json " + root);
    EXPECT_EQ(hogs.status, 0) << hogs.err;
    std::set<std::string> paths;
    int encoded = 0;
    for (const QJsonObject& row : jsonRows(hogs.out)) {
        paths.insert(pathOf(row));
        encoded += row.contains("path_b64");
        EXPECT_EQ(row.value("size").toInteger(), 4096);
        EXPECT_EQ(row.value("modified").toString(), "2024-03-05T13:37:58Z");
        EXPECT_FALSE(row.value("search_path").toBool());
    }
    EXPECT_EQ(paths, odd.files);
    EXPECT_EQ(encoded, 2); // the invalid and the overlong name; "café" is UTF-8

    std::set<std::string> changed;
    for (const QJsonObject& row :
         jsonRows(cli("changed --from 2024-03-05 --to 2024-03-05 --json " + root).out)) {
        changed.insert(pathOf(row));
        EXPECT_EQ(row.value("modified").toString(), "2024-03-05T13:37:58Z");
        EXPECT_EQ(row.value("size").toInteger(), 4096);
    }
    EXPECT_EQ(changed, odd.files);

    for (const QJsonObject& row : jsonRows(cli("dirhogs --main --json " + root).out)) {
        const std::string dir = pathOf(row);
        EXPECT_TRUE(exists(dir)) << dir;
        EXPECT_EQ(row.value("size").toInteger(), 4096) << dir;
        EXPECT_EQ(row.value("files").toInteger(), 1);
        EXPECT_EQ(row.value("subdirectories").toInteger(), 0);
        EXPECT_EQ(row.value("newest").toString(), "2024-03-05T13:37:58Z");
        EXPECT_TRUE(row.value("drive_percent").isDouble());
    }
}

TEST(CliMachineOutput, DuplicateGroupsAreNumberedWithTheirKey)
{
    TempTree tree;
    for (const char* dir : {"a", "b", "c"})
        tree.file(std::string(dir) + "/Same\tName.bin", 2048);
    tree.file("a/other.bin", 3000);
    tree.file("b/OTHER.bin", 5000);
    tree.file("c/alone.bin", 3000);
    const std::vector<QJsonObject> rows =
        jsonRows(cli("duplicates --limit=0 --json " + shellQuote(tree.root())).out);
    ASSERT_EQ(rows.size(), 5u);
    std::set<std::string> sameName;
    for (const QJsonObject& row : rows) {
        const int group = row.value("group").toInt();
        if (row.value("key").toString() == "other.bin") {
            EXPECT_EQ(group, 1);
        } else {
            EXPECT_EQ(row.value("key").toString(), "same?name.bin");
            EXPECT_EQ(group, 2);
            sameName.insert(pathOf(row));
        }
    }
    EXPECT_EQ(sameName, (std::set<std::string>{tree.path("a/Same\tName.bin"), tree.path("b/Same\tName.bin"),
                                               tree.path("c/Same\tName.bin")}));
    // With --exact, other.bin (2 K and 4 K) is no group; the lines stay as they were.
    EXPECT_EQ(jsonRows(cli("duplicates --exact --limit=0 --json " + shellQuote(tree.root())).out).size(), 3u);
    EXPECT_EQ(split(cli("duplicates --limit=0 " + shellQuote(tree.root())).out, '\n').size(), 5u);
}

TEST(CliMachineOutput, WalkAndStatsAsJson)
{
    OddTree odd;
    const std::vector<QJsonObject> walk = jsonRows(cli("walk --json " + shellQuote(odd.tree.root())).out);
    ASSERT_EQ(walk.size(), 1u);
    EXPECT_EQ(pathOf(walk[0]), odd.tree.root());
    EXPECT_EQ(walk[0].value("files").toInteger(), 6);
    EXPECT_EQ(walk[0].value("directories").toInteger(), 7); // and the root
    EXPECT_EQ(walk[0].value("bytes").toInteger(), 6 * 4096);
    EXPECT_EQ(walk[0].value("skipped").toInteger(), 0);

    const std::vector<QJsonObject> stats = jsonRows(cli("stats --json " + shellQuote(odd.tree.root())).out);
    ASSERT_FALSE(stats.empty());
    EXPECT_EQ(stats.back().value("kind").toString(), "files");
    EXPECT_EQ(stats.back().value("files").toInteger(), 6);
    int bands = 0;
    for (const QJsonObject& row : stats)
        bands += row.value("kind").toString().endsWith("-band");
    EXPECT_EQ(bands, 18);
}
