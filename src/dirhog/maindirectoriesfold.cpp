#include "dirhog/maindirectoriesfold.h"

#include "common/entrykind.h"

namespace kelvane {

SubtreeTotals MainDirectoriesFold::visit(const WalkDir& dir, std::span<const Entry> listing)
{
    SubtreeTotals own;
    own.listed = true;
    const bool once = measure_ == SizeMeasure::DiskUsage;
    for (const Entry& e : listing) {
        if (entryKind(e) != EntryKind::Other)
            continue;
        const int64_t bytes = sizeOf(e, measure_);
        // The root's own files count in no line, but they come first in walk
        // order: their names still own their files.
        if (once && mayShareFile(e) && !own.links.claim(e, LinkedBytes{bytes}))
            continue;
        if (!dir.isRoot())
            own.totals.addFile(e, bytes);
    }
    return own;
}

SubtreeTotals MainDirectoriesFold::combine(const WalkDir& dir, SubtreeTotals own,
                                           std::vector<SubtreeTotals>& children)
{
    for (SubtreeTotals& child : children) {
        if (!child.listed)
            continue; // unreadable, or not reached before an abort
        if (dir.isRoot()) {
            // The lines are in the list: a later name comes out of its line.
            own.links.absorbLater(std::move(child.links), [this](const LinkedBytes& later) {
                if (later.line != LinkedBytes::kNoLine)
                    candidates_.uncount(later.line, later.bytes);
            });
            continue;
        }
        own.totals += child.totals;
        ++own.totals.subdirs;
        own.links.absorbLater(std::move(child.links),
                              [&own](const LinkedBytes& later) { own.totals.removeFile(later.bytes); });
    }
    if (dir.depth() == 1) {
        size_t line = LinkedBytes::kNoLine;
        if (!candidates_.add(dir.path(), identityOf(dir), own.totals, capacity_, &line) && onFull_)
            onFull_();
        own.links.forEach([line](LinkedBytes& link) { link.line = line; });
    }
    return own;
}

} // namespace kelvane
