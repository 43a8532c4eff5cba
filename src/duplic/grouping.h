#pragma once

#include "duplic/candidates.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kelvane {

// The result list of a duplicates scan, as positions in the sorted candidate
// list: every run of two or more lines with the same key, in candidate order;
// lines whose key occurs once are dropped. The key is the name column (Scan),
// or the name and size columns (Exact: the same name and the same size in
// whole KB), together with the real name folded caselessly: names that only
// show alike are never grouped. groups, when given, receives the number of
// the group (0, 1, ...) of each result line.
std::vector<size_t> addDups(const std::vector<Candidate>& sorted, bool exact,
                            std::vector<uint32_t>* groups = nullptr);

// The shown key a line is grouped by (with its real name): column 1, and for
// exact keys column 2 too, with the tab between them.
std::string_view groupKey(const Candidate& c, bool exact);

// The result list of a file-hogs scan: the sorted candidate list from its last
// line to its first, so the largest files come first.
std::vector<size_t> reSort(const std::vector<Candidate>& sorted);

} // namespace kelvane
