#include "dirhog/directorypath.h"

#include "common/fileops.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace kelvane {

namespace {

constexpr int kOpenFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY;

} // namespace

FileDescriptor openDirectoryPath(const std::string& path)
{
    if (path.empty()) {
        errno = ENOENT;
        return FileDescriptor();
    }
    if (path.size() < PATH_MAX)
        return FileDescriptor(::open(path.c_str(), kOpenFlags));
    FileDescriptor current(::open(path[0] == '/' ? "/" : ".", kOpenFlags));
    size_t pos = 0;
    while (current.valid() && pos < path.size()) {
        const size_t end = std::min(path.find('/', pos), path.size());
        if (end > pos) {
            const std::string name = path.substr(pos, end - pos);
            current.reset(::openat(current.get(), name.c_str(), kOpenFlags));
        }
        pos = end + 1;
    }
    return current;
}

std::pair<std::string, std::string> parentAndName(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path == "/")
        return {path, std::string()};
    return splitPath(path);
}

} // namespace kelvane
