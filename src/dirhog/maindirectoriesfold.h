#pragma once

#include "common/scanoptions.h"
#include "common/walker.h"
#include "dirhog/candidatelist.h"
#include "dirhog/linkedbytes.h"

#include <functional>

namespace kelvane {

// Totals of a subtree, and whether its directory was listed at all.
struct SubtreeTotals {
    DirTotals totals;
    bool listed = false;
    DirHogLinks links; // space on disk: the hard-linked files counted here
};

// Main-directories mode: each directory directly under the root gets one line
// with the totals of its whole subtree: every file (hidden ones and links
// included), the directories entered below it at any depth, the newest file.
// The root's own files are in no line. After an abort, a main directory whose
// walk had begun keeps a line with what was gathered; the later ones get none.
// With space on disk a hard-linked file counts once, in the line of its first
// name in walk order (nowhere when that is one of the root's own files); the
// root's value keeps the claims for the scan to settle with other drives.
class MainDirectoriesFold final : public Fold<SubtreeTotals> {
public:
    // onFull runs once per refused line (from a walk thread); it should stop the walk.
    MainDirectoriesFold(CandidateList& candidates, int64_t capacity, std::function<void()> onFull,
                        SizeMeasure measure = SizeMeasure::Apparent)
        : candidates_(candidates), capacity_(capacity), onFull_(std::move(onFull)), measure_(measure)
    {
    }

    SubtreeTotals visit(const WalkDir& dir, std::span<const Entry> listing) override;
    SubtreeTotals combine(const WalkDir& dir, SubtreeTotals own,
                          std::vector<SubtreeTotals>& children) override;

private:
    CandidateList& candidates_;
    int64_t capacity_;
    std::function<void()> onFull_;
    SizeMeasure measure_;
};

} // namespace kelvane
