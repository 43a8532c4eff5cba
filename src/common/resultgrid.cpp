#include "common/resultgrid.h"

namespace kelvane {

const std::string ResultGrid::kNoPath;

GridRow GridRow::fromCells(const QStringList& cells, std::string path)
{
    return GridRow{cells.join(QLatin1Char('\t')).toUtf8(), std::move(path), {}};
}

ResultGrid::ResultGrid(const QStringList& titles, QObject* parent)
    : QAbstractTableModel(parent), titles_(titles)
{
    rows_.resize(1);
}

void ResultGrid::setRowCount(int n)
{
    const size_t wanted = size_t(std::max(n, 1) - 1);
    if (wanted == rows_.size())
        return;
    if (wanted > rows_.size()) {
        beginInsertRows(QModelIndex(), int(rows_.size()), int(wanted) - 1);
        rows_.resize(wanted);
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), int(wanted), int(rows_.size()) - 1);
        rows_.resize(wanted);
        endRemoveRows();
    }
}

void ResultGrid::clearRows()
{
    beginResetModel();
    rows_.clear();
    rows_.resize(1);
    endResetModel();
}

QString ResultGrid::Cells(int col, int row) const
{
    if (col < 0 || col >= ColCount())
        return {};
    if (row == 0)
        return titles_[col];
    if (row < 0 || row >= RowCount())
        return {};
    const QByteArray& cells = rows_[size_t(row - 1)].cells;
    qsizetype start = 0;
    for (int c = 0; c < col; ++c) {
        start = cells.indexOf('\t', start);
        if (start < 0)
            return {};
        ++start;
    }
    const qsizetype end = cells.indexOf('\t', start);
    return QString::fromUtf8(cells.constData() + start, (end < 0 ? cells.size() : end) - start);
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
    rows_[size_t(row - 1)].cells = cells.join(QLatin1Char('\t')).toUtf8();
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
    rows_[size_t(row - 1)] = GridRow::fromCells(cells, std::move(path));
    Q_EMIT dataChanged(index(row - 1, 0), index(row - 1, ColCount() - 1));
}

void ResultGrid::setRows(std::vector<GridRow> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    if (rows_.empty())
        rows_.resize(1);
    endResetModel();
}

const std::string& ResultGrid::rowPath(int row) const
{
    if (row < 1 || row >= RowCount())
        return kNoPath;
    return rows_[size_t(row - 1)].path;
}

FileIdentity ResultGrid::rowIdentity(int row) const
{
    if (row < 1 || row >= RowCount())
        return {};
    return rows_[size_t(row - 1)].identity;
}

void ResultGrid::reorderRows(int first, const std::vector<uint32_t>& order)
{
    if (first < 1 || order.empty() || size_t(first - 1) + order.size() > rows_.size())
        return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const size_t base = size_t(first - 1);
    std::vector<GridRow> moved(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        moved[i] = std::move(rows_[base + order[i]]);
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
    std::move(moved.begin(), moved.end(), rows_.begin() + ptrdiff_t(base));
    changePersistentIndexList(persistent, updated);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ResultGrid::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
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
