#include "cli/walkcommand.h"

#include "cli/rootwalk.h"
#include "cli/rowwriter.h"
#include "common/commas.h"
#include "common/treetotals.h"

#include <cstdio>
#include <cstring>

namespace kelvane::cli {

int runWalk(const CliOptions& options)
{
    int status = kExitOk;
    RowWriter out(options.format);
    for (const std::string& root : distinctRoots(options.paths, options.scan().hidden)) {
        TreeTotalsFold fold(options.scan().measure);
        WalkResult<TreeTotals> result;
        const bool opened = walkOneRoot(root, [&](WalkProgress& progress) {
            WalkOptions walkOptions = walkOptionsFor(options, progress);
            walkOptions.enterHidden = options.scan().hidden;
            result = walkTree(root, fold, walkOptions);
            return result.stats;
        });
        if (!opened) {
            status = kExitUnreadable;
            continue;
        }
        const TreeTotals& t = result.value;
        if (options.format == OutputFormat::Json) {
            out.json(JsonRow()
                         .path(root)
                         .number("directories", int64_t(t.directories))
                         .number("files", int64_t(t.files))
                         .number("bytes", int64_t(t.bytes))
                         .number("skipped", int64_t(result.stats.skipped)));
            continue;
        }
        std::printf("%s: %s directories, %s files, %s bytes, %s skipped directories\n", root.c_str(),
                    addCommas(int64_t(t.directories)).toUtf8().constData(),
                    addCommas(int64_t(t.files)).toUtf8().constData(),
                    addCommas(int64_t(t.bytes)).toUtf8().constData(),
                    addCommas(int64_t(result.stats.skipped)).toUtf8().constData());
    }
    return status;
}

} // namespace kelvane::cli
