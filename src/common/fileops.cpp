#include "common/fileops.h"

#include "common/boundpath.h"

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

} // namespace

OpResult OpResult::failure(int error, const QString& message)
{
    return OpResult{error, message.isEmpty() ? errorText(error) : message};
}

std::optional<std::vector<Entry>> listDirectory(const std::string& dir, uint32_t request, int* error)
{
    FileDescriptor fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* d = fd.valid() ? ::fdopendir(fd.get()) : nullptr;
    if (!d) {
        if (error)
            *error = errno;
        return std::nullopt;
    }
    const int dirFd = fd.release(); // closedir owns it now
    std::vector<Entry> entries;
    errno = 0;
    while (dirent* de = ::readdir(d)) {
        struct stat st;
        if (::fstatat(dirFd, de->d_name, &st, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0)
            continue; // vanished since it was listed
        Entry e;
        fillEntry(e, de->d_name, st);
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
    Entry e;
    fillEntry(e, splitPath(path).second.c_str(), st);
    return e;
}

FileOutcome deleteBoundFile(const std::string& path, const FileIdentity& scanned, bool content)
{
    FileOutcome out;
    const BoundPath bound = bindPath(path, scanned, content);
    if (const auto stay = stayOfBinding(bound)) {
        out.reason = stay->reason;
        out.error = stay->error;
        return out;
    }
    if (S_ISDIR(bound.st.st_mode)) {
        out.error = EISDIR;
        return out;
    }
    if (attributesOf(bound.name.c_str(), bound.st.st_mode) & kAttrReadOnly) {
        out.reason = StayReason::ReadOnly;
        out.error = EACCES;
        return out;
    }
    if (!stillBound(bound)) {
        out.reason = StayReason::ChangedSinceScan;
        return out;
    }
    if (::unlinkat(bound.parent.get(), bound.name.c_str(), 0) != 0) {
        out.error = errno;
        out.reason = failureReason(out.error, bound.parent.get(), bound.name.c_str());
        return out;
    }
    out.deleted = true;
    out.bytesFreed = bound.st.st_nlink > 1 ? 0 : int64_t(bound.st.st_size);
    out.diskFreed = bound.st.st_nlink > 1 ? 0 : int64_t(bound.st.st_blocks) * 512;
    return out;
}

OpResult deleteFile(const std::string& path)
{
    const FileOutcome out = deleteBoundFile(path, FileIdentity{}, false);
    if (out.deleted)
        return {};
    switch (out.reason) {
    case StayReason::ReadOnly:
        return OpResult::failure(EACCES, QStringLiteral("The file is read-only"));
    case StayReason::ChangedSinceScan:
        return OpResult::failure(ELOOP, QStringLiteral("A link is on the way to the file"));
    default:
        return OpResult::failure(out.error ? out.error : EINVAL);
    }
}

OpResult removeDirectory(const std::string& path)
{
    const BoundPath bound = bindPath(path, FileIdentity{});
    if (bound.binding != Binding::Same)
        return OpResult::failure(bound.error ? bound.error : ELOOP);
    if (::unlinkat(bound.parent.get(), bound.name.c_str(), AT_REMOVEDIR) != 0)
        return OpResult::failure(errno);
    return {};
}

OpResult setAttributes(const std::string& path, uint32_t attr, const FileIdentity& identity)
{
    const BoundPath bound = bindPath(path, identity);
    if (bound.binding == Binding::Changed)
        return OpResult::failure(ESTALE, changedSinceScanText(path));
    if (bound.binding != Binding::Same)
        return OpResult::failure(bound.error ? bound.error : EINVAL);
    if (S_ISLNK(bound.st.st_mode))
        return {};
    const FileDescriptor fd =
        openBoundObject(bound.parent.get(), bound.name, bound.st.st_dev, bound.st.st_ino);
    if (!fd.valid()) {
        const int error = errno;
        return OpResult::failure(error, error == ESTALE ? changedSinceScanText(path) : QString());
    }
    struct stat st;
    if (::fstat(fd.get(), &st) != 0)
        return OpResult::failure(errno);
    mode_t mode = st.st_mode & 07777;
    if (attr & kAttrReadOnly)
        mode &= ~mode_t(0222);
    else if ((mode & 0222) == 0)
        mode |= 0200;
    if (mode != (st.st_mode & 07777)) {
        if (const int error = changeModeOf(fd.get(), mode))
            return OpResult::failure(error);
    }
    return {};
}

} // namespace kelvane
