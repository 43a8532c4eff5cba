#include "cli/progressreporter.h"

#include "common/terminaltext.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace kelvane::cli {

ProgressReporter::ProgressReporter(const WalkProgress& progress) : progress_(progress)
{
    if (!::isatty(STDERR_FILENO))
        return;
    thread_ = std::thread([this] {
        while (!stop_.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            const std::string dir = terminalTail(terminalSafe(progress_.currentDirectory()), 60);
            std::fprintf(stderr, "\r\033[K%llu entries  %s", (unsigned long long)progress_.entries(),
                         dir.c_str());
            std::fflush(stderr);
        }
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    });
}

ProgressReporter::~ProgressReporter()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

} // namespace kelvane::cli
