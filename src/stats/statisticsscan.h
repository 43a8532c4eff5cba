#pragma once

#include "common/scan.h"
#include "common/scanoptions.h"
#include "stats/statistics.h"
#include "stats/statisticsfold.h"

#include <QDateTime>

#include <string>

namespace kelvane {

// One statistics collection over one or more trees: the totals of each tree
// follow those of the trees before it; with space on disk a hard-linked file
// counts once, at its first name (the trees in the order they are scanned).
// Its list never fills up.
class StatisticsScan final : public Scan {
public:
    // now: the moment the ages are counted back from.
    StatisticsScan(const QDateTime& now, ScanOptions scan);

    // Files counted so far, readable from any thread while the scan runs.
    uint64_t filesCounted() const { return fold_.filesCounted(); }
    Statistics handOver() { return Statistics::from(std::move(totals_)); }

private:
    WalkStats walkRoot(const std::string& root, const WalkOptions& options) override;

    StatisticsFold fold_;
    StatisticsTotals totals_;
};

} // namespace kelvane
