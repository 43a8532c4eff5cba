#include "cli/statscommand.h"

#include "cli/progressreporter.h"
#include "common/displayname.h"
#include "stats/statistics.h"
#include "stats/statisticsfold.h"

#include <QDateTime>

#include <cstdio>
#include <cstring>
#include <string>

namespace kelvane::cli {

namespace {

void printBands(const char* name, const BandTotals& bands)
{
    for (int b = 1; b <= kBands; ++b)
        std::printf("%s\t%d\t%llu\t%llu\n", name, b, (unsigned long long)bands.files[b],
                    (unsigned long long)bands.bytes[b]);
}

} // namespace

int runStats(const CliOptions& options)
{
    if (options.args.size() != 1) {
        std::fprintf(stderr, "kelvane-cli stats: %s\nusage: kelvane-cli stats PATH\n",
                     options.args.empty() ? "no path given" : "one path only");
        return kExitUsage;
    }
    const std::string& root = options.args.front();
    WalkProgress progress;
    WalkOptions walkOptions;
    walkOptions.threads = options.threads;
    walkOptions.progress = &progress;
    StatisticsFold fold(QDateTime::currentDateTime());
    WalkResult<StatisticsTotals> result;
    {
        ProgressReporter reporter(progress);
        result = walkTree(root, fold, walkOptions);
    }
    if (result.stats.rootError != 0) {
        std::fprintf(stderr, "kelvane-cli: cannot open %s: %s\n", root.c_str(),
                     std::strerror(result.stats.rootError));
        return kExitUnreadable;
    }
    for (const SkippedDirectory& skip : result.stats.skippedDirectories)
        std::fprintf(stderr, "kelvane-cli: skipped %s: %s\n", skip.path.c_str(), std::strerror(skip.error));
    if (result.stats.skipped > result.stats.skippedDirectories.size())
        std::fprintf(stderr, "kelvane-cli: ... and %llu more skipped directories\n",
                     (unsigned long long)(result.stats.skipped - result.stats.skippedDirectories.size()));

    const Statistics stats = Statistics::from(std::move(result.value));
    for (const TypeRow& row : stats.types) {
        // Shown like any name, so that a tab or newline in a key keeps the columns.
        std::printf("%s\t%llu\t%llu\n", displayName(row.key).toUtf8().constData(),
                    (unsigned long long)row.files, (unsigned long long)row.bytes);
    }
    printBands("size-band", stats.sizes);
    printBands("age-band", stats.ages);
    std::printf("files\t%llu\n", (unsigned long long)stats.filesProcessed);
    return kExitOk;
}

} // namespace kelvane::cli
