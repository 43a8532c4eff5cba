#include "cli/rootwalk.h"

#include "cli/progressreporter.h"
#include "common/nestedroots.h"
#include "common/terminaltext.h"

#include <atomic>
#include <cstdio>
#include <cstring>

namespace kelvane::cli {

namespace {

std::atomic<uint64_t> unreadable{0};

} // namespace

bool walkOneRoot(const std::string& root, const std::function<WalkStats(WalkProgress&)>& walk)
{
    WalkProgress progress;
    WalkStats stats;
    {
        ProgressReporter reporter(progress);
        stats = walk(progress);
    }
    if (stats.rootError != 0) {
        unreadable += 1;
        std::fprintf(stderr, "kelvane-cli: cannot open %s: %s\n", terminalSafe(root).c_str(),
                     std::strerror(stats.rootError));
        return false;
    }
    unreadable += stats.skipped;
    for (const SkippedDirectory& skip : stats.skippedDirectories)
        std::fprintf(stderr, "kelvane-cli: skipped %s: %s\n", terminalSafe(skip.path).c_str(),
                     std::strerror(skip.error));
    if (stats.skipped > stats.skippedDirectories.size())
        std::fprintf(stderr, "kelvane-cli: ... and %llu more skipped directories\n",
                     (unsigned long long)(stats.skipped - stats.skippedDirectories.size()));
    return true;
}

bool scanOneRoot(Scan& scan, const std::string& root, const CliOptions& options)
{
    return walkOneRoot(
        root, [&](WalkProgress& progress) { return scan.scanRoot(root, scanControlFor(options, progress)); });
}

int scanRoots(Scan& scan, const std::vector<std::string>& roots, const CliOptions& options)
{
    int status = kExitOk;
    for (const std::string& root : distinctRoots(roots, options.scan().hidden)) {
        if (scan.stopped())
            break;
        if (!scanOneRoot(scan, root, options))
            status = kExitUnreadable;
    }
    return status;
}

uint64_t unreadableCount()
{
    return unreadable.load();
}

std::vector<std::string> distinctRoots(const std::vector<std::string>& roots, bool enterHidden)
{
    const std::vector<int> covering = coveringRoots(roots, enterHidden);
    std::vector<std::string> kept;
    for (size_t i = 0; i < roots.size(); ++i) {
        if (covering[i] < 0) {
            kept.push_back(roots[i]);
            continue;
        }
        int walker = covering[i];
        while (covering[size_t(walker)] >= 0)
            walker = covering[size_t(walker)];
        const std::string& by = roots[size_t(walker)];
        std::fprintf(stderr, "kelvane-cli: %s is walked once, as part of %s\n",
                     terminalSafe(roots[i]).c_str(), terminalSafe(by).c_str());
    }
    return kept;
}

WalkOptions walkOptionsFor(const CliOptions& options, WalkProgress& progress)
{
    return walkOptionsOf(scanControlFor(options, progress));
}

ScanControl scanControlFor(const CliOptions& options, WalkProgress& progress)
{
    ScanControl control;
    control.threads = options.threads;
    control.io = options.io;
    control.progress = &progress;
    return control;
}

} // namespace kelvane::cli
