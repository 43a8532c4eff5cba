#include "cli/dirhogcommand.h"

#include "cli/progressreporter.h"
#include "dirhog/dirhogscan.h"

#include <atomic>
#include <cstdio>
#include <cstring>

namespace kelvane::cli {

namespace {

constexpr const char* kUsage = "usage: kelvane-cli dirhogs [--main] PATH...\n";

void reportSkips(const WalkStats& stats)
{
    for (const SkippedDirectory& skip : stats.skippedDirectories)
        std::fprintf(stderr, "kelvane-cli: skipped %s: %s\n", skip.path.c_str(), std::strerror(skip.error));
    if (stats.skipped > stats.skippedDirectories.size())
        std::fprintf(stderr, "kelvane-cli: ... and %llu more skipped directories\n",
                     (unsigned long long)(stats.skipped - stats.skippedDirectories.size()));
}

} // namespace

int runDirHogs(const CliOptions& options)
{
    DirHogMode mode = DirHogMode::AllDirectories;
    std::vector<std::string> roots;
    bool optionsDone = false;
    for (const std::string& arg : options.args) {
        if (!optionsDone && arg == "--main") {
            mode = DirHogMode::MainDirectories;
        } else if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "kelvane-cli dirhogs: bad option %s\n%s", arg.c_str(), kUsage);
            return kExitUsage;
        } else {
            roots.push_back(arg);
        }
    }
    if (roots.empty()) {
        std::fprintf(stderr, "kelvane-cli dirhogs: no path given\n%s", kUsage);
        return kExitUsage;
    }

    int status = kExitOk;
    std::atomic<bool> abort{false};
    DirHogScan scan(mode);
    scan.setOnFull([&abort] { abort = true; });
    for (const std::string& root : roots) {
        WalkProgress progress;
        WalkOptions walkOptions;
        walkOptions.threads = options.threads;
        walkOptions.progress = &progress;
        walkOptions.abort = &abort;
        WalkStats stats;
        {
            ProgressReporter reporter(progress);
            stats = scan.scanDrive(root, walkOptions);
        }
        if (stats.rootError != 0) {
            std::fprintf(stderr, "kelvane-cli: cannot open %s: %s\n", root.c_str(),
                         std::strerror(stats.rootError));
            status = kExitUnreadable;
            continue;
        }
        reportSkips(stats);
    }
    if (scan.limitReached())
        std::fprintf(stderr, "kelvane-cli: Resource limit reached ... cannot process any more files.\n");
    for (const DirHogRow& row : scan.handOver()) {
        const QByteArray line = row.line.toUtf8();
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        std::fputc('\n', stdout);
    }
    return status;
}

} // namespace kelvane::cli
