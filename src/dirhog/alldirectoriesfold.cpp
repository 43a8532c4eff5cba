#include "dirhog/alldirectoriesfold.h"

#include "common/entrykind.h"

#include <algorithm>

namespace kelvane {

DirHogLinks AllDirectoriesFold::visit(const WalkDir& dir, std::span<const Entry> listing)
{
    const uint32_t request = requestFor(kRequestSubdirectories, scan_);
    if (dir.isRoot() && std::none_of(listing.begin(), listing.end(), [request](const Entry& e) {
            return passesAttributeFilter(e.attr, request);
        }))
        return {};
    const bool once = scan_.measure == SizeMeasure::DiskUsage;
    DirHogLinks links;
    DirTotals totals;
    for (const Entry& e : listing) {
        switch (entryKind(e)) {
        case EntryKind::Subdirectory:
            ++totals.subdirs;
            break;
        case EntryKind::Other: {
            const int64_t bytes = sizeOf(e, scan_.measure);
            if (!once || !mayShareFile(e) || links.claim(e, LinkedBytes{bytes}))
                totals.addFile(e, bytes);
            break;
        }
        case EntryKind::DotEntry:
            break;
        }
    }
    size_t line = LinkedBytes::kNoLine;
    if (!candidates_.add(dir.path(), identityOf(dir), totals, capacity_, &line)) {
        if (onFull_)
            onFull_();
        return {};
    }
    links.forEach([line](LinkedBytes& link) { link.line = line; });
    return links;
}

DirHogLinks AllDirectoriesFold::combine(const WalkDir&, DirHogLinks own, std::vector<DirHogLinks>& children)
{
    for (DirHogLinks& child : children) {
        own.absorbLater(std::move(child), [this](const LinkedBytes& later) {
            if (later.line != LinkedBytes::kNoLine)
                candidates_.uncount(later.line, later.bytes);
        });
    }
    return own;
}

} // namespace kelvane
