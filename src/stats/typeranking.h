#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kelvane {

// The top-ten ranks of a column of the type table (values in table order):
// the ten largest values take ranks 1 to 10, one place each, ties included.
// All the ranks of one value are written in turn into the first row that
// holds it, so that row keeps the last (highest-numbered) of them and the
// other rows with that value get none. Returns one rank per row, 0 for none.
std::vector<int> topTenRanks(std::span<const uint64_t> values);

} // namespace kelvane
