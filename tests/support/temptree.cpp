#include "support/temptree.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kelvane::test {

namespace {

[[noreturn]] void fail(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::to_string(errno));
}

std::vector<std::string> namesIn(int fd)
{
    std::vector<std::string> names;
    const int copy = ::dup(fd);
    DIR* d = ::fdopendir(copy);
    if (!d)
        return names;
    // The copy shares the read position with fd: start every listing afresh.
    ::rewinddir(d);
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(d);
    return names;
}

} // namespace

TempTree::TempTree()
    : TempTree(std::getenv("TMPDIR") && *std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp")
{
}

TempTree::TempTree(const std::string& base)
{
    std::string pattern = base + "/kelvane-test-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        fail("mkdtemp");
    root_ = pattern;
}

TempTree::~TempTree()
{
    removeTree(root_);
}

std::string TempTree::path(std::string_view relative) const
{
    return relative.empty() ? root_ : root_ + "/" + std::string(relative);
}

std::string TempTree::dir(std::string_view relative)
{
    std::string full = path(relative);
    for (size_t pos = root_.size() + 1; pos <= full.size(); ++pos) {
        if (pos == full.size() || full[pos] == '/') {
            const std::string part = full.substr(0, pos);
            if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
                fail("mkdir " + part);
        }
    }
    return full;
}

std::string TempTree::file(std::string_view relative, int64_t size, unsigned mode, int64_t mtime)
{
    const std::string full = path(relative);
    const auto slash = relative.rfind('/');
    if (slash != std::string_view::npos)
        dir(relative.substr(0, slash));
    const int fd = ::open(full.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        fail("create " + full);
    if (size > 0 && ::ftruncate(fd, size) != 0)
        fail("ftruncate " + full);
    ::close(fd);
    if (::chmod(full.c_str(), mode) != 0)
        fail("chmod " + full);
    if (mtime != 0)
        setMtime(full, mtime);
    return full;
}

std::string TempTree::symlink(std::string_view relative, const std::string& target)
{
    const std::string full = path(relative);
    if (::symlink(target.c_str(), full.c_str()) != 0)
        fail("symlink " + full);
    return full;
}

std::string TempTree::fifo(std::string_view relative)
{
    const std::string full = path(relative);
    if (::mkfifo(full.c_str(), 0644) != 0)
        fail("mkfifo " + full);
    return full;
}

bool exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

unsigned modeOf(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

void setMtime(const std::string& path, int64_t secondsSinceEpoch)
{
    struct timespec times[2];
    times[0].tv_sec = time_t(secondsSinceEpoch);
    times[0].tv_nsec = 0;
    times[1] = times[0];
    if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        fail("utimensat " + path);
}

int64_t localTime(int year, int month, int day, int hour, int minute, int second)
{
    struct tm tm = {};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return int64_t(::mktime(&tm));
}

void removeTree(const std::string& path)
{
    ::chmod(path.c_str(), 0700);
    const int top = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (top < 0) {
        ::unlink(path.c_str());
        return;
    }
    unsigned long moved = 0;
    for (bool again = true; again;) {
        again = false;
        for (const std::string& name : namesIn(top)) {
            struct stat st;
            if (::fstatat(top, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (!S_ISDIR(st.st_mode)) {
                ::unlinkat(top, name.c_str(), 0);
                continue;
            }
            ::fchmodat(top, name.c_str(), 0700, 0);
            const int fd = ::openat(top, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (fd >= 0) {
                for (const std::string& inner : namesIn(fd)) {
                    struct stat ist;
                    if (::fstatat(fd, inner.c_str(), &ist, AT_SYMLINK_NOFOLLOW) == 0 &&
                        S_ISDIR(ist.st_mode)) {
                        const std::string fresh = "moved." + std::to_string(++moved);
                        ::renameat(fd, inner.c_str(), top, fresh.c_str());
                        again = true;
                    } else {
                        ::unlinkat(fd, inner.c_str(), 0);
                    }
                }
                ::close(fd);
            }
            ::unlinkat(top, name.c_str(), AT_REMOVEDIR);
        }
    }
    ::close(top);
    ::rmdir(path.c_str());
}

std::string fastTempBase()
{
    return ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
}

int openDescriptorCount()
{
    int count = 0;
    DIR* d = ::opendir("/proc/self/fd");
    if (!d)
        return -1;
    while (dirent* e = ::readdir(d)) {
        if (e->d_name[0] != '.')
            ++count;
    }
    ::closedir(d);
    return count - 1; // the listing's own descriptor
}

void makeComb(const std::string& root, int levels)
{
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < levels; ++i) {
        if (fd < 0 || ::mkdirat(fd, "a", 0755) != 0 || ::mkdirat(fd, "b", 0755) != 0)
            fail("comb level " + std::to_string(i));
        const int file = ::openat(fd, "b/f", O_CREAT | O_WRONLY, 0644);
        if (file < 0)
            fail("comb file");
        ::close(file);
        const int next = ::openat(fd, "a", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ::close(fd);
}

} // namespace kelvane::test
