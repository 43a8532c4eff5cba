#pragma once

#include "common/scanoptions.h"
#include "common/walker.h"
#include "stats/agebands.h"
#include "stats/statisticstotals.h"

#include <atomic>
#include <cstdint>

namespace kelvane {

// The statistics of a tree: every entry that is not a directory (hidden and
// system files, links and devices included) is one file, in one size band, in
// one age band and, when its key is short enough, under its extension. The
// extensions are met in the order of a depth-first walk that counts a
// directory's own files after everything below it. Sizes are in the chosen
// measure; with space on disk a hard-linked file counts once, at its first
// name in walk order (its other names are no files of the statistics).
class StatisticsFold final : public Fold<StatisticsTotals> {
public:
    explicit StatisticsFold(const QDateTime& now, SizeMeasure measure = SizeMeasure::Apparent)
        : ageBands_(now), measure_(measure)
    {
    }

    StatisticsTotals visit(const WalkDir& dir, std::span<const Entry> listing) override;
    StatisticsTotals combine(const WalkDir& dir, StatisticsTotals own,
                             std::vector<StatisticsTotals>& children) override;

    // Files counted so far, readable from any thread while the walk runs.
    uint64_t filesCounted() const { return filesCounted_.load(std::memory_order_relaxed); }

private:
    AgeBands ageBands_;
    SizeMeasure measure_;
    std::atomic<uint64_t> filesCounted_{0};
};

} // namespace kelvane
