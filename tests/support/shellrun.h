#pragma once

#include <string>

namespace kelvane::test {

// What a shell command printed and how it ended.
struct ShellRun {
    int status = -1; // exit status, -1 when it did not exit normally
    std::string out;
    std::string err;
};

// s in single quotes, safe for any bytes but NUL.
std::string shellQuote(const std::string& s);

// Runs a command line through the shell; standard output and standard error
// are captured separately.
ShellRun runShell(const std::string& command);

} // namespace kelvane::test
