#include "cli/statscommand.h"

#include "cli/rootwalk.h"
#include "cli/rowwriter.h"
#include "common/displayname.h"
#include "stats/statistics.h"
#include "stats/statisticsscan.h"

#include <QDateTime>

#include <cstdio>
#include <cstring>
#include <string>

namespace kelvane::cli {

namespace {

void printBands(const char* name, const BandTotals& bands, RowWriter& out)
{
    for (int b = 1; b <= kBands; ++b) {
        if (out.format() == OutputFormat::Json) {
            out.json(JsonRow()
                         .text("kind", name)
                         .number("band", b)
                         .number("files", int64_t(bands.files[b]))
                         .number("bytes", int64_t(bands.bytes[b])));
            continue;
        }
        std::printf("%s\t%d\t%llu\t%llu\n", name, b, (unsigned long long)bands.files[b],
                    (unsigned long long)bands.bytes[b]);
    }
}

} // namespace

int runStats(const CliOptions& options)
{
    const std::string& root = options.paths.front();
    StatisticsScan scan(QDateTime::currentDateTime(), options.scan());
    if (!scanOneRoot(scan, root, options))
        return kExitUnreadable;

    const Statistics stats = scan.handOver();
    RowWriter out(options.format);
    for (const TypeRow& row : stats.types) {
        if (out.format() == OutputFormat::Json) {
            out.json(JsonRow()
                         .text("kind", "type")
                         .bytes("key", row.key)
                         .number("files", int64_t(row.files))
                         .number("bytes", int64_t(row.bytes)));
            continue;
        }
        // Shown like any name, so that a tab or newline in a key keeps the columns.
        std::printf("%s\t%llu\t%llu\n", displayName(row.key).toUtf8().constData(),
                    (unsigned long long)row.files, (unsigned long long)row.bytes);
    }
    printBands("size-band", stats.sizes, out);
    printBands("age-band", stats.ages, out);
    if (out.format() == OutputFormat::Json)
        out.json(JsonRow().text("kind", "files").number("files", int64_t(stats.filesProcessed)));
    else
        std::printf("files\t%llu\n", (unsigned long long)stats.filesProcessed);
    return kExitOk;
}

} // namespace kelvane::cli
