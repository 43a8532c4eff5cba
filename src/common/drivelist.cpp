#include "common/drivelist.h"

#include "common/displayname.h"
#include "common/mounttable.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane {

int DriveList::currentDriveIndex(const std::vector<Drive>& drives) const
{
    return driveIndexOf(drives, currentDirectory());
}

std::string DriveList::currentDirectory() const
{
    std::string buffer(PATH_MAX, '\0');
    if (getcwd(buffer.data(), buffer.size()) == nullptr)
        return "/";
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

void DriveList::addFolder(const Drive& folder)
{
    for (const Drive& known : folders_) {
        if (known.root == folder.root)
            return;
    }
    folders_.push_back(folder);
}

void DriveList::setStartFolders(const std::vector<Drive>& folders)
{
    startRoots_.clear();
    for (const Drive& folder : folders) {
        addFolder(folder);
        startRoots_.push_back(folder.root);
    }
}

std::vector<Drive> SystemDriveList::drives() const
{
    return systemDrives();
}

FixedDriveList::FixedDriveList(std::vector<Drive> drives, int current)
    : drives_(std::move(drives)), current_(current)
{
}

FixedDriveList FixedDriveList::fromDirectories(const std::vector<std::string>& roots, int current)
{
    std::vector<Drive> drives;
    for (const std::string& root : roots) {
        Drive d;
        d.root = root;
        d.caption = displayName(root);
        d.device = "test";
        d.fsType = "test";
        d.toolTip = QStringLiteral("test drive ") + d.caption;
        // Known as a drive only while it stays on the file system it is on now.
        struct stat st;
        if (::lstat(root.c_str(), &st) == 0)
            d.rootDev = uint64_t(st.st_dev);
        drives.push_back(std::move(d));
    }
    return FixedDriveList(std::move(drives), current);
}

} // namespace kelvane
