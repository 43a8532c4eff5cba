#pragma once

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kelvane {

// A stack of work items served by a fixed number of threads: run() starts
// with one item and returns once every item, including those the handler
// pushed meanwhile, has been handled. The newest item goes first, so the
// threads stay together near the most recently found part of the work.
//
// The threads are plain ones, not the task scheduler's: a handler may block
// in the kernel (a directory read from disk) without taking a core from the
// threads that compute.
//
// A handler that throws (out of memory) or a thread that cannot start ends
// the run: the items left are dropped and run() rethrows the first failure.
template <class Item> class WorkStack {
public:
    explicit WorkStack(int threads) : threads_(threads < 1 ? 1 : threads) {}

    void run(Item first, const std::function<void(Item)>& handle)
    {
        items_.push_back(first);
        std::vector<std::thread> pool;
        try {
            pool.reserve(size_t(threads_ - 1));
            for (int i = 1; i < threads_; ++i)
                pool.emplace_back([&] { serve(handle); });
        } catch (...) {
            fail(std::current_exception());
        }
        serve(handle);
        for (std::thread& t : pool)
            t.join();
        if (failure_)
            std::rethrow_exception(failure_);
    }

    // Items pushed at once are handled first to last.
    void push(const std::vector<Item>& items)
    {
        if (items.empty())
            return;
        size_t wakers;
        {
            std::lock_guard lock(mutex_);
            items_.insert(items_.end(), items.rbegin(), items.rend());
            wakers = std::min(items.size(), size_t(idle_));
        }
        // One idle thread per new item: waking them all on a narrow, deep tree
        // costs more in futex calls than the reads themselves.
        for (size_t i = 0; i < wakers; ++i)
            wake_.notify_one();
    }

private:
    void fail(std::exception_ptr failure)
    {
        {
            std::lock_guard lock(mutex_);
            if (!failure_)
                failure_ = failure;
        }
        wake_.notify_all();
    }

    void serve(const std::function<void(Item)>& handle)
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (failure_)
                return;
            if (items_.empty()) {
                if (++idle_ == threads_) { // nothing left and nobody to push more
                    wake_.notify_all();
                    return;
                }
                wake_.wait(lock, [&] { return !items_.empty() || idle_ == threads_ || failure_; });
                if (items_.empty() || failure_)
                    return;
                --idle_;
            }
            Item item = items_.back();
            items_.pop_back();
            lock.unlock();
            try {
                handle(item);
            } catch (...) {
                fail(std::current_exception());
            }
            lock.lock();
        }
    }

    const int threads_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Item> items_;
    int idle_ = 0;
    std::exception_ptr failure_;
};

} // namespace kelvane
