#include "cli/walkcommand.h"

#include "cli/progressreporter.h"
#include "common/commas.h"
#include "common/treetotals.h"

#include <cstdio>
#include <cstring>

namespace kelvane::cli {

int runWalk(const CliOptions& options)
{
    if (options.args.empty()) {
        std::fprintf(stderr, "kelvane-cli walk: no path given\nusage: kelvane-cli walk PATH...\n");
        return kExitUsage;
    }
    int status = kExitOk;
    for (const std::string& root : options.args) {
        WalkProgress progress;
        WalkOptions walkOptions;
        walkOptions.threads = options.threads;
        walkOptions.progress = &progress;
        TreeTotalsFold fold;
        WalkResult<TreeTotals> result;
        {
            ProgressReporter reporter(progress);
            result = walkTree(root, fold, walkOptions);
        }
        if (result.stats.rootError != 0) {
            std::fprintf(stderr, "kelvane-cli: cannot open %s: %s\n", root.c_str(),
                         std::strerror(result.stats.rootError));
            status = kExitUnreadable;
            continue;
        }
        for (const SkippedDirectory& skip : result.stats.skippedDirectories)
            std::fprintf(stderr, "kelvane-cli: skipped %s: %s\n", skip.path.c_str(),
                         std::strerror(skip.error));
        if (result.stats.skipped > result.stats.skippedDirectories.size())
            std::fprintf(stderr, "kelvane-cli: ... and %llu more skipped directories\n",
                         (unsigned long long)(result.stats.skipped - result.stats.skippedDirectories.size()));
        const TreeTotals& t = result.value;
        std::printf("%s: %s directories, %s files, %s bytes, %s skipped directories\n", root.c_str(),
                    addCommas(int64_t(t.directories)).toUtf8().constData(),
                    addCommas(int64_t(t.files)).toUtf8().constData(),
                    addCommas(int64_t(t.bytes)).toUtf8().constData(),
                    addCommas(int64_t(result.stats.skipped)).toUtf8().constData());
    }
    return status;
}

} // namespace kelvane::cli
