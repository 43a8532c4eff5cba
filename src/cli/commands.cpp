// The table of kelvane-cli's subcommands: grammar and help of each.

#include "cli/changedcommand.h"
#include "cli/commandline.h"
#include "cli/dirhogcommand.h"
#include "cli/duplicatescommand.h"
#include "cli/samecontentcommand.h"
#include "cli/statscommand.h"
#include "cli/walkcommand.h"

namespace kelvane::cli {

namespace {

const OptionDef kLimitOption{"limit", "KB", "only files larger than KB kilobytes (default 250)"};
const OptionDef kPatternOption{"pattern", "P",
                               "only names matching the pattern P, * and ? as wildcards, letter case "
                               "ignored (default *.*)"};

// Every command walks: these choices apply to all of them.
const OptionDef kHiddenOption{"hidden", nullptr, "walk hidden directories and list hidden files"};
const OptionDef kDiskUsageOption{"disk-usage", nullptr,
                                 "sizes as space on disk (allocated blocks), each hard-linked file once"};

} // namespace

const std::vector<CommandDef>& allCommands()
{
    static const std::vector<CommandDef> commands = {
        {"walk",
         "PATH...",
         "totals of each tree (directories, files, bytes, skipped)",
         {kHiddenOption, kDiskUsageOption},
         1,
         -1,
         runWalk,
         kJsonOutput},
        {"dirhogs",
         "PATH...",
         "directory hogs, largest first",
         {{"main", nullptr, "one line per directory under each PATH, with its whole subtree"},
          kHiddenOption,
          kDiskUsageOption},
         1,
         -1,
         runDirHogs,
         kJsonOutput | kNullOutput},
        {"stats",
         "PATH",
         "file statistics of one tree (extensions, size and age bands)",
         {kHiddenOption, kDiskUsageOption},
         1,
         1,
         runStats,
         kJsonOutput},
        {"duplicates",
         "PATH...",
         "file names seen more than once",
         {{"exact", nullptr, "the same name and the same size in KB"},
          kLimitOption,
          kPatternOption,
          kHiddenOption,
          kDiskUsageOption},
         1,
         -1,
         runDuplicates,
         kJsonOutput | kNullOutput},
        {"hogs",
         "PATH...",
         "files above the size limit, largest first",
         {kLimitOption, kPatternOption, kHiddenOption, kDiskUsageOption},
         1,
         -1,
         runHogs,
         kJsonOutput | kNullOutput},
        {"same-content",
         "PATH...",
         "files with identical bytes, whatever their names, most wasted space first",
         {{"limit", "KB", "only files larger than KB kilobytes (default 0)"},
          {"hidden", nullptr, "also walk hidden directories and list hidden files"},
          {"byte-compare", nullptr, "prove each group byte for byte rather than by a 128-bit hash"}},
         1,
         -1,
         runSameContent,
         kJsonOutput | kNullOutput},
        {"changed",
         "--from=YYYY-MM-DD --to=YYYY-MM-DD PATH...",
         "files last written between the two dates (both included)",
         {{"from", "YYYY-MM-DD", "first day of the range"},
          {"to", "YYYY-MM-DD", "last day of the range"},
          kHiddenOption,
          kDiskUsageOption},
         1,
         -1,
         runChanged,
         kJsonOutput | kNullOutput},
    };
    return commands;
}

} // namespace kelvane::cli
