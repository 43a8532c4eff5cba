#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace kelvane {

// Progress of a running walk, written by the walk's threads and readable at any
// time from another thread (the window polls it a few times a second).
class WalkProgress {
public:
    uint64_t entries() const { return entries_.load(std::memory_order_relaxed); }
    uint64_t directories() const { return directories_.load(std::memory_order_relaxed); }
    // The directory walked most recently (updated at most every few ms).
    std::string currentDirectory() const;
    // Directories that could not be read, and the paths of the first of them.
    uint64_t skipped() const { return skipped_.load(std::memory_order_relaxed); }
    std::vector<std::string> firstSkipped() const;
    static constexpr size_t kFirstSkipped = 10;

    // Writer side, used by the walk.
    void addEntries(uint64_t n) { entries_.fetch_add(n, std::memory_order_relaxed); }
    void addDirectory() { directories_.fetch_add(1, std::memory_order_relaxed); }
    // True when the shown directory is due for an update.
    bool directoryDue() const;
    void setDirectory(std::string path);
    void addSkipped(const std::string& path);
    void reset();

private:
    std::atomic<uint64_t> entries_{0};
    std::atomic<uint64_t> directories_{0};
    std::atomic<uint64_t> skipped_{0};
    std::atomic<int64_t> lastUpdateNs_{0};
    mutable std::mutex mutex_;
    std::string directory_;
    std::vector<std::string> firstSkipped_;
};

} // namespace kelvane
