#include "common/diskspace.h"
#include "common/drivelist.h"
#include "common/mounttable.h"
#include "support/temptree.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

using namespace kelvane;

namespace {

const char* kMountInfo = "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
                         "23 27 0:22 / /sys rw,relatime - sysfs sysfs rw\n"
                         "24 27 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw\n"
                         "25 24 0:23 / /dev/shm rw,relatime - tmpfs tmpfs rw\n"
                         "27 1 0:40 / / rw,relatime - overlay overlay rw,lowerdir=/x\n"
                         "30 27 8:2 / /home rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
                         "31 27 8:2 /user/media /srv/media rw,relatime - ext4 /dev/sda2 rw\n"
                         "32 27 8:17 / /media/usb\\040stick rw,relatime - vfat /dev/sdb1 rw\n"
                         "33 27 0:50 / /mnt/share rw,relatime - nfs4 server:/export rw\n"
                         "34 27 7:3 / /snap/core/1 ro,relatime - squashfs /dev/loop3 ro\n"
                         "35 27 8:2 /hosts /etc/hosts rw,relatime - ext4 /dev/sda2 rw\n"
                         "36 27 8:3 /hostname /etc/hostname rw,relatime - ext4 /dev/sda3 rw\n"
                         "37 27 0:60 / /run/user/0 rw - tmpfs tmpfs rw\n"
                         "malformed line\n";

std::vector<std::string> roots(const std::vector<Drive>& drives)
{
    std::vector<std::string> out;
    for (const Drive& d : drives)
        out.push_back(d.root);
    return out;
}

// st_dev of the mount points above as a stat would give them: the bind mount
// of a /home subtree at /srv/media is on /home's file system; /etc/hosts and
// /etc/hostname are files.
std::optional<uint64_t> probe(const std::string& path)
{
    static const std::map<std::string, uint64_t> devices = {
        {"/", 40}, {"/home", 0x802}, {"/srv/media", 0x802}, {"/media/usb stick", 0x811}};
    const auto it = devices.find(path);
    return it == devices.end() ? std::nullopt : std::optional<uint64_t>(it->second);
}

} // namespace

TEST(MountTable, RealStorageOnceInByteOrder)
{
    const LabelMap labels{{"/dev/sdb1", "USB STICK"}};
    const auto drives = parseMountInfo(kMountInfo, labels, probe);
    // The bind mount at /srv/media is on /home's file system: only its
    // shortest mount path is a drive. File bind mounts are no drives.
    EXPECT_EQ(roots(drives), (std::vector<std::string>{"/", "/home", "/media/usb stick", "/mnt/share"}));
    EXPECT_EQ(drives[2].caption, "/media/usb stick");
    EXPECT_EQ(drives[2].toolTip, "/dev/sdb1, vfat, USB STICK");
    EXPECT_EQ(drives[1].toolTip, "/dev/sda2, ext4");
    EXPECT_EQ(drives[1].rootDev, 0x802u);
    EXPECT_EQ(drives[0].fsType, "overlay");
    // A network share is never probed: a dead server could hang the stat.
    EXPECT_EQ(drives[3].rootDev, 0u);
}

