// Drives on real mounts: loop images mounted in a private mount namespace.
// Each outer test sets the mounts up with a shell script under
// `unshare -m --propagation private` and runs its DISABLED_ twin of this
// binary inside that namespace; where mounting is impossible it is skipped
// with the reason.

#include "common/diskspace.h"
#include "common/driveloop.h"
#include "common/mounttable.h"
#include "support/shellrun.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelvane;
using kelvane::test::runShell;
using kelvane::test::shellQuote;

namespace {

constexpr int kCannotMount = 77;

std::string selfPath()
{
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, size_t(n)) : std::string();
}

// Runs setup (sh, with $T the scratch directory) in a new private mount
// namespace, then the named disabled test of this binary in it. Returns the
// skip reason, or an empty text after checking that the inner test passed.
std::string runInMountNamespace(const std::string& setup, const std::string& innerTest)
{
    if (::geteuid() != 0)
        return "mounting needs root";
    if (runShell("unshare -m --propagation private true").status != 0)
        return "no private mount namespace here (unshare -m failed)";
    kelvane::test::TempTree scratch;
    const std::string script =
        "set -e\nT=" + shellQuote(scratch.root()) + "\nexport KELVANE_MOUNTS=\"$T\"\n" + setup + "\nexec " +
        shellQuote(selfPath()) + " --gtest_also_run_disabled_tests --gtest_filter=" + innerTest;
    const auto run = runShell("unshare -m --propagation private sh -c " + shellQuote(script));
    if (run.status == kCannotMount)
        return "cannot mount here: " + run.out + run.err;
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("[  PASSED  ] 1 test"), std::string::npos) << run.out << run.err;
    return {};
}

std::string mountsDir()
{
    const char* dir = std::getenv("KELVANE_MOUNTS");
    return dir ? dir : "";
}

const Drive* driveAt(const std::vector<Drive>& drives, const std::string& root)
{
    const auto it =
        std::find_if(drives.begin(), drives.end(), [&](const Drive& d) { return d.root == root; });
    return it == drives.end() ? nullptr : &*it;
}

std::vector<std::string> rootsUnder(const std::vector<Drive>& drives, const std::string& dir)
{
    std::vector<std::string> roots;
    for (const Drive& d : drives) {
        if (d.root.rfind(dir + "/", 0) == 0)
            roots.push_back(d.root);
    }
    return roots;
}

uint64_t deviceOf(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 ? uint64_t(st.st_dev) : 0;
}

} // namespace

// A btrfs with the subvolumes @root and @home, @home mounted inside @root and
// bound a second time at a shorter path.
TEST(MountedDrives, BtrfsSubvolumeMountedOnItsOwnIsADrive)
{
    const std::string skip = runInMountNamespace(R"sh(
command -v mkfs.btrfs >/dev/null || { echo "mkfs.btrfs is not installed (btrfs-progs)"; exit 77; }
truncate -s 256M "$T/btrfs.img"
mkfs.btrfs -q "$T/btrfs.img" >/dev/null
mkdir "$T/top" "$T/root" "$T/bind"
mount -o loop "$T/btrfs.img" "$T/top" || { echo "no loop mount of btrfs"; exit 77; }
btrfs -q subvolume create "$T/top/@root"
btrfs -q subvolume create "$T/top/@home"
mkdir "$T/top/@root/home"
umount "$T/top"
mount -o loop,subvol=@root "$T/btrfs.img" "$T/root"
mount -o loop,subvol=@home "$T/btrfs.img" "$T/root/home"
mount --bind "$T/root/home" "$T/bind"
)sh",
                                                 "MountedDrives.DISABLED_BtrfsInside");
    if (!skip.empty())
        GTEST_SKIP() << skip;
}

