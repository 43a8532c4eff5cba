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
    for (const Entry& e : listing) {
        if (entryKind(e) == EntryKind::Other) {
            ++totals.files;
            totals.bytes += uint64_t(e.size);
        }
    }
    return totals;
}

TreeTotals TreeTotalsFold::combine(const WalkDir&, TreeTotals own, std::vector<TreeTotals>& children)
{
    for (const TreeTotals& child : children)
        own += child;
    return own;
}

} // namespace kelvane
