#pragma once

#include "common/scanoptions.h"

#include <map>
#include <string>
#include <vector>

namespace kelvane::cli {

// How a result-listing subcommand writes its rows.
enum class OutputFormat {
    Lines, // the lines the window prints and copies (the default)
    Null,  // -0/--null: the real paths, each ended by a NUL byte
    Json,  // --json: one JSON object per row and line
};

// The parsed command line of one subcommand. Every text is the argument's
// bytes as given, never re-encoded: a path that is not valid UTF-8 still
// names its file.
struct CliOptions {
    std::string command;
    int threads = 0; // --threads N, 0: one per core
    int io = 0;      // --io N, 0: the walk's default
    OutputFormat format = OutputFormat::Lines;
    std::vector<std::string> paths;             // the positional arguments
    std::map<std::string, std::string> options; // long name -> value ("" for a switch)

    bool has(const std::string& name) const { return options.count(name) != 0; }
    // The option's value, or fallback when it was not given.
    std::string value(const std::string& name, const std::string& fallback = {}) const
    {
        const auto it = options.find(name);
        return it == options.end() ? fallback : it->second;
    }
    // --hidden and --disk-usage, which every command takes.
    ScanOptions scan() const
    {
        ScanOptions scan;
        scan.hidden = has("hidden");
        if (has("disk-usage"))
            scan.measure = SizeMeasure::DiskUsage;
        return scan;
    }
};

// Exit codes: 0 success; 1 a root or directory could not be read, the output
// could not be written, or the program ran out of memory; 2 usage error.
constexpr int kExitOk = 0;
constexpr int kExitUnreadable = 1;
constexpr int kExitUsage = 2;

// Prints "kelvane-cli COMMAND: message", the command's usage line and a hint
// to --help on standard error; returns kExitUsage.
int usageError(const std::string& command, const std::string& message);

} // namespace kelvane::cli
