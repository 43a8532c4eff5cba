#pragma once

#include "common/walker.h"

#include <functional>
#include <string>

namespace kelvane::cli {

// Walks one tree with its progress shown on a terminal, then reports on
// standard error a root that could not be opened and every skipped directory.
// walk gets the progress to hand to the walk. False when the root could not
// be opened.
bool walkOneRoot(const std::string& root, const std::function<WalkStats(WalkProgress&)>& walk);

} // namespace kelvane::cli
