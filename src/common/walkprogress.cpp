#include "common/walkprogress.h"

#include <chrono>

namespace kelvane {

namespace {

constexpr int64_t kUpdateIntervalNs = 20'000'000;

int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

std::string WalkProgress::currentDirectory() const
{
    std::lock_guard lock(mutex_);
    return directory_;
}

bool WalkProgress::directoryDue() const
{
    return nowNs() - lastUpdateNs_.load(std::memory_order_relaxed) >= kUpdateIntervalNs;
}

void WalkProgress::setDirectory(std::string path)
{
    lastUpdateNs_.store(nowNs(), std::memory_order_relaxed);
    std::lock_guard lock(mutex_);
    directory_ = std::move(path);
}

void WalkProgress::reset()
{
    entries_ = 0;
    directories_ = 0;
    lastUpdateNs_ = 0;
    std::lock_guard lock(mutex_);
    directory_.clear();
}

} // namespace kelvane
