#include "common/boundpath.h"

#include "common/displayname.h"
#include "common/pathnames.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kelvane {

namespace {

constexpr int kDirFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

BoundPath ended(Binding binding, int error = 0)
{
    BoundPath b;
    b.binding = binding;
    b.error = error;
    return b;
}

// An error met on the way: a link or a non-directory in the place of a
// directory means the tree changed.
Binding bindingOf(int error)
{
    switch (error) {
    case ENOENT:
        return Binding::Gone;
    case ELOOP:
    case ENOTDIR:
    case EXDEV:
        return Binding::Changed;
    default:
        return Binding::Failed;
    }
}

// -1 with errno ENOSYS when openat2 cannot be used here.
int openBeneath(int rootFd, const std::string& relative, bool sameDevice)
{
    static std::atomic<bool> missing{false};
    if (missing || relative.size() >= PATH_MAX) {
        errno = ENOSYS;
        return -1;
    }
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | (sameDevice ? RESOLVE_NO_XDEV : 0);
    for (;;) {
        const int fd = int(::syscall(SYS_openat2, rootFd, relative.c_str(), &how, sizeof how));
        if (fd >= 0)
            return fd;
        if (errno == EAGAIN || errno == EINTR)
            continue; // a rename elsewhere raced the lookup
        if (errno == ENOSYS || errno == EPERM || errno == E2BIG) {
            if (errno == ENOSYS)
                missing = true;
            errno = ENOSYS;
        }
        return -1;
    }
}

} // namespace

BoundPath bindPath(const std::string& path, const FileIdentity& identity, bool content)
{
    const bool fromRoot = identity.rootLength > 0;
    const std::string root = fromRoot ? path.substr(0, identity.rootLength) : std::string("/");
    if (path.size() <= root.size() || path.compare(0, root.size(), root) != 0 || path[0] != '/')
        return ended(Binding::Failed, EINVAL);
    size_t start = root.size();
    while (start < path.size() && path[start] == '/')
        ++start;
    size_t end = path.size();
    while (end > start && path[end - 1] == '/')
        --end;
    const size_t slash = path.rfind('/', end - 1);
    if (end == start || slash == std::string::npos)
        return ended(Binding::Failed, EINVAL);
    std::string name = path.substr(slash + 1, end - slash - 1);
    if (isDotEntry(name))
        return ended(Binding::Failed, EINVAL);

    // The drive root is opened as the scan opened it (it may be a link).
    FileDescriptor dir(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid())
        return ended(errno == ENOENT ? Binding::Gone : Binding::Failed, errno);
    struct stat rootStat;
    if (::fstat(dir.get(), &rootStat) != 0)
        return ended(Binding::Failed, errno);
    const bool sameDevice = fromRoot && identity.known();
    if (sameDevice && rootStat.st_dev != identity.dev)
        return ended(Binding::Changed);

    const std::string between = slash > start ? path.substr(start, slash - start) : std::string();
    if (!between.empty()) {
        const int fd = openBeneath(dir.get(), between, sameDevice);
        if (fd >= 0) {
            dir.reset(fd);
        } else if (errno != ENOSYS) {
            return ended(bindingOf(errno), errno);
        } else {
            size_t pos = 0;
            while (pos < between.size()) {
                size_t next = between.find('/', pos);
                if (next == std::string::npos)
                    next = between.size();
                if (next > pos) {
                    const std::string component = between.substr(pos, next - pos);
                    if (component == "..")
                        return ended(Binding::Changed);
                    if (component != ".") {
                        const int fd = ::openat(dir.get(), component.c_str(), kDirFlags);
                        if (fd < 0)
                            return ended(bindingOf(errno), errno);
                        dir.reset(fd);
                        struct stat st;
                        if (::fstat(dir.get(), &st) != 0)
                            return ended(Binding::Failed, errno);
                        if (sameDevice && st.st_dev != identity.dev)
                            return ended(Binding::Changed);
                    }
                }
                pos = next + 1;
            }
        }
    }

    BoundPath b;
    b.name = std::move(name);
    b.parent = std::move(dir);
    if (::fstatat(b.parent.get(), b.name.c_str(), &b.st, AT_SYMLINK_NOFOLLOW) != 0) {
        b.error = errno;
        b.binding = errno == ENOENT ? Binding::Gone : Binding::Failed;
        return b;
    }
    if (identity.known() && !(content ? identity.unchanged(b.st) : identity.sameObject(b.st)))
        b.binding = Binding::Changed;
    else
        b.binding = Binding::Same;
    return b;
}

bool stillBound(const BoundPath& bound)
{
    struct stat st;
    return bound.binding == Binding::Same &&
           ::fstatat(bound.parent.get(), bound.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
           st.st_dev == bound.st.st_dev && st.st_ino == bound.st.st_ino;
}

QString changedSinceScanText(const std::string& path)
{
    return displayName(path) + QStringLiteral(" has changed since the scan; scan again");
}

FileDescriptor openBoundObject(int dirFd, const std::string& name, dev_t dev, ino_t ino)
{
    FileDescriptor fd(::openat(dirFd, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid())
        return fd;
    struct stat st;
    if (::fstat(fd.get(), &st) != 0)
        return FileDescriptor();
    if (st.st_dev != dev || st.st_ino != ino) {
        errno = ESTALE;
        return FileDescriptor();
    }
    return fd;
}

int changeModeOf(int pathFd, mode_t mode)
{
    // The descriptor's own entry in /proc leads to that very inode, never
    // through a name that could have been swapped meanwhile.
    const std::string link = "/proc/self/fd/" + std::to_string(pathFd);
    if (::chmod(link.c_str(), mode) == 0)
        return 0;
    return errno == ENOENT ? ENOTSUP : errno; // no /proc: nothing is changed by name instead
}

} // namespace kelvane
