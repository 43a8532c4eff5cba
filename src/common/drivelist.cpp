#include "common/drivelist.h"

#include "common/displayname.h"
#include "common/mounttable.h"

#include <climits>
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
        drives.push_back(std::move(d));
    }
    return FixedDriveList(std::move(drives), current);
}

} // namespace kelvane
