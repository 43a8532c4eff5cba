#include "common/treetotals.h"

#include "common/entrykind.h"

namespace kelvane {

TreeTotals& TreeTotals::operator+=(const TreeTotals& other)
{
    directories += other.directories;
    files += other.files;
    bytes += other.bytes;
    return *this;
}

TreeTotals TreeTotalsFold::visit(const WalkDir&, std::span<const Entry> listing)
{
    TreeTotals totals;
    totals.directories = 1;
    const bool once = measure_ == SizeMeasure::DiskUsage;
    for (const Entry& e : listing) {
        if (entryKind(e) != EntryKind::Other)
            continue;
        const int64_t size = sizeOf(e, measure_);
        if (once && mayShareFile(e) && !totals.links.claim(e, size))
            continue;
        ++totals.files;
        totals.bytes += uint64_t(size);
    }
    return totals;
}

TreeTotals TreeTotalsFold::combine(const WalkDir&, TreeTotals own, std::vector<TreeTotals>& children)
{
    for (TreeTotals& child : children) {
        own += child;
        own.links.absorbLater(std::move(child.links), [&own](int64_t bytes) {
            --own.files;
            own.bytes -= uint64_t(bytes);
        });
    }
    return own;
}

} // namespace kelvane
