#include "stats/statistics.h"

namespace kelvane {

Statistics Statistics::from(StatisticsTotals&& totals)
{
    Statistics s;
    s.types = typeTable(totals.types);
    s.sizes = totals.sizes;
    s.ages = totals.ages;
    s.filesProcessed = totals.files;
    return s;
}

} // namespace kelvane
