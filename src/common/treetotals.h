#pragma once

#include "common/linkclaims.h"
#include "common/scanoptions.h"
#include "common/walker.h"

#include <cstdint>

namespace kelvane {

struct TreeTotals {
    uint64_t directories = 0; // directories listed, the root included
    uint64_t files = 0;       // entries that are not directories, hidden ones included
    uint64_t bytes = 0;       // size of those files in the fold's measure
    // Space on disk: hard-linked files counted so far, with their bytes.
    LinkClaims<int64_t> links;

    TreeTotals& operator+=(const TreeTotals& other);
    bool operator==(const TreeTotals& o) const
    {
        return directories == o.directories && files == o.files && bytes == o.bytes;
    }
};

// Totals of a tree; keeps nothing per file but its hard-linked files when it
// measures space on disk (each of those counts once, at its first name).
class TreeTotalsFold final : public Fold<TreeTotals> {
public:
    explicit TreeTotalsFold(SizeMeasure measure = SizeMeasure::Apparent) : measure_(measure) {}

    TreeTotals visit(const WalkDir& dir, std::span<const Entry> listing) override;
    TreeTotals combine(const WalkDir& dir, TreeTotals own, std::vector<TreeTotals>& children) override;

private:
    SizeMeasure measure_;
};

} // namespace kelvane
