#pragma once

#include "dirhog/dirtotals.h"

#include <QString>

#include <cstdint>
#include <string_view>

namespace kelvane {

// The decimal text of n right-aligned in 7 characters; longer texts unchanged.
QString padSize(int64_t n);

// total as a share of capacity with two decimals ("50.00", the locale's
// decimal separator), or "???" unless total is below capacity (an unknown
// capacity is -1).
QString percentOfDrive(int64_t capacity, int64_t total);

// The directory line of a directory: seven tab-separated columns: size in K,
// share of the drive, file count, subdirectory count, latest file date (empty
// without a file), the directory as shown, the date again.
QString directoryLine(const DirTotals& totals, int64_t capacity, std::string_view path);
// The same with the date text given (many lines share a date).
QString directoryLine(const DirTotals& totals, int64_t capacity, std::string_view path, const QString& date);

// The text of column 1 for a byte total ("      3 K").
QString sizeColumn(int64_t bytes);

// A size cell ("      3 K") right-aligned in a width that any 64-bit size
// fits, so that a text sort orders sizes of 10,000,000 K and more as numbers
// too and keeps the order of shorter ones. Other texts ("DELETED") unchanged.
QString sizeSortText(const QString& cell);

} // namespace kelvane