// All subvolumes of one btrfs share major:minor in mountinfo; each has its
// own st_dev, and its own subtree in field 4.
TEST(MountTable, BtrfsSubvolumesBindMountsAndStackedMounts)
{
    const char* text = "1 0 0:30 /@ / rw - btrfs /dev/vda2 rw,subvol=/@\n"
                       "2 1 0:30 /@home /home rw - btrfs /dev/vda2 rw,subvol=/@home\n"
                       "3 1 0:30 /@home /srv/home rw - btrfs /dev/vda2 rw,subvol=/@home\n"
                       "4 1 0:30 /@home/alice/music /music rw - btrfs /dev/vda2 rw,subvol=/@home\n"
                       "5 1 8:17 / /mnt/usb rw - vfat /dev/sdb1 rw\n"
                       "6 5 8:33 / /mnt/usb rw - ext4 /dev/sdc1 rw\n";
    // From the mount table alone: subvolumes by their subtree, a bind mount of
    // a subtree counts as its own.
    auto drives = parseMountInfo(text, {});
    EXPECT_EQ(roots(drives), (std::vector<std::string>{"/", "/home", "/mnt/usb", "/music"}));
    EXPECT_EQ(drives[1].mountRoot, "/@home");
    // Of two mounts on one path, the one on top is in view.
    EXPECT_EQ(drives[2].fsType, "ext4");
    EXPECT_EQ(drives[2].deviceId, "8:33");

    // With the mount points' st_dev: the music bind mount lies on @home's.
    drives = parseMountInfo(text, {}, [](const std::string& path) {
        static const std::map<std::string, uint64_t> devices = {
            {"/", 31}, {"/home", 33}, {"/srv/home", 33}, {"/music", 33}, {"/mnt/usb", 0x821}};
        return std::optional<uint64_t>(devices.at(path));
    });
    EXPECT_EQ(roots(drives), (std::vector<std::string>{"/", "/home", "/mnt/usb"}));
    EXPECT_EQ(drives[1].rootDev, 33u);
}

TEST(MountTable, EscapesAndCurrentDrive)
{
    EXPECT_EQ(unescapeMountField("/a\\040b\\011c\\134d"), "/a b\tc\\d");
    EXPECT_EQ(unescapeMountField("/trailing\\04"), "/trailing\\04");
    const auto drives = parseMountInfo(kMountInfo, {}, probe);
    ASSERT_EQ(drives[1].root, "/home");
    EXPECT_EQ(driveIndexOf(drives, "/home/user/x"), 1);
    EXPECT_EQ(driveIndexOf(drives, "/home"), 1);
    EXPECT_EQ(driveIndexOf(drives, "/homework"), 0);
    EXPECT_EQ(driveIndexOf(drives, "/"), 0);
}

TEST(MountTable, ThisMachineHasARootDrive)
{
    const auto drives = SystemDriveList().drives();
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives.front().root, "/");
    EXPECT_GE(SystemDriveList().currentDriveIndex(drives), 0);
}

TEST(DriveList, TestDirectoriesStandInForDrives)
{
    kelvane::test::TempTree a, b;
    const FixedDriveList list = FixedDriveList::fromDirectories({a.root(), b.root()}, 1);
    const auto drives = list.drives();
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[1].root, b.root());
    EXPECT_EQ(list.currentDriveIndex(drives), 1);
    EXPECT_TRUE(driveReady(drives[0].root));
    EXPECT_TRUE(driveReady(drives[0]));
    // A drive whose root is no longer on the file system it was listed on
    // (unmounted) does not answer, though its directory does.
    Drive moved = drives[0];
    moved.rootDev += 1;
    EXPECT_FALSE(driveReady(moved));
    EXPECT_TRUE(driveReady(moved.root));
}

TEST(DiskSpace, CapacityFreeAndCluster)
{
    kelvane::test::TempTree tree;
    const auto space = diskSpace(tree.root());
    ASSERT_TRUE(space.has_value());
    EXPECT_GT(space->capacity, 0);
    EXPECT_GE(space->free, 0);
    EXPECT_LE(space->free, space->capacity);
    EXPECT_GT(space->clusterSize, 0);
    EXPECT_FALSE(diskSpace(tree.path("missing")).has_value());
    EXPECT_FALSE(driveReady(tree.path("missing")));
}

TEST(DiskSpace, RelativeRootIsNotADriveId)
{
    try {
        driveReady("relative/path");
        FAIL() << "no error raised";
    } catch (const DriveError& e) {
        EXPECT_STREQ(e.what(), "Not a valid drive ID");
    }
    EXPECT_THROW(diskSpace(""), DriveError);
}
