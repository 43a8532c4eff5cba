#include "cli/duplicatescommand.h"

#include "cli/rootwalk.h"
#include "cli/rowwriter.h"
#include "common/commas.h"
#include "common/searchpath.h"
#include "duplic/duplicatescan.h"
#include "duplic/grouping.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kelvane::cli {

namespace {

bool parseLimit(const std::string& text, int64_t* kb)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 12)
        return false;
    *kb = std::strtoll(text.c_str(), nullptr, 10);
    return true;
}

int run(DupMode mode, const CliOptions& options)
{
    const char* command = options.command.c_str();
    DupScanSettings settings;
    settings.mode = mode;
    settings.scan = options.scan();
    settings.exact = options.has("exact");
    if (options.has("limit") && !parseLimit(options.value("limit"), &settings.limitKB))
        return usageError(options.command, "--limit needs a number of KB (0 or more)");
    if (options.has("pattern"))
        settings.pattern = QString::fromUtf8(options.value("pattern"));
    SearchPathList searchPath;
    searchPath.GetSearchPath();
    settings.searchPath = &searchPath;
    // Lines need neither the paths nor the facts.
    settings.keepPaths = options.format != OutputFormat::Lines;
    settings.keepFacts = options.format == OutputFormat::Json;

    DuplicateScan scan(settings);
    int status = scanRoots(scan, options.paths, options);
    if (scan.full()) {
        std::fprintf(stderr,
                     "kelvane-cli %s: the candidate list is full (%s lines); the result is incomplete\n",
                     command, addCommas(int64_t(scan.candidateCount())).toUtf8().constData());
        status = kExitUnreadable;
    }
    RowWriter out(options.format);
    scan.forEachResultLine([&](const ResultLine& r) {
        switch (options.format) {
        case OutputFormat::Lines:
            out.line(r.line);
            break;
        case OutputFormat::Null:
            out.path(r.path);
            break;
        case OutputFormat::Json: {
            JsonRow row;
            if (mode == DupMode::Duplicates) {
                // Groups as the result formed them: on the real names.
                const int64_t group = int64_t(r.group) + 1;
                std::string_view name = r.line.substr(0, r.line.find('\t'));
                while (name.size() > 1 && name.back() == ' ')
                    name.remove_suffix(1); // the column's padding
                row.number("group", group).text("key", name);
            }
            row.path(r.path).number("size", r.facts.bytes).time("modified", r.facts.mtime);
            row.boolean("search_path", r.facts.onSearchPath);
            out.json(row);
            break;
        }
        }
    });
    return status;
}

} // namespace

int runDuplicates(const CliOptions& options)
{
    return run(DupMode::Duplicates, options);
}

int runHogs(const CliOptions& options)
{
    return run(DupMode::Hogs, options);
}

} // namespace kelvane::cli
