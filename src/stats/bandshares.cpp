#include "stats/bandshares.h"

namespace kelvane {

namespace {

using Wide = unsigned __int128; // sums of nine 64-bit totals, and part * 100

std::optional<std::array<int, kBands + 1>> shares(const std::array<uint64_t, kBands + 1>& values)
{
    Wide total = 0;
    for (int b = 1; b <= kBands; ++b)
        total += values[b];
    if (total == 0)
        return std::nullopt;
    std::array<int, kBands + 1> percent{};
    for (int b = 1; b <= kBands; ++b)
        percent[b] = int(Wide(values[b]) * 100 / total);
    return percent;
}

} // namespace

int truncatedPercent(uint64_t part, uint64_t total)
{
    return total == 0 ? 0 : int(Wide(part) * 100 / total);
}

BandShares bandShares(const BandTotals& totals)
{
    return {shares(totals.files), shares(totals.bytes)};
}

} // namespace kelvane
