#pragma once

#include "cli/clioptions.h"

namespace kelvane::cli {

// kelvane-cli stats PATH: the file statistics of one tree, as tab-separated
// lines: the type table (key, files, bytes), nine size-band and nine age-band
// lines (band, files, bytes), then the number of files.
int runStats(const CliOptions& options);

} // namespace kelvane::cli
