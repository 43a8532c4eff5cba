#include "cli/statscommand.h"

#include "cli/rootwalk.h"
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
    StatisticsFold fold(QDateTime::currentDateTime());
    WalkResult<StatisticsTotals> result;
    const bool opened = walkOneRoot(root, [&](WalkProgress& progress) {
        WalkOptions walkOptions;
        walkOptions.threads = options.threads;
        walkOptions.progress = &progress;
        result = walkTree(root, fold, walkOptions);
        return result.stats;
    });
    if (!opened)
        return kExitUnreadable;

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
