#include "common/ui/ResultGridView.h"

#include "common/resultgrid.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

namespace kelvane {

ResultGridView::ResultGridView(QWidget* parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("grid"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setShowGrid(true);
    // Tab moves on to the next control; the arrows move between cells.
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void ResultGridView::setGrid(ResultGrid* grid)
{
    grid_ = grid;
    setModel(grid);
}

int ResultGridView::Row() const
{
    return ResultGrid::gridRow(currentIndex());
}

void ResultGridView::setRow(int row)
{
    if (!grid_ || row < 1 || row >= grid_->RowCount())
        return;
    setCurrentIndex(grid_->indexOf(std::max(0, currentIndex().column()), row));
}

void ResultGridView::setColWidths(const QList<int>& widths)
{
    for (int i = 0; i < widths.size(); ++i)
        setColumnWidth(i, widths[i]);
}

void ResultGridView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        Q_EMIT deletePressed();
        return;
    }
    QTableView::keyPressEvent(event);
}

int ResultGridView::fittedWidth(int design, const QString& sample, int margin, const QString& title) const
{
    const int text = std::max(fontMetrics().horizontalAdvance(sample),
                              horizontalHeader()->fontMetrics().horizontalAdvance(title));
    return std::max(design, text + margin);
}

} // namespace kelvane