TEST(MountedDrives, DISABLED_BtrfsInside)
{
    const std::string t = mountsDir();
    ASSERT_FALSE(t.empty());
    const auto drives = systemDrives();
    // Both subvolumes, though mountinfo gives them one major:minor; @home at
    // the shorter of its two mount paths.
    EXPECT_EQ(rootsUnder(drives, t), (std::vector<std::string>{t + "/bind", t + "/root"}));
    const Drive* root = driveAt(drives, t + "/root");
    const Drive* home = driveAt(drives, t + "/bind");
    ASSERT_TRUE(root && home);
    EXPECT_EQ(root->deviceId, home->deviceId);
    EXPECT_EQ(root->fsType, "btrfs");
    EXPECT_EQ(root->mountRoot, "/@root");
    EXPECT_EQ(home->mountRoot, "/@home");
    EXPECT_NE(root->rootDev, home->rootDev);
    EXPECT_EQ(home->rootDev, deviceOf(t + "/root/home"));
    EXPECT_TRUE(driveReady(*root));
    EXPECT_TRUE(driveReady(*home));
}

// An ext4 image: Disk Space agrees with df; once unmounted the drive no
// longer answers, though its mount point (now a directory of the parent file
// system) still does.
TEST(MountedDrives, Ext4SpaceAsDfShowsAndUnmountedDriveIsNotReady)
{
    const std::string skip = runInMountNamespace(R"sh(
command -v mkfs.ext4 >/dev/null || { echo "mkfs.ext4 is not installed (e2fsprogs)"; exit 77; }
truncate -s 64M "$T/ext4.img"
mkfs.ext4 -q -F -m 5 "$T/ext4.img"
mkdir "$T/disk"
mount -o loop "$T/ext4.img" "$T/disk" || { echo "no loop mount of ext4"; exit 77; }
head -c 3000000 /dev/urandom > "$T/disk/data"
mkdir "$T/disk/sub"
)sh",
                                                 "MountedDrives.DISABLED_Ext4Inside");
    if (!skip.empty())
        GTEST_SKIP() << skip;
}

TEST(MountedDrives, DISABLED_Ext4Inside)
{
    const std::string t = mountsDir();
    ASSERT_FALSE(t.empty());
    const std::string mountPoint = t + "/disk";
    const auto drives = systemDrives();
    const Drive* found = driveAt(drives, mountPoint);
    ASSERT_TRUE(found);
    const Drive drive = *found;
    EXPECT_EQ(drive.fsType, "ext4");

    ::sync();
    const auto df = runShell("df -B1 --output=size,used,avail " + shellQuote(mountPoint) + " | tail -n 1");
    ASSERT_EQ(df.status, 0) << df.err;
    std::istringstream figures(df.out);
    int64_t size = 0, used = 0, avail = 0;
    figures >> size >> used >> avail;
    const auto space = diskSpace(drive);
    ASSERT_TRUE(space);
    EXPECT_EQ(space->capacity, size) << df.out;
    EXPECT_EQ(space->used(), used) << df.out;
    EXPECT_EQ(space->free, avail) << df.out;
    // mkfs -m 5: five per cent of the blocks are kept for root, neither used nor free.
    EXPECT_EQ(space->reserved, size - used - avail);
    EXPECT_GT(space->reserved, size / 25);

    int walked = 0;
    const auto walk = [&](const Drive&) { return ++walked > 0; };
    forEachSelectedDrive({drive}, walk, {});
    EXPECT_EQ(walked, 1);

    ASSERT_EQ(runShell("umount " + shellQuote(mountPoint)).status, 0);
    EXPECT_FALSE(stillMounted(drive));
    EXPECT_FALSE(driveReady(drive));
    EXPECT_FALSE(diskSpace(drive).has_value());
    forEachSelectedDrive({drive}, walk, {});
    EXPECT_EQ(walked, 1); // not walked again
    // The bare directory answers with the parent's figures: what must not be shown.
    const auto parent = diskSpace(mountPoint);
    ASSERT_TRUE(parent);
    EXPECT_NE(parent->capacity, size);
}
