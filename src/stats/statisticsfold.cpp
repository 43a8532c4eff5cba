#include "stats/statisticsfold.h"

#include "common/entrykind.h"
#include "stats/extensionkey.h"
#include "stats/sizebands.h"

namespace kelvane {

StatisticsTotals StatisticsFold::visit(const WalkDir&, std::span<const Entry> listing)
{
    StatisticsTotals totals;
    const bool once = measure_ == SizeMeasure::DiskUsage;
    for (const Entry& e : listing) {
        if (entryKind(e) != EntryKind::Other)
            continue;
        const int64_t bytes = sizeOf(e, measure_);
        const uint64_t size = uint64_t(bytes);
        const int age = ageBands_.band(e.mtime);
        const int band = sizeBand(bytes);
        std::string key = extensionKey(e.name);
        const bool inTable = keyFitsTable(key);
        if (once && mayShareFile(e) &&
            !totals.links.claim(e, CountedLink{inTable ? key : std::string(), size, band, age}))
            continue;
        totals.ages.add(age, size);
        if (inTable)
            totals.types.add(key, size);
        totals.sizes.add(band, size);
        ++totals.files;
    }
    filesCounted_.fetch_add(totals.files, std::memory_order_relaxed);
    return totals;
}

StatisticsTotals StatisticsFold::combine(const WalkDir&, StatisticsTotals own,
                                         std::vector<StatisticsTotals>& children)
{
    if (children.empty())
        return own;
    // A hard-linked file belongs to its first name in walk order: this
    // directory's own listing, then each subdirectory in listing order.
    LinkClaims<CountedLink> links = std::move(own.links);
    std::vector<CountedLink> extras;
    for (StatisticsTotals& child : children)
        links.absorbLater(std::move(child.links),
                          [&](CountedLink& link) { extras.push_back(std::move(link)); });

    // A directory's own files come after everything below it.
    StatisticsTotals totals = std::move(children.front());
    for (size_t i = 1; i < children.size(); ++i)
        totals.append(std::move(children[i]));
    totals.append(std::move(own));
    for (const CountedLink& link : extras)
        totals.remove(link);
    totals.links = std::move(links);
    return totals;
}

} // namespace kelvane
