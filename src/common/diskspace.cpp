#include "common/diskspace.h"

#include <condition_variable>
#include <memory>
#include <mutex>
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

} // namespace

std::optional<DiskSpace> diskSpace(const std::string& root, std::chrono::milliseconds timeout)
{
    if (root.empty() || root[0] != '/')
        throw DriveError("Not a valid drive ID");
    auto query = std::make_shared<Query>();
    // A detached thread: if statvfs never returns, only that thread waits.
    std::thread([query, root] {
        struct statvfs vfs;
        std::optional<DiskSpace> result;
        if (::statvfs(root.c_str(), &vfs) == 0) {
            const int64_t fragment = int64_t(vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize);
            result = DiskSpace{fragment * int64_t(vfs.f_blocks), fragment * int64_t(vfs.f_bavail), fragment};
        }
        std::lock_guard lock(query->mutex);
        query->result = result;
        query->finished = true;
        query->done.notify_all();
    }).detach();
    std::unique_lock lock(query->mutex);
    if (!query->done.wait_for(lock, timeout, [&] { return query->finished; }))
        return std::nullopt;
    return query->result;
}

bool driveReady(const std::string& root)
{
    return diskSpace(root).has_value();
}

} // namespace kelvane
