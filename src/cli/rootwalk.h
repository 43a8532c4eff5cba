#pragma once

#include "cli/clioptions.h"
#include "common/scan.h"
#include "common/walker.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelvane::cli {

// Walks one tree with its progress shown on a terminal, then reports on
// standard error a root that could not be opened and every skipped directory.
// walk gets the progress to hand to the walk. False when the root could not
// be opened.
bool walkOneRoot(const std::string& root, const std::function<WalkStats(WalkProgress&)>& walk);

// The walk's settings the command line chose (--threads, --io), reporting to
// progress. Hidden directories are each tool's own choice.
WalkOptions walkOptionsFor(const CliOptions& options, WalkProgress& progress);
// The same for a tool's scan.
ScanControl scanControlFor(const CliOptions& options, WalkProgress& progress);

// Scans root into scan as walkOneRoot walks it. False when the root could not
// be opened.
bool scanOneRoot(Scan& scan, const std::string& root, const CliOptions& options);
// Scans into scan each of roots that no other one takes in (distinctRoots),
// until the scan stops (full): kExitUnreadable when a root could not be
// opened, else kExitOk.
int scanRoots(Scan& scan, const std::vector<std::string>& roots, const CliOptions& options);

// Roots and directories that could not be read in the walks so far.
uint64_t unreadableCount();

// The roots to walk, each directory once: a root that another root's walk
// takes in (entering hidden directories when enterHidden) is left out, with a
// note on standard error.
std::vector<std::string> distinctRoots(const std::vector<std::string>& roots, bool enterHidden);

} // namespace kelvane::cli
