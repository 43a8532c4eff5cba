// kelvane-cli: every tool's scan without windows, for scripts and benchmarks.

#include "cli/commandline.h"

int main(int argc, char** argv)
{
    return kelvane::cli::runCommandLine(argc, argv);
}
