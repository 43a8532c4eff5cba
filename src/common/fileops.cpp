#include "common/fileops.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane {

namespace {

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

Entry entryOf(std::string name, const struct stat& st)
{
    Entry e;
    e.attr = attributesOf(name.c_str(), st.st_mode);
    e.name = std::move(name);
    e.mode = st.st_mode;
    e.size = int64_t(st.st_size);
    e.mtime = int64_t(st.st_mtime);
    e.dev = st.st_dev;
    e.ino = st.st_ino;
    return e;
}

// Closes a descriptor when leaving scope.
struct Fd {
    int fd;
    explicit Fd(int f) : fd(f) {}
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
};

} // namespace

OpResult OpResult::failure(int error, const QString& message)
{
    return OpResult{error, message.isEmpty() ? errorText(error) : message};
}

std::pair<std::string, std::string> splitPath(const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const size_t slash = trimmed.rfind('/');
    if (slash == std::string::npos)
        return {".", trimmed};
    if (slash == 0)
        return {"/", trimmed.substr(1)};
    return {trimmed.substr(0, slash), trimmed.substr(slash + 1)};
}

std::string joinPath(const std::string& parent, std::string_view name)
{
    std::string path = parent;
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    path.append(name);
    return path;
}

std::optional<std::vector<Entry>> listDirectory(const std::string& dir, uint32_t request, int* error)
{
    Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.fd < 0) {
        if (error)
            *error = errno;
        return std::nullopt;
    }
    DIR* d = ::fdopendir(fd.fd);
    if (!d) {
        if (error)
            *error = errno;
        return std::nullopt;
    }
    const int dirFd = fd.fd;
    fd.fd = -1; // closedir owns it now
    std::vector<Entry> entries;
    errno = 0;
    while (dirent* de = ::readdir(d)) {
        struct stat st;
        if (::fstatat(dirFd, de->d_name, &st, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0)
            continue; // vanished since it was listed
        Entry e = entryOf(de->d_name, st);
        if (passesAttributeFilter(e.attr, request))
            entries.push_back(std::move(e));
    }
    ::closedir(d);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

std::optional<Entry> lookupFile(const std::string& path, int* error)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) {
        if (error)
            *error = errno;
        return std::nullopt;
    }
    return entryOf(splitPath(path).second, st);
}

OpResult deleteFile(const std::string& path)
{
    const auto [parent, name] = splitPath(path);
    if (name.empty() || name == "." || name == "..")
        return OpResult::failure(EINVAL, QStringLiteral("Not a file name"));
    Fd dir(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd < 0)
        return OpResult::failure(errno);
    struct stat st;
    if (::fstatat(dir.fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return OpResult::failure(errno);
    if (S_ISDIR(st.st_mode))
        return OpResult::failure(EISDIR);
    if (attributesOf(name.c_str(), st.st_mode) & kAttrReadOnly)
        return OpResult::failure(EACCES, QStringLiteral("The file is read-only"));
    if (::unlinkat(dir.fd, name.c_str(), 0) != 0)
        return OpResult::failure(errno);
    return {};
}

OpResult removeDirectory(const std::string& path)
{
    if (::rmdir(path.c_str()) != 0)
        return OpResult::failure(errno);
    return {};
}

OpResult setAttributes(const std::string& path, uint32_t attr)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return OpResult::failure(errno);
    if (S_ISLNK(st.st_mode))
        return {};
    mode_t mode = st.st_mode & 07777;
    if (attr & kAttrReadOnly)
        mode &= ~mode_t(0222);
    else if ((mode & 0222) == 0)
        mode |= 0200;
    if (mode != (st.st_mode & 07777) && ::fchmodat(AT_FDCWD, path.c_str(), mode, 0) != 0)
        return OpResult::failure(errno);
    return {};
}

} // namespace kelvane
