#pragma once

#include "common/deletionreport.h"
#include "common/markedfiles.h"
#include "common/scanoptions.h"

#include <QString>

#include <vector>

namespace kelvane {

// Deletes (or moves to the Trash) each file in turn, each bound to what the
// scan saw of it: a file whose size or modification time changed since the
// scan is skipped ("Changed since the scan - PATH"), as is one reached
// through a link or replaced by another. Only what really went is counted,
// in measure (the one the list showed).
DeletionReport deleteFiles(const std::vector<MarkedFile>& files, bool toTrash,
                           SizeMeasure measure = SizeMeasure::Apparent);

// The ending of a deletion of files: what went (deleted, or moved to the
// Trash with the note that its space is freed only when the Trash is
// emptied), then what stayed and why.
QString deletionEnding(const DeletionReport& report, bool toTrash);

} // namespace kelvane
