#pragma once

#include "common/walkdir.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <stop_token>
#include <string>

namespace kelvane::test {

// Holds a walk before the directories named (every directory below the root
// when no name is given) until released, so that a test can act while a walk
// is known to be running there. Released when it goes, which waits until
// every thread it held has left it.
class WalkGate {
public:
    WalkGate() = default;
    explicit WalkGate(std::string name) : name_(std::move(name)) {}
    ~WalkGate()
    {
        release();
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return inside_ == 0; });
    }
    WalkGate(const WalkGate&) = delete;
    WalkGate& operator=(const WalkGate&) = delete;

    // For WalkOptions::beforeDirectory (or a window's hook of the same kind).
    std::function<void(const WalkDir&)> hook()
    {
        return [this](const WalkDir& dir) {
            if (!dir.isRoot() && (name_.empty() || dir.name() == name_))
                hold();
        };
    }
    // Holds the calling thread until released (for hooks of other kinds: a
    // sort, a content read).
    void hold()
    {
        std::unique_lock lock(mutex_);
        ++waiting_;
        ++inside_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return released_; });
        --inside_;
        changed_.notify_all();
    }
    // How many directories have been held so far.
    int waiting()
    {
        std::lock_guard lock(mutex_);
        return waiting_;
    }
    // Waits until a walk is held at the gate; false after timeout.
    bool waitUntilHeld(std::chrono::milliseconds timeout = std::chrono::seconds(20))
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [this] { return waiting_ > 0; });
    }
    void release()
    {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    const std::string name_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int waiting_ = 0;
    int inside_ = 0; // threads in hold() now
    bool released_ = false;
};

// A hook that requests a stop when a walk reaches the directory named name
// (the walk then stops there when it watches that stop).
inline std::function<void(const WalkDir&)> raiseAt(std::string name, std::stop_source& stop)
{
    return [name = std::move(name), stop](const WalkDir& dir) mutable {
        if (dir.name() == name)
            stop.request_stop();
    };
}

} // namespace kelvane::test
