#pragma once

#include "common/markedfiles.h"
#include "common/scanoptions.h"
#include "common/ui/ScanWindow.h"

#include <QIcon>

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

// A scan window whose result rows the user marks for deletion (duplicates,
// file hogs, files changed). A row's mark shows in its mark column, the
// marked files and their counters live in lbDeleted and in the status line
// (statusLine(), which the window must give), and when the window closes the
// marked files go to the delete confirmation. Nothing is marked while the
// window is busy: a scan or a sort may be reading the rows.
class MarkingWindow : public ScanWindow {
    Q_OBJECT
public:
    using ScanWindow::ScanWindow;

    // Mark button and the Delete key: toggles the current row's mark, then
    // makes the next row current.
    void DeleteAllFiles();
    // Double click: toggles the current row's mark.
    void gridDblClick();
    // Toggles the mark of one row, despite its name: nothing is deleted
    // before the window closes.
    void deleteOneFile(int row);
    // Hands the marked files to the delete confirmation; false when the user
    // chose to stay in the window to change the marks.
    bool FormClose();

    // What the window holds, for those who look at it from outside.
    int resultRows() const { return resultCount; }
    std::vector<std::string> markedPaths() const { return lbDeleted.paths(); }
    int64_t markedFileCount() const { return lbDeleted.count(); }
    int64_t markedByteCount() const { return lbDeleted.bytes(); }

public Q_SLOTS:
    // Closes only when not busy and when FormClose lets it.
    void done(int result) override;

protected:
    // The Mark button ("&Mark" with hint and the two bin pictures): clicks
    // and double clicks on the grid mark.
    void makeMarkButton(const QString& hint, const QIcon& empty, const QIcon& full);
    // A new result: forgets every mark.
    void clearMarks();
    // The measure marking counts and the confirmation shows (that of the result).
    void setMarkMeasure(SizeMeasure measure);

    // The grid column that shows a row's mark (in place of its time).
    virtual int markColumn() const = 0;
    // The duplicate group of a row (-1: none).
    virtual int markGroup(int /*row*/) const { return -1; }
    // Before the marked files go: false when the user would rather stay.
    virtual bool warnBeforeDeletion() { return true; }
    // Once the window has closed.
    virtual void forgetResult() {}

    QPushButton* btDelete = nullptr;
    MarkedFiles lbDeleted; // the marked files, in marking order, and their counters
    int resultCount = 0;   // result rows in the grid

private:
    QIcon imTrash;
    QIcon imTrashFul;
    SizeMeasure markMeasure_ = SizeMeasure::Apparent;
};

} // namespace kelvane
