#include "stats/typeranking.h"

#include <algorithm>
#include <unordered_map>

namespace kelvane {

std::vector<int> topTenRanks(std::span<const uint64_t> values)
{
    constexpr int kPlaces = 10;
    std::vector<int> ranks(values.size(), 0);
    std::vector<uint64_t> sorted(values.begin(), values.end());
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    std::unordered_map<uint64_t, size_t> firstRow;
    for (size_t row = values.size(); row-- > 0;)
        firstRow[values[row]] = row;
    const int places = int(std::min<size_t>(sorted.size(), kPlaces));
    for (int rank = 1; rank <= places; ++rank)
        ranks[firstRow[sorted[size_t(rank - 1)]]] = rank;
    return ranks;
}

} // namespace kelvane
