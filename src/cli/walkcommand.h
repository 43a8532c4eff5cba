#pragma once

#include "cli/clioptions.h"

namespace kelvane::cli {

// kelvane-cli walk PATH...: the totals of each tree.
int runWalk(const CliOptions& options);

} // namespace kelvane::cli
