#pragma once

#include <string>
#include <vector>

namespace kelvane {

// For each of several roots to walk, the index of another root whose walk
// already takes it in (-1 when none): the same directory given again (the
// first of them is kept), or a directory below another root that the walk
// from there enters (no other file system on the way, and no hidden directory
// unless enterHidden). A root that cannot be opened is never taken in: its
// walk reports it.
std::vector<int> coveringRoots(const std::vector<std::string>& roots, bool enterHidden = false);

} // namespace kelvane
