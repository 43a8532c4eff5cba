#pragma once

#include "common/walker.h"
#include "duplic/contentduplicates.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

// Collects the regular files of one or more trees that are strictly larger
// than a limit, for the content comparison, in walk order: trees in the order
// they are added; in each tree a directory's subdirectories (in listing order)
// before its own files, as the duplicates scan meets them. Links, devices,
// FIFOs and sockets are never content.
class ContentCandidates final : public Fold<std::vector<std::vector<ContentFile>>> {
public:
    using Chunks = std::vector<std::vector<ContentFile>>;

    // hidden: hidden files are listed and hidden directories walked.
    ContentCandidates(int64_t limitBytes, bool hidden) : limitBytes_(limitBytes), hidden_(hidden) {}

    WalkStats addTree(const std::string& root, WalkOptions options = {});
    // The files collected so far, in walk order; empties the collection.
    std::vector<ContentFile> take();

    Chunks visit(const WalkDir& dir, std::span<const Entry> listing) override;
    Chunks combine(const WalkDir& dir, Chunks own, std::vector<Chunks>& children) override;

private:
    int64_t limitBytes_;
    bool hidden_;
    Chunks collected_;
};

} // namespace kelvane
