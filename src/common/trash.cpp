#include "common/trash.h"

#include "common/boundpath.h"
#include "common/filedescriptor.h"
#include "common/mounttable.h"
#include "common/pathnames.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane {

namespace {

constexpr int kDirOpen = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr size_t kNameMax = 255;
const char kInfoSuffix[] = ".trashinfo";

// A Trash directory found or made, with its two subdirectories open.
struct TrashDir {
    std::string path;
    std::string topdir; // empty for the home Trash
    FileDescriptor files;
    FileDescriptor info;
    dev_t dev = 0;
};

// Opens (making it when missing, mode 0700) a directory name of dirFd that
// must be a real directory and the user's own.
FileDescriptor openOwnDirectory(int dirFd, const char* name)
{
    FileDescriptor fd(::openat(dirFd, name, kDirOpen));
    if (!fd.valid() && errno == ENOENT) {
        if (::mkdirat(dirFd, name, 0700) != 0 && errno != EEXIST)
            return fd;
        fd.reset(::openat(dirFd, name, kDirOpen));
    }
    struct stat st;
    if (fd.valid() && (::fstat(fd.get(), &st) != 0 || st.st_uid != ::getuid())) {
        errno = EPERM;
        return FileDescriptor();
    }
    return fd;
}

// files/ and info/ of an open Trash directory.
bool openParts(TrashDir& trash, int trashFd)
{
    trash.files = openOwnDirectory(trashFd, "files");
    trash.info = openOwnDirectory(trashFd, "info");
    struct stat st;
    if (!trash.files.valid() || !trash.info.valid() || ::fstat(trash.files.get(), &st) != 0)
        return false;
    trash.dev = st.st_dev;
    return true;
}

// Makes the directories of a path that are missing (for $XDG_DATA_HOME).
bool makePath(const std::string& path)
{
    std::string partial;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        partial = path.substr(0, pos);
        if (!partial.empty() && ::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

bool homeTrash(TrashDir& trash)
{
    const std::string path = homeTrashPath();
    const auto [parent, name] = splitPath(path);
    if (!makePath(parent))
        return false;
    FileDescriptor parentFd(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parentFd.valid())
        return false;
    const FileDescriptor trashFd = openOwnDirectory(parentFd.get(), name.c_str());
    if (!trashFd.valid())
        return false;
    trash.path = path;
    return openParts(trash, trashFd.get());
}

// $topdir/.Trash/$uid when .Trash is a sticky directory (not a link), else
// $topdir/.Trash-$uid.
bool topdirTrash(TrashDir& trash, const std::string& topdir)
{
    FileDescriptor top(::open(topdir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!top.valid())
        return false;
    const std::string uid = std::to_string(::getuid());
    const std::string base = topdir == "/" ? std::string() : topdir;
    struct stat st;
    if (::fstatat(top.get(), ".Trash", &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode) &&
        (st.st_mode & S_ISVTX)) {
        FileDescriptor shared(::openat(top.get(), ".Trash", kDirOpen));
        if (shared.valid()) {
            const FileDescriptor own = openOwnDirectory(shared.get(), uid.c_str());
            if (own.valid() && openParts(trash, own.get())) {
                trash.path = base + "/.Trash/" + uid;
                trash.topdir = topdir;
                return true;
            }
        }
    }
    const std::string name = ".Trash-" + uid;
    const FileDescriptor own = openOwnDirectory(top.get(), name.c_str());
    if (!own.valid() || !openParts(trash, own.get()))
        return false;
    trash.path = base + "/" + name;
    trash.topdir = topdir;
    return true;
}

std::string trashInfo(const std::string& shownPath, const QDateTime& when)
{
    return "[Trash Info]\nPath=" + percentEncodePath(shownPath) +
           "\nDeletionDate=" + when.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toStdString() + "\n";
}

// Writes info/NAME.trashinfo, created exclusively; false with errno EEXIST
// when the name is taken.
bool writeInfo(int infoFd, const std::string& name, const std::string& text)
{
    const std::string file = name + kInfoSuffix;
    FileDescriptor fd(
        ::openat(infoFd, file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.valid())
        return false;
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd.get(), text.data() + done, text.size() - done);
        if (n < 0) {
            const int error = errno;
            ::unlinkat(infoFd, file.c_str(), 0);
            errno = error;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

// A candidate name for files/: the original, then "name.2", "name.3", ...,
// short enough for the info file's suffix.
std::string candidateName(const std::string& name, int attempt)
{
    // Appended rather than "." + to_string(): GCC 12 at -O3 misreads the
    // latter as an overlapping copy (-Wrestrict).
    std::string suffix;
    if (attempt > 1)
        suffix.append(1, '.').append(std::to_string(attempt));
    const size_t room = kNameMax - (sizeof kInfoSuffix - 1) - suffix.size();
    return name.substr(0, std::min(name.size(), room)) + suffix;
}

} // namespace

std::string homeTrashPath()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return std::string(data) + "/Trash";
    const char* home = std::getenv("HOME");
    return std::string(home && home[0] ? home : "/") + "/.local/share/Trash";
}

std::string mountPointOf(const std::string& path)
{
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    std::string best = "/";
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, devNumbers, root, mountPoint;
        if (!(fields >> id >> parent >> devNumbers >> root >> mountPoint))
            continue;
        const std::string point = unescapeMountField(mountPoint);
        const bool holds =
            point == "/" || (path.size() > point.size() && path.compare(0, point.size(), point) == 0 &&
                             path[point.size()] == '/');
        if (holds && point.size() > best.size())
            best = point;
    }
    return best;
}

std::string percentEncodePath(std::string_view path)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '_' || c == '.' || c == '~' || c == '/';
        if (plain) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return out;
}

std::string percentDecode(std::string_view text)
{
    auto value = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && value(text[i + 1]) >= 0 && value(text[i + 2]) >= 0) {
            out.push_back(char(value(text[i + 1]) * 16 + value(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

TrashOutcome moveToTrash(const std::string& path, const FileIdentity& scanned, bool content,
                         const QDateTime& when)
{
    TrashOutcome out;
    const BoundPath bound = bindPath(path, scanned, content);
    if (const auto stay = stayOfBinding(bound)) {
        out.reason = stay->reason;
        out.error = stay->error;
        return out;
    }
    const std::string original = withoutTrailingSlashes(path);

    // The home Trash when it is on the same file system, else the mount's own.
    int lastError = EXDEV;
    for (int which = 0; which < 2; ++which) {
        TrashDir trash;
        if (which == 0) {
            if (!homeTrash(trash) || trash.dev != bound.st.st_dev)
                continue;
        } else {
            const std::string topdir = mountPointOf(original);
            if (!topdirTrash(trash, topdir) || trash.dev != bound.st.st_dev) {
                lastError = errno ? errno : EXDEV;
                continue;
            }
        }
        std::string shown = original;
        if (!trash.topdir.empty() && trash.topdir != "/")
            shown = original.substr(trash.topdir.size() + 1); // relative to the topdir
        else if (!trash.topdir.empty())
            shown = original.substr(1);
        const std::string info = trashInfo(shown, when);
        for (int attempt = 1; attempt < 10000; ++attempt) {
            const std::string name = candidateName(bound.name, attempt);
            if (!writeInfo(trash.info.get(), name, info)) {
                if (errno == EEXIST)
                    continue;
                lastError = errno;
                break;
            }
            const std::string infoFile = name + kInfoSuffix;
            if (!stillBound(bound)) {
                ::unlinkat(trash.info.get(), infoFile.c_str(), 0);
                out.reason = StayReason::ChangedSinceScan;
                return out;
            }
            if (::renameat2(bound.parent.get(), bound.name.c_str(), trash.files.get(), name.c_str(),
                            RENAME_NOREPLACE) != 0) {
                lastError = errno;
                ::unlinkat(trash.info.get(), infoFile.c_str(), 0);
                if (lastError == EEXIST)
                    continue;
                break;
            }
            // Moved: the very object bound, or it goes back where it was.
            struct stat moved;
            if (::fstatat(trash.files.get(), name.c_str(), &moved, AT_SYMLINK_NOFOLLOW) != 0 ||
                moved.st_dev != bound.st.st_dev || moved.st_ino != bound.st.st_ino) {
                ::renameat2(trash.files.get(), name.c_str(), bound.parent.get(), bound.name.c_str(),
                            RENAME_NOREPLACE);
                ::unlinkat(trash.info.get(), infoFile.c_str(), 0);
                out.reason = StayReason::ChangedSinceScan;
                return out;
            }
            out.trashed = true;
            out.bytes = S_ISDIR(bound.st.st_mode) ? 0 : int64_t(bound.st.st_size);
            out.trashDir = trash.path;
            out.trashName = name;
            return out;
        }
        if (lastError != EXDEV)
            break;
    }
    out.error = lastError;
    out.reason = lastError == EACCES || lastError == EPERM || lastError == EROFS ? StayReason::Permission
                 : lastError == EBUSY                                            ? StayReason::MountPoint
                                                                                 : StayReason::Other;
    return out;
}

} // namespace kelvane
