#include "stats/statisticstotals.h"

namespace kelvane {

void StatisticsTotals::append(StatisticsTotals&& later)
{
    types.append(std::move(later.types));
    sizes += later.sizes;
    ages += later.ages;
    files += later.files;
}

} // namespace kelvane
