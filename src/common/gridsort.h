#pragma once

#include "common/sortablegrid.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace kelvane {

enum class SortKind { Text, Number, Date };

// The new order of a range of grid rows sorted by one column, as the grid
// sorts produce it: cells[i] is the column's text in row i of the range; the
// result holds, for each position of the sorted range, the index into cells
// of the row that goes there.
//
// Rows with equal keys end up in the order of the sort's fixed steps (a Hoare
// quicksort around the middle row, for text with an exchange sort of ranges of
// at most five rows), not in their original order: every caller sees the same
// order for the same cells. Keys come from sortkeys.h with the user's locale
// and short date format; today settles years of two digits and dates without
// a year.
std::vector<uint32_t> sortOrder(const std::vector<QString>& cells, SortKind kind, bool descending,
                                const QDate& today);
// The same for n cells read through cell(i), each once, without a copy of
// the column (a million rows sort off the window's thread this way).
std::vector<uint32_t> sortOrder(size_t n, const std::function<QString(size_t)>& cell, SortKind kind,
                                bool descending, const QDate& today);

// Sort rows first .. last of a grid by the cells of a column (0-based), as
// text, number or date, and move each whole row once. They do nothing when
// last <= first, or when the range is not inside the grid. Windows pass the
// date of their clock as today.
void sortGridText(SortableGrid& grid, int first, int last, int column, bool descending,
                  const QDate& today = QDate::currentDate());
void sortGridNumber(SortableGrid& grid, int first, int last, int column, bool descending,
                    const QDate& today = QDate::currentDate());
void sortGridDate(SortableGrid& grid, int first, int last, int column, bool descending,
                  const QDate& today = QDate::currentDate());

} // namespace kelvane
