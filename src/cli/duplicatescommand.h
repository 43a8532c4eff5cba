#pragma once

#include "cli/clioptions.h"

namespace kelvane::cli {

// kelvane-cli duplicates [--exact] [--limit KB] [--pattern P] PATH...
int runDuplicates(const CliOptions& options);

// kelvane-cli hogs [--limit KB] [--pattern P] PATH...
int runHogs(const CliOptions& options);

} // namespace kelvane::cli
