#pragma once

#include "cli/clioptions.h"

namespace kelvane::cli {

// kelvane-cli changed --from YYYY-MM-DD --to YYYY-MM-DD PATH...: the result
// lines of the files last written between the two dates (both included).
int runChanged(const CliOptions& options);

} // namespace kelvane::cli
