#pragma once

#include "common/walker.h"

#include <cstdint>

namespace kelvane {

struct TreeTotals {
    uint64_t directories = 0; // directories listed, the root included
    uint64_t files = 0;       // entries that are not directories, hidden ones included
    uint64_t bytes = 0;       // apparent size of those files

    TreeTotals& operator+=(const TreeTotals& other);
    bool operator==(const TreeTotals&) const = default;
};

// Totals of a tree; keeps nothing per file.
class TreeTotalsFold final : public Fold<TreeTotals> {
public:
    TreeTotals visit(const WalkDir& dir, std::span<const Entry> listing) override;
    TreeTotals combine(const WalkDir& dir, TreeTotals own, std::vector<TreeTotals>& children) override;
};

} // namespace kelvane
