#pragma once

namespace kelvane {

// Which tool the duplicates window is: true for duplicate files, false for
// file hogs. Written by the launcher before each opening.
extern bool findDuplicates;

} // namespace kelvane
