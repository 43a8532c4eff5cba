#include "cli/dirhogcommand.h"

#include "cli/rootwalk.h"
#include "cli/rowwriter.h"
#include "common/scantexts.h"
#include "dirhog/dirhogscan.h"

#include <cstdio>
#include <cstring>

namespace kelvane::cli {

int runDirHogs(const CliOptions& options)
{
    const DirHogMode mode = options.has("main") ? DirHogMode::MainDirectories : DirHogMode::AllDirectories;
    DirHogScan scan(mode, CandidateList::kDefaultLimit, options.scan());
    const int status = scanRoots(scan, options.paths, options);
    if (scan.full())
        std::fprintf(stderr, "kelvane-cli: %s\n", resourceLimitText().toUtf8().constData());
    RowWriter out(options.format);
    for (const DirHogRow& row : scan.handOver()) {
        switch (options.format) {
        case OutputFormat::Lines:
            out.line(row.line.toUtf8().toStdString());
            break;
        case OutputFormat::Null:
            out.path(row.path);
            break;
        case OutputFormat::Json: {
            const DirTotals& t = row.totals;
            JsonRow json;
            json.path(row.path).number("size", t.bytes).number("files", t.files);
            json.number("subdirectories", t.subdirs);
            json.time("newest", t.latestTime == DirTotals::kNoTime ? JsonRow::kNoTime : t.latestTime);
            if (row.capacity > 0)
                json.decimal("drive_percent", 100.0 * double(t.bytes) / double(row.capacity));
            else
                json.null("drive_percent");
            out.json(json);
            break;
        }
        }
    }
    return status;
}

} // namespace kelvane::cli
