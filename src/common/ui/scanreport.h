#pragma once

#include <QString>

class QLabel;

namespace kelvane {

class WalkProgress;

// The error box text for a scan that failed ("out of memory", ...).
QString scanFailedText(const QString& reason);

// After a scan: when directories could not be read, adds how many to the
// status line ("Directories : 42; 12 directories could not be read") with the
// first of their paths as its tool tip; otherwise only clears the tool tip.
void noteUnreadable(QLabel* status, const WalkProgress& progress);

} // namespace kelvane
