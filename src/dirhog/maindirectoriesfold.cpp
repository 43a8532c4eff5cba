#include "dirhog/maindirectoriesfold.h"

#include "common/entrykind.h"

namespace kelvane {

SubtreeTotals MainDirectoriesFold::visit(const WalkDir& dir, std::span<const Entry> listing)
{
    SubtreeTotals own;
    own.listed = true;
    if (dir.isRoot())
        return own;
    for (const Entry& e : listing) {
        if (entryKind(e) == EntryKind::Other)
            own.totals.addFile(e);
    }
    return own;
}

SubtreeTotals MainDirectoriesFold::combine(const WalkDir& dir, SubtreeTotals own,
                                           std::vector<SubtreeTotals>& children)
{
    if (dir.isRoot())
        return own;
    for (const SubtreeTotals& child : children) {
        if (!child.listed)
            continue; // unreadable, or not reached before an abort
        own.totals += child.totals;
        ++own.totals.subdirs;
    }
    if (dir.depth() == 1 && !candidates_.add(dir.path(), identityOf(dir), own.totals, capacity_) && onFull_)
        onFull_();
    return own;
}

} // namespace kelvane
