#include "stats/statisticsscan.h"

#include <vector>

namespace kelvane {

StatisticsScan::StatisticsScan(const QDateTime& now, ScanOptions scan)
    : Scan(scan.hidden), fold_(now, scan.measure)
{
}

WalkStats StatisticsScan::walkRoot(const std::string& root, const WalkOptions& options)
{
    WalkResult<StatisticsTotals> result = walkTree(root, fold_, options);
    StatisticsTotals& later = result.value;
    // A file counted in an earlier tree (two folders of one file system) stays there.
    LinkClaims<CountedLink> links = std::move(totals_.links);
    std::vector<CountedLink> extras;
    links.absorbLater(std::move(later.links), [&](CountedLink& link) { extras.push_back(std::move(link)); });
    totals_.append(std::move(later));
    for (const CountedLink& link : extras)
        totals_.remove(link);
    totals_.links = std::move(links);
    return std::move(result.stats);
}

} // namespace kelvane
