#pragma once

#include <cstddef>
#include <functional>
#include <stop_token>

namespace kelvane {

// Reads in flight for a cold cache or a network share: each reading thread
// mostly waits for the disk, so there are several per core.
int defaultReadThreads();

// Calls work(i) for every i below count on up to `threads` threads (the
// calling thread is one of them), handing out indices in ascending order, so
// that work given in a chosen order starts in that order. Stops handing out
// indices once a stop is requested. A thread that cannot be started leaves its
// share to the others. The first exception thrown by work is rethrown here
// once every thread has stopped.
void forEachOnReadThreads(size_t count, int threads, const std::function<void(size_t)>& work,
                          std::stop_token stop = {});

} // namespace kelvane
