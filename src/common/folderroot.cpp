#include "common/folderroot.h"

#include "common/displayname.h"
#include "common/filedescriptor.h"
#include "common/mounttable.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane {

std::optional<Drive> folderRoot(const std::string& path, std::string* why)
{
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) {
        *why = errno == ENOTDIR ? "not a directory" : std::strerror(errno);
        return std::nullopt;
    }
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) {
        *why = std::strerror(errno);
        return std::nullopt;
    }
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real) {
        *why = std::strerror(errno);
        return std::nullopt;
    }
    Drive folder;
    folder.root = real.get();
    folder.caption = displayName(folder.root);
    folder.folder = true;
    // Known as this folder only while its path leads to the same file system.
    folder.rootDev = uint64_t(st.st_dev);
    const std::vector<Drive> drives = systemDrives();
    const int holder = driveIndexOf(drives, folder.root);
    folder.toolTip = holder >= 0 ? QStringLiteral("folder on ") + drives[size_t(holder)].caption +
                                       QLatin1Char('\n') + drives[size_t(holder)].toolTip
                                 : QStringLiteral("folder");
    if (holder >= 0) {
        folder.device = drives[size_t(holder)].device;
        folder.fsType = drives[size_t(holder)].fsType;
        folder.label = drives[size_t(holder)].label;
    }
    return folder;
}

} // namespace kelvane
