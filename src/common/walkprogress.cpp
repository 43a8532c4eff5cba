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

std::vector<std::string> WalkProgress::firstSkipped() const
{
    std::lock_guard lock(mutex_);
    return firstSkipped_;
}

void WalkProgress::addSkipped(const std::string& path)
{
    skipped_.fetch_add(1, std::memory_order_relaxed);
    std::lock_guard lock(mutex_);
    if (firstSkipped_.size() < kFirstSkipped && !path.empty())
        firstSkipped_.push_back(path);
}

void WalkProgress::reset()
{
    entries_ = 0;
    directories_ = 0;
    skipped_ = 0;
    lastUpdateNs_ = 0;
    std::lock_guard lock(mutex_);
    directory_.clear();
    firstSkipped_.clear();
}

} // namespace kelvane
