#pragma once

#include "stats/bandtotals.h"

#include <array>
#include <cstdint>
#include <optional>

namespace kelvane {

// Whole percentage of part in total, truncated toward zero; total > 0.
int truncatedPercent(uint64_t part, uint64_t total);

// The gauge values of a band page: each band's share of all files and of all
// bytes. A column whose total is 0 has no values.
struct BandShares {
    std::optional<std::array<int, kBands + 1>> files;
    std::optional<std::array<int, kBands + 1>> bytes;
};
BandShares bandShares(const BandTotals& totals);

} // namespace kelvane
