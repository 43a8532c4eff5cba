#pragma once

#include "stats/extensiontally.h"

#include <vector>

namespace kelvane {

// The type table holds at most this many extensions.
constexpr size_t kMaxTypeRows = 350;

// One row of the type table.
using TypeRow = ExtensionCount;

// The type table of a tally: the first kMaxTypeRows keys met (files of later
// new keys get no row), each with all its files, in ascending byte order of
// key (the empty key first, then ".", then ".A..." and so on).
std::vector<TypeRow> typeTable(const ExtensionTally& tally);

} // namespace kelvane
