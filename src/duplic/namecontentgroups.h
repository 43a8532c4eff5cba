#pragma once

#include "common/resultgrid.h"
#include "duplic/contentduplicates.h"

#include <vector>

namespace kelvane {

// The Content result of the duplicates window.
struct NameContentResult {
    // Groups of rows whose files have the same name and identical bytes,
    // one empty row between two groups.
    std::vector<GridRow> rows;
    // The group number of each row; each empty row has a number of its own.
    std::vector<uint32_t> groups;
    bool aborted = false;
    uint64_t leftOut = 0; // files that changed, vanished or could not be read
};

// Splits the result of a Scan (rows grouped by name, letter case ignored, in
// the order of the result list) by content: only rows whose files have
// identical bytes stay, each group in the order of the rows, the groups in
// the order of their first rows. Rows of one inode are shown once, at the
// first of them, so no link is ever offered as a copy of its own file.
NameContentResult splitByContent(std::vector<GridRow> scanRows, const ContentOptions& options);

} // namespace kelvane
