// Deleting and changing files bound to what a scan saw of them.

#include "common/boundpath.h"
#include "common/deletionreport.h"
#include "common/filedeletion.h"
#include "common/fileops.h"
#include "common/markedfiles.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelvane;
using kelvane::test::exists;
using kelvane::test::modeOf;
using kelvane::test::TempTree;

namespace {

// What a scan of tree would have seen at path.
FileIdentity scanned(const TempTree& tree, const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0);
    return FileIdentity::ofStat(st, rootLengthOf(tree.root()));
}

} // namespace

TEST(BindPath, SameChangedGoneFromTheDriveRoot)
{
    TempTree tree;
    const std::string file = tree.file("d/sub/f", 10);
    const FileIdentity id = scanned(tree, file);
    EXPECT_EQ(bindPath(file, id).binding, Binding::Same);
    EXPECT_EQ(bindPath(file, id, true).binding, Binding::Same);
    EXPECT_EQ(bindPath(tree.path("d/sub/none"), id).binding, Binding::Gone);
    EXPECT_EQ(bindPath(tree.path("d/none/f"), id).binding, Binding::Gone);
    EXPECT_EQ(bindPath("relative/f", id).binding, Binding::Failed);

    // A file in the place of a directory on the way, and a link there.
    ASSERT_EQ(::rename(tree.path("d/sub").c_str(), tree.path("d/moved").c_str()), 0);
    tree.file("d/sub", 1);
    EXPECT_EQ(bindPath(file, id).binding, Binding::Changed);
    ASSERT_EQ(::unlink(tree.path("d/sub").c_str()), 0);
    tree.symlink("d/sub", "moved");
    EXPECT_EQ(bindPath(file, id).binding, Binding::Changed);
    EXPECT_EQ(bindPath(file, FileIdentity{}).binding, Binding::Changed); // links refused even unknown
    EXPECT_EQ(bindPath(tree.path("d/moved/f"), id).binding, Binding::Same);
}

TEST(DeleteBoundFile, EachReasonToStay)
{
    TempTree tree;
    const std::string plain = tree.file("plain", 100);
    const std::string grown = tree.file("grown", 100);
    const std::string touched = tree.file("touched", 100);
    const std::string swapped = tree.file("swapped", 100);
    const std::string locked = tree.file("locked", 100, 0444);
    const std::string gone = tree.file("gone", 100);
    FileIdentity ids[6];
    int i = 0;
    for (const std::string& p : {plain, grown, touched, swapped, locked, gone})
        ids[i++] = scanned(tree, p);
    ASSERT_EQ(::truncate(grown.c_str(), 5000), 0);
    test::setMtime(touched, 1'600'000'000);
    ASSERT_EQ(::unlink(swapped.c_str()), 0);
    tree.file("swapped", 100);
    ASSERT_EQ(::unlink(gone.c_str()), 0);

    FileOutcome out = deleteBoundFile(plain, ids[0], true);
    EXPECT_TRUE(out.deleted);
    EXPECT_EQ(out.bytesFreed, 100);
    EXPECT_EQ(deleteBoundFile(grown, ids[1], true).reason, StayReason::ChangedSinceScan);
    EXPECT_EQ(deleteBoundFile(touched, ids[2], true).reason, StayReason::ChangedSinceScan);
    EXPECT_EQ(deleteBoundFile(swapped, ids[3], true).reason, StayReason::ChangedSinceScan);
    EXPECT_EQ(deleteBoundFile(locked, ids[4], true).reason, StayReason::ReadOnly);
    EXPECT_EQ(deleteBoundFile(gone, ids[5], true).reason, StayReason::AlreadyGone);
    for (const std::string& p : {grown, touched, swapped, locked})
        EXPECT_TRUE(exists(p)) << p;
    // Without content only the object counts: the grown file is still it.
    EXPECT_TRUE(deleteBoundFile(grown, ids[1], false).deleted);

    // A second name of the data: deleted, but nothing freed.
    const std::string twin = tree.file("twin", 300);
    ASSERT_EQ(::link(twin.c_str(), tree.path("twin2").c_str()), 0);
    out = deleteBoundFile(twin, scanned(tree, twin), true);
    EXPECT_TRUE(out.deleted);
    EXPECT_EQ(out.bytesFreed, 0);
}

// The mode changes on the very file, never through a link or another name.
TEST(SetAttributes, ThroughADescriptorOfTheScannedFile)
{
    TempTree tree;
    const std::string secret = tree.file("secret", 5, 0600);
    const std::string ro = tree.file("v/ro.txt", 10, 0444);
    const FileIdentity id = scanned(tree, ro);
    ASSERT_EQ(::unlink(ro.c_str()), 0);
    ASSERT_EQ(::link(secret.c_str(), ro.c_str()), 0);
    const OpResult refused = setAttributes(ro, 0, id);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.message, QString::fromStdString(ro) + " has changed since the scan; scan again");
    EXPECT_EQ(modeOf(secret), 0600u);

    // A link in the parent path is never followed, whatever is known.
    const std::string inner = tree.file("real/f", 1, 0444);
    tree.symlink("via", "real");
    EXPECT_FALSE(setAttributes(tree.path("via/f"), 0));
    EXPECT_EQ(modeOf(inner), 0444u);
    EXPECT_TRUE(setAttributes(inner, 0, scanned(tree, inner)));
    EXPECT_EQ(modeOf(inner), 0644u);
}

