#include "cli/rootwalk.h"

#include "cli/progressreporter.h"

#include <cstdio>
#include <cstring>

namespace kelvane::cli {

bool walkOneRoot(const std::string& root, const std::function<WalkStats(WalkProgress&)>& walk)
{
    WalkProgress progress;
    WalkStats stats;
    {
        ProgressReporter reporter(progress);
        stats = walk(progress);
    }
    if (stats.rootError != 0) {
        std::fprintf(stderr, "kelvane-cli: cannot open %s: %s\n", root.c_str(),
                     std::strerror(stats.rootError));
        return false;
    }
    for (const SkippedDirectory& skip : stats.skippedDirectories)
        std::fprintf(stderr, "kelvane-cli: skipped %s: %s\n", skip.path.c_str(), std::strerror(skip.error));
    if (stats.skipped > stats.skippedDirectories.size())
        std::fprintf(stderr, "kelvane-cli: ... and %llu more skipped directories\n",
                     (unsigned long long)(stats.skipped - stats.skippedDirectories.size()));
    return true;
}

} // namespace kelvane::cli
