#pragma once

#include "stats/bandtotals.h"
#include "stats/extensiontally.h"

#include <cstdint>

namespace kelvane {

// What a collection counts over a part of the tree.
struct StatisticsTotals {
    ExtensionTally types; // only keys short enough for a row
    BandTotals sizes;
    BandTotals ages;
    uint64_t files = 0;

    // Adds the totals of files met after every file of these.
    void append(StatisticsTotals&& later);
};

} // namespace kelvane
