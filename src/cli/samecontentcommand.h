#pragma once

#include "cli/clioptions.h"

namespace kelvane::cli {

// kelvane-cli same-content [--limit=KB] [--hidden] [--byte-compare] [--json | -0] PATH...
int runSameContent(const CliOptions& options);

} // namespace kelvane::cli
