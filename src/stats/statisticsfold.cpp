#include "stats/statisticsfold.h"

#include "common/entrykind.h"
#include "stats/extensionkey.h"
#include "stats/sizebands.h"

namespace kelvane {

StatisticsTotals StatisticsFold::visit(const WalkDir&, std::span<const Entry> listing)
{
    StatisticsTotals totals;
    for (const Entry& e : listing) {
        if (entryKind(e) != EntryKind::Other)
            continue;
        const uint64_t size = uint64_t(e.size);
        totals.ages.add(ageBands_.band(e.mtime), size);
        const std::string key = extensionKey(e.name);
        if (keyFitsTable(key))
            totals.types.add(key, size);
        totals.sizes.add(sizeBand(e.size), size);
        ++totals.files;
    }
    filesCounted_.fetch_add(totals.files, std::memory_order_relaxed);
    return totals;
}

StatisticsTotals StatisticsFold::combine(const WalkDir&, StatisticsTotals own,
                                         std::vector<StatisticsTotals>& children)
{
    // A directory's own files come after everything below it.
    if (children.empty())
        return own;
    StatisticsTotals totals = std::move(children.front());
    for (size_t i = 1; i < children.size(); ++i)
        totals.append(std::move(children[i]));
    totals.append(std::move(own));
    return totals;
}

} // namespace kelvane
