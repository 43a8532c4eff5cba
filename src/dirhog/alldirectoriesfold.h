#pragma once

#include "common/walker.h"
#include "dirhog/candidatelist.h"

#include <functional>

namespace kelvane {

// All-directories mode: every directory the walk enters gets a line with the
// files directly in it (hidden ones and links included) and the number of
// its subdirectory entries (hidden ones included, though never entered).
// A drive root whose listing holds nothing but hidden and system entries
// gets no line.
class AllDirectoriesFold final : public Fold<bool> {
public:
    // onFull runs once per refused line (from a walk thread); it should stop the walk.
    AllDirectoriesFold(CandidateList& candidates, int64_t capacity, std::function<void()> onFull)
        : candidates_(candidates), capacity_(capacity), onFull_(std::move(onFull))
    {
    }

    bool visit(const WalkDir& dir, std::span<const Entry> listing) override;
    bool combine(const WalkDir&, bool own, std::vector<bool>&) override { return own; }

private:
    CandidateList& candidates_;
    int64_t capacity_;
    std::function<void()> onFull_;
};

} // namespace kelvane
