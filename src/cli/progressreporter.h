#pragma once

#include "common/walkprogress.h"

#include <atomic>
#include <thread>

namespace kelvane::cli {

// Shows a walk's progress on standard error while it runs, only when standard
// error is a terminal, so that scripted output stays clean.
class ProgressReporter {
public:
    explicit ProgressReporter(const WalkProgress& progress);
    ~ProgressReporter();
    ProgressReporter(const ProgressReporter&) = delete;
    ProgressReporter& operator=(const ProgressReporter&) = delete;

private:
    const WalkProgress& progress_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace kelvane::cli
