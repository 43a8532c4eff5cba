#pragma once

#include "cli/clioptions.h"

namespace kelvane::cli {

// kelvane-cli dirhogs [--main] PATH...: the directory-hogs result list of the
// paths taken as drives, largest first, one line per directory.
int runDirHogs(const CliOptions& options);

} // namespace kelvane::cli
