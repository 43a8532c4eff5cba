#include "common/filedescriptor.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>

namespace kelvane {

FileDescriptor openCheckedDirectory(int dirFd, const char* name, dev_t dev, ino_t ino)
{
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY;
    FileDescriptor fd(::openat(dirFd, name, kFlags));
    struct stat st;
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0)
        return FileDescriptor();
    if (st.st_dev != dev || st.st_ino != ino) { // replaced since it was looked at
        errno = ESTALE;
        return FileDescriptor();
    }
    return fd;
}

FileDescriptor openStepwise(const std::string& path, int dirFlags, int lastFlags)
{
    FileDescriptor dir(::open(!path.empty() && path[0] == '/' ? "/" : ".", dirFlags));
    size_t pos = 0;
    while (dir.valid()) {
        while (pos < path.size() && path[pos] == '/')
            ++pos;
        const size_t end = path.find('/', pos);
        const std::string name = path.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (name.empty())
            return dir; // nothing but separators left
        const bool last = end == std::string::npos || path.find_first_not_of('/', end) == std::string::npos;
        FileDescriptor next(::openat(dir.get(), name.c_str(), last ? lastFlags : dirFlags));
        const int saved = errno; // closing the directory must not hide why the open failed
        dir.reset();
        errno = saved;
        if (last || !next.valid())
            return next;
        dir = std::move(next);
        pos = end;
    }
    return dir;
}

FileDescriptor openDirectoryPath(const std::string& path)
{
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY;
    if (path.empty()) {
        errno = ENOENT;
        return FileDescriptor();
    }
    if (path.size() < PATH_MAX)
        return FileDescriptor(::open(path.c_str(), kFlags));
    return openStepwise(path, kFlags, kFlags);
}

} // namespace kelvane
