#pragma once

#include "common/fileidentity.h"
#include "common/gridrowstore.h"
#include "common/sortablegrid.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QStringList>

#include <string>
#include <vector>

namespace kelvane {

// One result row as a scan hands it over: its cells (UTF-8, joined by tabs),
// the real path it stands for (raw bytes) and what the scan saw there.
struct GridRow {
    QByteArray cells;
    std::string path;
    FileIdentity identity;

    static GridRow fromCells(const QStringList& cells, std::string path = {});
};

// The result grid: row 0 is the title row, rows 1 to RowCount() - 1 hold the
// results. Row r of the grid is row r - 1 of the model; only this class maps
// between the two. After clearRows() one empty result row is left.
//
// Rows live in a GridRowStore (no object per row); the grid holds one
// pointer per row in its order. Clearing gives the memory back.
class ResultGrid : public QAbstractTableModel, public SortableGrid {
    Q_OBJECT
public:
    explicit ResultGrid(const QStringList& titles, QObject* parent = nullptr);

    int RowCount() const override { return int(order_.size()) + 1; }
    int ColCount() const { return int(titles_.size()); }
    // Grows (with empty rows) or shrinks the grid to n rows, the title included.
    void setRowCount(int n);
    // Leaves the title row and one empty row, and gives the rows' memory back
    // to the system.
    void clearRows();

    // Cell text; row 0 gives the titles. Empty outside the grid.
    QString Cells(int col, int row) const override;
    void setCells(int col, int row, const QString& text);
    void setTitles(const QStringList& titles);

    // Sets the cells and path of row (1 or more), growing the grid if needed.
    void setRow(int row, const QStringList& cells, std::string path = {});
    // Replaces every result row at once (a scan's final list).
    void setRows(std::vector<GridRow> rows);
    // The same, from rows stored on another thread: the grid shows the
    // store's rows in the order they were appended.
    void setRows(GridRowStore rows);
    std::string rowPath(int row) const;
    // What the scan saw at the row's path (unknown outside the grid).
    FileIdentity rowIdentity(int row) const;

    // The rows' texts as they first came (before any cell was changed), in
    // the order they came.
    std::vector<std::string_view> originalRows() const;
    // The grid's rows in their order (valid until the grid is cleared or
    // replaced), for reading their cells off the window's thread while the
    // grid stays as it is: GridRowStore::cell().
    std::vector<GridRowStore::Row> rowsInOrder() const { return order_; }
    // Bytes the rows take: the store and the order.
    size_t rowBytes() const { return store_.bytes() + order_.capacity() * sizeof(GridRowStore::Row); }

    // Moves whole rows once: the row at first + i becomes the old row
    // first + order[i].
    void reorderRows(int first, const std::vector<uint32_t>& order) override;

    // The model side, for the view.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Grid row of a model index (0 when invalid) and back.
    static int gridRow(const QModelIndex& index) { return index.isValid() ? index.row() + 1 : 0; }
    QModelIndex indexOf(int col, int row) const { return index(row - 1, col); }

private:
    void replaceStore(GridRowStore store, std::vector<GridRowStore::Row> order);

    QStringList titles_;
    GridRowStore store_;
    std::vector<GridRowStore::Row> order_;
};

} // namespace kelvane
