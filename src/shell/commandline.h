#pragma once

#include "common/drive.h"

#include <string>
#include <vector>

namespace kelvane {

// What the desktop program's command line asks for before any window opens.
struct ShellCommandLine {
    int exitStatus = -1; // -1: start the program; else print text and exit with it
    std::string text;    // help, version or a usage error
    // FOLDER arguments: ticked boxes in each scanning window.
    std::vector<Drive> folders;
};

// Reads --help, --version, Qt's own options (-platform, -style, ...) and
// FOLDER arguments, each a directory that can be opened (at most 25); anything
// else is a usage error (status 2). Needs no QCoreApplication.
ShellCommandLine parseShellCommandLine(int argc, char** argv);

} // namespace kelvane
