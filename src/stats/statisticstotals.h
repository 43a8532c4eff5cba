#pragma once

#include "common/linkclaims.h"
#include "stats/bandtotals.h"
#include "stats/extensiontally.h"

#include <cstdint>
#include <string>

namespace kelvane {

// Where one counted name of a hard-linked file went, to take it back out.
struct CountedLink {
    std::string key; // its extension key; empty when it has no row
    uint64_t bytes = 0;
    int sizeBand = 0;
    int ageBand = 0;
};

// What a collection counts over a part of the tree.
struct StatisticsTotals {
    ExtensionTally types; // only keys short enough for a row
    BandTotals sizes;
    BandTotals ages;
    uint64_t files = 0;
    // Space on disk: the hard-linked files counted in this part.
    LinkClaims<CountedLink> links;

    // Adds the totals of files met after every file of these (not the links).
    void append(StatisticsTotals&& later);
    // Takes one counted name back out of every total.
    void remove(const CountedLink& link);
};

} // namespace kelvane
