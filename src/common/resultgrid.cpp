#include "common/resultgrid.h"

#include <malloc.h>

namespace kelvane {

GridRow GridRow::fromCells(const QStringList& cells, std::string path)
{
    return GridRow{cells.join(QLatin1Char('\t')).toUtf8(), std::move(path), {}};
}

ResultGrid::ResultGrid(const QStringList& titles, QObject* parent)
    : QAbstractTableModel(parent), titles_(titles)
{
    order_.resize(1);
}

void ResultGrid::setRowCount(int n)
{
    const size_t wanted = size_t(std::max(n, 1) - 1);
    if (wanted == order_.size())
        return;
    if (wanted > order_.size()) {
        beginInsertRows(QModelIndex(), int(order_.size()), int(wanted) - 1);
        order_.resize(wanted);
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), int(wanted), int(order_.size()) - 1);
        order_.resize(wanted);
        endRemoveRows();
    }
}

void ResultGrid::replaceStore(GridRowStore store, std::vector<GridRowStore::Row> order)
{
    beginResetModel();
    store_ = std::move(store);
    order_ = std::move(order);
    if (order_.empty())
        order_.resize(1);
    endResetModel();
}

void ResultGrid::clearRows()
{
    replaceStore(GridRowStore(), {});
    // What a million rows left in the allocator's free lists goes back too.
    ::malloc_trim(0);
}

QString ResultGrid::Cells(int col, int row) const
{
    if (col < 0 || col >= ColCount())
        return {};
    if (row == 0)
        return titles_[col];
    if (row < 0 || row >= RowCount())
        return {};
    const std::string_view cell = GridRowStore::cell(order_[size_t(row - 1)], col);
    return QString::fromUtf8(cell.data(), qsizetype(cell.size()));
}

void ResultGrid::setCells(int col, int row, const QString& text)
{
    if (col < 0 || col >= ColCount() || row < 0)
        return;
    if (row == 0) {
        titles_[col] = text;
        Q_EMIT headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    if (row >= RowCount())
        setRowCount(row + 1);
    QStringList cells;
    for (int c = 0; c < ColCount(); ++c)
        cells.append(c == col ? text : Cells(c, row));
    GridRowStore::Row& r = order_[size_t(row - 1)];
    r = store_.append(cells.join(QLatin1Char('\t')).toUtf8().toStdString(), GridRowStore::path(r),
                      GridRowStore::identity(r), true);
    const QModelIndex changed = index(row - 1, col);
    Q_EMIT dataChanged(changed, changed);
}

void ResultGrid::setTitles(const QStringList& titles)
{
    beginResetModel();
    titles_ = titles;
    endResetModel();
}

void ResultGrid::setRow(int row, const QStringList& cells, std::string path)
{
    if (row < 1)
        return;
    if (row >= RowCount())
        setRowCount(row + 1);
    order_[size_t(row - 1)] = store_.append(cells.join(QLatin1Char('\t')).toUtf8().toStdString(), path);
    Q_EMIT dataChanged(index(row - 1, 0), index(row - 1, ColCount() - 1));
}

void ResultGrid::setRows(std::vector<GridRow> rows)
{
    GridRowStore store;
    std::vector<GridRowStore::Row> order;
    order.reserve(rows.size());
    for (GridRow& row : rows) {
        order.push_back(store.append(std::string_view(row.cells.constData(), size_t(row.cells.size())),
                                     row.path, row.identity));
        row = GridRow();
    }
    rows = {};
    replaceStore(std::move(store), std::move(order));
}

void ResultGrid::setRows(GridRowStore rows)
{
    std::vector<GridRowStore::Row> order;
    order.reserve(rows.originalCount());
    rows.forEachOriginal([&](GridRowStore::Row row) { order.push_back(row); });
    replaceStore(std::move(rows), std::move(order));
}

std::string ResultGrid::rowPath(int row) const
{
    if (row < 1 || row >= RowCount())
        return {};
    return GridRowStore::path(order_[size_t(row - 1)]);
}

std::vector<std::string_view> ResultGrid::originalRows() const
{
    std::vector<std::string_view> rows;
    rows.reserve(store_.originalCount());
    store_.forEachOriginal([&](GridRowStore::Row row) { rows.push_back(GridRowStore::cells(row)); });
    return rows;
}

FileIdentity ResultGrid::rowIdentity(int row) const
{
    if (row < 1 || row >= RowCount())
        return {};
    return GridRowStore::identity(order_[size_t(row - 1)]);
}

void ResultGrid::reorderRows(int first, const std::vector<uint32_t>& order)
{
    if (first < 1 || order.empty() || size_t(first - 1) + order.size() > order_.size())
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const size_t base = size_t(first - 1);
    std::vector<GridRowStore::Row> moved(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        moved[i] = order_[base + order[i]];
    // Persistent indexes (the current row, the selection) follow their rows.
    std::vector<int> newPosition(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        newPosition[order[i]] = int(base + i);
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList updated;
    for (const QModelIndex& old : persistent) {
        const size_t r = size_t(old.row());
        const int row = r >= base && r < base + order.size() ? newPosition[r - base] : old.row();
        updated.append(index(row, old.column()));
    }
    std::copy(moved.begin(), moved.end(), order_.begin() + ptrdiff_t(base));
    changePersistentIndexList(persistent, updated);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ResultGrid::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(order_.size());
}

int ResultGrid::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColCount();
}

QVariant ResultGrid::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return Cells(index.column(), index.row() + 1);
}

QVariant ResultGrid::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < ColCount() ? QVariant(titles_[section]) : QVariant();
    return section + 1;
}

} // namespace kelvane
