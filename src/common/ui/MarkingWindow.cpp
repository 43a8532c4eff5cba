#include "common/ui/MarkingWindow.h"

#include "common/resultgrid.h"
#include "common/ui/ResultGridView.h"
#include "common/ui/TfrmReallyDelete.h"

#include <QLabel>
#include <QPushButton>

namespace kelvane {

namespace {

// What a row's mark column reads once marked, and once the mark is taken
// back (its old text is not shown again).
const QString kMarked = QStringLiteral("MARKED");
const QString kUnmarked = QStringLiteral("OOPS");

} // namespace

void MarkingWindow::makeMarkButton(const QString& hint, const QIcon& empty, const QIcon& full)
{
    imTrash = empty;
    imTrashFul = full;
    btDelete = makeButton(QStringLiteral("btDelete"), QStringLiteral("&Mark"), hint);
    btDelete->setIcon(imTrash);
    connect(btDelete, &QPushButton::clicked, this, &MarkingWindow::DeleteAllFiles);
    grid->setToolTip(QStringLiteral("Double click to mark for deletion"));
    connect(grid, &QAbstractItemView::doubleClicked, this, &MarkingWindow::gridDblClick);
}

void MarkingWindow::clearMarks()
{
    lbDeleted.clear();
    btDelete->setIcon(imTrash);
}

void MarkingWindow::setMarkMeasure(SizeMeasure measure)
{
    markMeasure_ = measure;
    lbDeleted.setMeasure(measure);
}

// Toggles a mark (the name is the design's): nothing is deleted here.
void MarkingWindow::deleteOneFile(int row)
{
    if (row < 1 || row > resultCount)
        return;
    const std::string path = gridModel_->rowPath(row);
    if (path.empty())
        return; // the empty row between two content groups
    const int column = markColumn();
    const bool wasMarked = gridModel_->Cells(column, row) == kMarked;
    lbDeleted.toggle(path, gridModel_->rowIdentity(row), wasMarked, markGroup(row));
    gridModel_->setCells(column, row, wasMarked ? kUnmarked : kMarked);
    statusLine()->setText(lbDeleted.statusText());
    btDelete->setIcon(lbDeleted.count() >= 1 ? imTrashFul : imTrash);
}

void MarkingWindow::DeleteAllFiles()
{
    const int row = grid->Row();
    if (row < 1 || busy())
        return;
    deleteOneFile(row);
    if (row < gridModel_->RowCount() - 1)
        grid->setRow(row + 1);
}

void MarkingWindow::gridDblClick()
{
    const int row = grid->Row();
    if (row > 0 && !busy())
        deleteOneFile(row);
}

bool MarkingWindow::FormClose()
{
    // Files marked but gone before they were counted give nothing to confirm.
    if (lbDeleted.count() <= 0)
        return true;
    if (!warnBeforeDeletion())
        return false;
    const int64_t savings = lbDeleted.bytes();
    TfrmReallyDelete::confirmAndDelete(this, services_, lbDeleted.take(), savings, {}, markMeasure_);
    return true;
}

void MarkingWindow::done(int result)
{
    if (busy())
        return;
    if (!FormClose())
        return; // stays open to change the marks
    ScanWindow::done(result);
    forgetResult();
}

} // namespace kelvane
