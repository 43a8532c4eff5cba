#pragma once

#include "common/walker.h"
#include "dirhog/candidatelist.h"

#include <functional>

namespace kelvane {

// Totals of a subtree, and whether its directory was listed at all.
struct SubtreeTotals {
    DirTotals totals;
    bool listed = false;
};

// Main-directories mode: each directory directly under the root gets one line
// with the totals of its whole subtree: every file (hidden ones and links
// included), the directories entered below it at any depth, the newest file.
// The root's own files are in no line. After an abort, a main directory whose
// walk had begun keeps a line with what was gathered; the later ones get none.
class MainDirectoriesFold final : public Fold<SubtreeTotals> {
public:
    // onFull runs once per refused line (from a walk thread); it should stop the walk.
    MainDirectoriesFold(CandidateList& candidates, int64_t capacity, std::function<void()> onFull)
        : candidates_(candidates), capacity_(capacity), onFull_(std::move(onFull))
    {
    }

    SubtreeTotals visit(const WalkDir& dir, std::span<const Entry> listing) override;
    SubtreeTotals combine(const WalkDir& dir, SubtreeTotals own,
                          std::vector<SubtreeTotals>& children) override;

private:
    CandidateList& candidates_;
    int64_t capacity_;
    std::function<void()> onFull_;
};

} // namespace kelvane
