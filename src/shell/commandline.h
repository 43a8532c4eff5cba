#pragma once

#include <string>

namespace kelvane {

// What the desktop program's command line asks for before any window opens.
struct ShellCommandLine {
    int exitStatus = -1; // -1: start the program; else print text and exit with it
    std::string text;    // help, version or a usage error
};

// Reads --help, --version and Qt's own options (-platform, -style, ...);
// anything else is a usage error (status 2). Needs no QCoreApplication.
ShellCommandLine parseShellCommandLine(int argc, char** argv);

} // namespace kelvane
