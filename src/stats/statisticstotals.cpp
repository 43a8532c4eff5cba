#include "stats/statisticstotals.h"

namespace kelvane {

void StatisticsTotals::append(StatisticsTotals&& later)
{
    types.append(std::move(later.types));
    sizes += later.sizes;
    ages += later.ages;
    files += later.files;
}

void StatisticsTotals::remove(const CountedLink& link)
{
    if (!link.key.empty())
        types.remove(link.key, 1, link.bytes);
    sizes.remove(link.sizeBand, link.bytes);
    ages.remove(link.ageBand, link.bytes);
    --files;
}

} // namespace kelvane
