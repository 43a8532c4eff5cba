#pragma once

#include "common/scanoptions.h"
#include "common/walker.h"
#include "dirhog/candidatelist.h"
#include "dirhog/linkedbytes.h"

#include <functional>

namespace kelvane {

// All-directories mode: every directory the walk enters gets a line with the
// files directly in it (hidden ones and links included) and the number of
// its subdirectory entries (hidden ones included, though entered only when
// hidden entries are asked for). A drive root whose listing holds nothing but
// entries the scan leaves out (system ones, and hidden ones unless asked
// for) gets no line. With space on disk a hard-linked file counts once, in
// the line of its first name in walk order; the value of a subtree is the
// claims of its hard-linked files, settled in combine and, for the root,
// by the scan with the other drives.
class AllDirectoriesFold final : public Fold<DirHogLinks> {
public:
    // onFull runs once per refused line (from a walk thread); it should stop the walk.
    AllDirectoriesFold(CandidateList& candidates, int64_t capacity, std::function<void()> onFull,
                       ScanOptions scan = {})
        : candidates_(candidates), capacity_(capacity), onFull_(std::move(onFull)), scan_(scan)
    {
    }

    DirHogLinks visit(const WalkDir& dir, std::span<const Entry> listing) override;
    DirHogLinks combine(const WalkDir&, DirHogLinks own, std::vector<DirHogLinks>& children) override;

private:
    CandidateList& candidates_;
    int64_t capacity_;
    std::function<void()> onFull_;
    ScanOptions scan_;
};

} // namespace kelvane
