#pragma once

#include "stats/bandtotals.h"
#include "stats/statisticstotals.h"
#include "stats/typetable.h"

#include <cstdint>
#include <vector>

namespace kelvane {

// The result of one collection, as the pages and kelvane-cli show it.
struct Statistics {
    std::vector<TypeRow> types; // the type table
    BandTotals sizes;
    BandTotals ages;
    uint64_t filesProcessed = 0;

    static Statistics from(StatisticsTotals&& totals);
};

} // namespace kelvane
