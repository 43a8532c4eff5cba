#include "common/diskspace.h"

#include "common/mounttable.h"

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <thread>

namespace kelvane {

namespace {

struct Query {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::optional<DiskSpace> result;
};

std::optional<DiskSpace> statvfsOf(const std::string& root)
{
    struct statvfs vfs;
    if (::statvfs(root.c_str(), &vfs) != 0)
        return std::nullopt;
    const int64_t fragment = int64_t(vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize);
    DiskSpace space;
    space.capacity = fragment * int64_t(vfs.f_blocks);
    space.free = fragment * int64_t(vfs.f_bavail);
    space.reserved = fragment * int64_t(vfs.f_bfree > vfs.f_bavail ? vfs.f_bfree - vfs.f_bavail : 0);
    space.clusterSize = fragment;
    return space;
}

// Runs query on a detached thread: if it never returns, only that thread waits.
std::optional<DiskSpace> withTimeout(std::function<std::optional<DiskSpace>()> query,
                                     std::chrono::milliseconds timeout)
{
    auto state = std::make_shared<Query>();
    std::thread([state, query = std::move(query)] {
        std::optional<DiskSpace> result = query();
        std::lock_guard lock(state->mutex);
        state->result = result;
        state->finished = true;
        state->done.notify_all();
    }).detach();
    std::unique_lock lock(state->mutex);
    if (!state->done.wait_for(lock, timeout, [&] { return state->finished; }))
        return std::nullopt;
    return state->result;
}

void checkRoot(const std::string& root)
{
    if (root.empty() || root[0] != '/')
        throw DriveError("Not a valid drive ID");
}

} // namespace

std::optional<DiskSpace> diskSpace(const std::string& root, std::chrono::milliseconds timeout)
{
    checkRoot(root);
    return withTimeout([root] { return statvfsOf(root); }, timeout);
}

std::optional<DiskSpace> diskSpace(const Drive& drive, std::chrono::milliseconds timeout)
{
    checkRoot(drive.root);
    return withTimeout(
        [drive] {
            if (!stillMounted(drive))
                return std::optional<DiskSpace>();
            if (drive.rootDev != 0) {
                struct stat st;
                if (::lstat(drive.root.c_str(), &st) != 0 || uint64_t(st.st_dev) != drive.rootDev)
                    return std::optional<DiskSpace>();
            }
            return statvfsOf(drive.root);
        },
        timeout);
}

bool driveReady(const std::string& root)
{
    return diskSpace(root).has_value();
}

bool driveReady(const Drive& drive)
{
    return diskSpace(drive).has_value();
}

} // namespace kelvane
