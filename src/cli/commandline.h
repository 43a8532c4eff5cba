#pragma once

#include "cli/clioptions.h"

#include <string>
#include <vector>

namespace kelvane::cli {

// One option of a subcommand, as it is parsed and as --help shows it.
struct OptionDef {
    const char* names;     // "limit", or "0,null": one-letter names first, comma-separated
    const char* valueName; // nullptr for a switch
    const char* description;
};

// One subcommand: its grammar, its help and what runs it. Adding a command
// or an option is one entry here; parsing, --help and usage errors follow.
struct CommandDef {
    const char* name;
    const char* arguments; // after the options in the usage line: "PATH..."
    const char* summary;   // one line for kelvane-cli --help
    std::vector<OptionDef> options;
    int minPaths = 1;
    int maxPaths = -1; // -1: any number
    int (*run)(const CliOptions&) = nullptr;
    unsigned outputs = 0; // kJsonOutput, kNullOutput: the formats it takes besides its lines
};

inline constexpr unsigned kJsonOutput = 1; // --json
inline constexpr unsigned kNullOutput = 2; // -0/--null

// Options every subcommand takes, before or after its name (--threads, --io).
const std::vector<OptionDef>& walkOptions();

// The subcommands, in the order --help lists them.
const std::vector<CommandDef>& allCommands();

// The subcommand of that name, or nullptr.
const CommandDef* findCommand(const std::string& name);

// Parses argv, prints help, the version or a usage error, or runs the
// subcommand; returns the exit status.
int runCommandLine(int argc, char** argv);

} // namespace kelvane::cli
