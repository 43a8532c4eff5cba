#include "common/readworkers.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace kelvane {

int defaultReadThreads()
{
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    return std::clamp(4 * cores, 8, 64);
}

void forEachOnReadThreads(size_t count, int threads, const std::function<void(size_t)>& work,
                          std::stop_token stop)
{
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr error;
    std::mutex errorMutex;
    auto loop = [&] {
        for (;;) {
            if (failed.load(std::memory_order_relaxed) || stop.stop_requested())
                return;
            const size_t i = next.fetch_add(1, std::memory_order_relaxed);
            if (i >= count)
                return;
            try {
                work(i);
            } catch (...) {
                std::lock_guard lock(errorMutex);
                if (!error)
                    error = std::current_exception();
                failed = true;
                return;
            }
        }
    };
    const size_t helpers = std::min(size_t(std::max(threads, 1) - 1), count > 0 ? count - 1 : 0);
    std::vector<std::jthread> pool;
    try {
        pool.reserve(helpers);
        for (size_t t = 0; t < helpers; ++t)
            pool.emplace_back(loop);
    } catch (const std::system_error&) {
        // Fewer threads than asked: the started ones and this one do it all.
    } catch (const std::bad_alloc&) {
    }
    loop();
    pool.clear(); // joins
    if (error)
        std::rethrow_exception(error);
}

} // namespace kelvane
