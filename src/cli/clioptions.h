#pragma once

#include <string>
#include <vector>

namespace kelvane::cli {

// Options shared by every subcommand, and what is left for the subcommand.
struct CliOptions {
    int threads = 0;               // --threads N, 0: one per core
    std::vector<std::string> args; // the subcommand's own arguments
};

// Exit codes: 0 success, 1 a tree could not be read, 2 usage error.
constexpr int kExitOk = 0;
constexpr int kExitUnreadable = 1;
constexpr int kExitUsage = 2;

} // namespace kelvane::cli
