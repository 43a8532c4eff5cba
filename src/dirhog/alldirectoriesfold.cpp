#include "dirhog/alldirectoriesfold.h"

#include "common/entrykind.h"

#include <algorithm>

namespace kelvane {

bool AllDirectoriesFold::visit(const WalkDir& dir, std::span<const Entry> listing)
{
    if (dir.isRoot() && std::none_of(listing.begin(), listing.end(), [](const Entry& e) {
            return passesAttributeFilter(e.attr, kRequestSubdirectories);
        }))
        return false;
    DirTotals totals;
    for (const Entry& e : listing) {
        switch (entryKind(e)) {
        case EntryKind::Subdirectory:
            ++totals.subdirs;
            break;
        case EntryKind::Other:
            totals.addFile(e);
            break;
        case EntryKind::DotEntry:
            break;
        }
    }
    if (!candidates_.add(dir.path(), identityOf(dir), totals, capacity_)) {
        if (onFull_)
            onFull_();
        return false;
    }
    return true;
}

} // namespace kelvane
