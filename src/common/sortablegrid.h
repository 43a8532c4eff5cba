#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace kelvane {

// What the grid sorts need of a result grid: read the cells of one column and
// move whole rows once, in their new order. Rows are grid rows (row 0 the
// title row). The names differ from QAbstractItemModel's rowCount() so that a
// model can implement both.
class SortableGrid {
public:
    virtual ~SortableGrid() = default;
    // Rows of the grid, the title row included.
    virtual int RowCount() const = 0;
    virtual QString Cells(int column, int row) const = 0;
    // Rows first .. first + order.size() - 1 change places at once: the row at
    // position first + i becomes the old row first + order[i]. order is a
    // permutation of 0 .. order.size() - 1. Every cell of a row moves with it.
    virtual void reorderRows(int first, const std::vector<uint32_t>& order) = 0;
};

} // namespace kelvane
