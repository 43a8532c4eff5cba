// kelvane-cli: every tool's scan without windows, for scripts and benchmarks.

#include "cli/changedcommand.h"
#include "cli/clioptions.h"
#include "cli/dirhogcommand.h"
#include "cli/duplicatescommand.h"
#include "cli/statscommand.h"
#include "cli/walkcommand.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using kelvane::cli::CliOptions;

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const CliOptions&);
};

const Command kCommands[] = {
    {"walk", "walk PATH...              totals of each tree (directories, files, bytes, skipped)",
     kelvane::cli::runWalk},
    {"dirhogs",
     "dirhogs [--main] PATH...  directory hogs, largest first (--main: directories under each PATH)",
     kelvane::cli::runDirHogs},
    {"stats", "stats PATH                file statistics of one tree (extensions, size and age bands)",
     kelvane::cli::runStats},
    {"duplicates", "duplicates [--exact] [--limit KB] [--pattern P] PATH...   names seen more than once",
     kelvane::cli::runDuplicates},
    {"hogs", "hogs [--limit KB] [--pattern P] PATH...   files above the limit, largest first",
     kelvane::cli::runHogs},
    {"changed", "changed --from YYYY-MM-DD --to YYYY-MM-DD PATH...   files last written between the dates",
     kelvane::cli::runChanged},
};

void printUsage(FILE* out)
{
    std::fprintf(out, "usage: kelvane-cli [--threads N] COMMAND [ARGS...]\n\ncommands:\n");
    for (const Command& c : kCommands)
        std::fprintf(out, "  %s\n", c.usage);
    std::fprintf(out, "\n--threads N   walk with N threads (default: one per core)\n");
}

bool parseThreads(const char* text, int* threads)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != 0 || value < 1 || value > 1024)
        return false;
    *threads = int(value);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    CliOptions options;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printUsage(stdout);
            return kelvane::cli::kExitOk;
        }
        if (arg == "--threads" && i + 1 < argc && parseThreads(argv[i + 1], &options.threads)) {
            ++i;
            continue;
        }
        std::fprintf(stderr, "kelvane-cli: bad option %s\n", argv[i]);
        printUsage(stderr);
        return kelvane::cli::kExitUsage;
    }
    if (i == argc) {
        std::fprintf(stderr, "kelvane-cli: no command given\n");
        printUsage(stderr);
        return kelvane::cli::kExitUsage;
    }
    const std::string name = argv[i];
    for (const Command& c : kCommands) {
        if (name == c.name) {
            options.args.assign(argv + i + 1, argv + argc);
            return c.run(options);
        }
    }
    std::fprintf(stderr, "kelvane-cli: unknown command %s\n", name.c_str());
    printUsage(stderr);
    return kelvane::cli::kExitUsage;
}