TEST(MarkedFiles, UnmarkTakesAwayExactlyWhatMarkingAdded)
{
    TempTree tree;
    const std::string a = tree.file("a", 1000);
    const std::string b = tree.file("b", 200);
    MarkedFiles marks;
    EXPECT_TRUE(marks.toggle(a, scanned(tree, a), false));
    EXPECT_TRUE(marks.toggle(b, scanned(tree, b), false));
    EXPECT_EQ(marks.statusText(), "2 files 1,200 bytes");
    ASSERT_EQ(::truncate(a.c_str(), 5'000'000), 0);
    EXPECT_FALSE(marks.toggle(a, {}, true));
    EXPECT_EQ(marks.statusText(), "1 files 200 bytes");
    ASSERT_EQ(::unlink(b.c_str()), 0);
    marks.unmark(b);
    EXPECT_EQ(marks.statusText(), "0 files 0 bytes");
    EXPECT_TRUE(marks.empty());

    // A file missing when marked is listed but not counted, and its
    // unmarking takes nothing away.
    marks.mark(b, {});
    EXPECT_EQ(marks.count(), 0);
    EXPECT_EQ(marks.paths(), std::vector<std::string>{b});
    EXPECT_TRUE(marks.unmark(b));
    EXPECT_FALSE(marks.unmark(b));
    EXPECT_EQ(marks.bytes(), 0);
}

TEST(MarkedFiles, GroupsWhoseEveryCopyIsMarked)
{
    TempTree tree;
    MarkedFiles marks;
    marks.mark(tree.file("g0a", 1), {}, 0);
    marks.mark(tree.file("g0b", 1), {}, 0);
    marks.mark(tree.file("g1a", 1), {}, 1);
    marks.mark(tree.file("none", 1), {}, -1);
    EXPECT_EQ(marks.fullyMarkedGroups({2, 2, 3}), std::vector<int>{0});
    marks.unmark(tree.path("g0b"));
    EXPECT_TRUE(marks.fullyMarkedGroups({2, 2, 3}).empty());
}

TEST(DeletionReport, EndingNamesTenPathsAndCountsTheRest)
{
    DeletionReport report;
    report.deleted(1000);
    report.deleted(0);
    for (int i = 0; i < 12; ++i)
        report.stayed("/d/p" + std::to_string(i), i < 11 ? StayReason::Permission : StayReason::MountPoint);
    EXPECT_EQ(report.deletedLine(), "Deleted 2 files for a savings of 1,000 bytes.");
    const QStringList lines = report.stayedText().split('\n');
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[0], "12 not deleted: 11 permission denied, 1 mount point");
    EXPECT_EQ(lines[1], "Permission denied - /d/p0");
    EXPECT_EQ(lines[10], "Permission denied - /d/p9");
    EXPECT_EQ(lines[11], "and 2 more");
    EXPECT_EQ(stayLine("/x", StayReason::Other, ENOSPC),
              "Couldn't delete file - /x (No space left on device)");
    EXPECT_TRUE(DeletionReport().stayedText().isEmpty());
}

TEST(DeleteFiles, GoesOnAfterEachFileThatStays)
{
    TempTree tree;
    const std::string a = tree.file("a", 10);
    const std::string b = tree.file("b", 20);
    const std::string c = tree.file("c", 30);
    std::vector<MarkedFile> files;
    for (const std::string& p : {a, b, c})
        files.push_back(MarkedFile{p, scanned(tree, p), std::nullopt, -1});
    ASSERT_EQ(::truncate(b.c_str(), 21), 0);
    const DeletionReport report = deleteFiles(files, false);
    EXPECT_EQ(deletionEnding(report, false), "Deleted 2 files for a savings of 40 bytes.\n\n"
                                             "1 not deleted: 1 changed since the scan\n"
                                             "Changed since the scan - " +
                                                 QString::fromStdString(b));
    EXPECT_FALSE(exists(a));
    EXPECT_TRUE(exists(b));
    EXPECT_FALSE(exists(c));
}

// With space on disk shown, the savings are the blocks the files held: a
// sparse file frees (almost) nothing, a hard-linked one nothing at all.
TEST(DeleteFiles, SavingsInSpaceOnDisk)
{
    TempTree tree;
    const std::string sparse = tree.file("sparse", int64_t(1) << 30);
    const std::string written = tree.path("written");
    {
        std::FILE* f = std::fopen(written.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        const std::string bytes(20000, 'x');
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    const std::string linked = tree.file("linked", 5000);
    ASSERT_EQ(::link(linked.c_str(), tree.path("second-name").c_str()), 0);
    int64_t blocks = 0;
    std::vector<MarkedFile> files;
    for (const std::string& p : {sparse, written, linked}) {
        struct stat st {};
        ASSERT_EQ(::lstat(p.c_str(), &st), 0);
        if (st.st_nlink == 1)
            blocks += int64_t(st.st_blocks);
        files.push_back(MarkedFile{p, scanned(tree, p), std::nullopt, -1});
    }
    const DeletionReport report = deleteFiles(files, false, SizeMeasure::DiskUsage);
    EXPECT_EQ(report.bytesFreed(), blocks * 512);
    EXPECT_LT(report.bytesFreed(), int64_t(1) << 20);
    EXPECT_FALSE(exists(sparse) || exists(written) || exists(linked));
}
