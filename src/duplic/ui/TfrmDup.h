#pragma once

#include "common/resultgrid.h"
#include "common/scanoptions.h"
#include "common/ui/MarkingWindow.h"
#include "common/walkdir.h"
#include "duplic/contentduplicates.h"

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QSpinBox;

namespace kelvane {

class ScanChoices;

// Duplicate files or file hogs, as findDuplicates says when it opens. The
// scan runs off the window's thread; the user marks result rows, and the
// marked files go to the delete confirmation when the window closes.
class TfrmDup : public MarkingWindow {
    Q_OBJECT
public:
    explicit TfrmDup(Services& services, QWidget* parent = nullptr);
    ~TfrmDup() override;

    // Set-up and layout (called once the window exists).
    void FormShow();
    void FormResize();
    void ClearGrid();
    void KiloToMega();
    void cbWildCardChange();

    // Scan and Exact: a new scan from an empty grid; the result comes when
    // runner() says finished.
    void btScanClick();
    void btExactClick();
    // Content: Scan's groups of one name, split by the files' bytes.
    void btContentClick();

    // Marking (MarkingWindow): DeleteAllFiles, gridDblClick and deleteOneFile,
    // which only toggles a row's mark; FormClose hands the marked files to
    // the delete confirmation, after a warning when every copy of a
    // duplicate group is marked. btSortClick pops up the sort menu (ScanWindow).

    void btClipClick();
    void btPrintClick();
    void Sortbysize1Click(QAction* chosen);
    void BrowseDirectory1Click();

    // What the window holds, for those who look at it from outside.
    QStringList resultLines() const;
    // The last scan ended early: aborted, or its list full.
    bool aborted() const
    {
        return lastOutcome() == ScanOutcome::Aborted || lastOutcome() == ScanOutcome::Full;
    }

    // Lines the candidate list takes before a scan stops with a warning.
    void setListLimit(size_t lines) { capacity_ = lines; }
    // Called on the reading threads before each file the content step reads.
    void setBeforeContentRead(std::function<void(ContentStep, const std::string&)> hook)
    {
        contentHook_ = std::move(hook);
    }

protected:
    int leftControlsRight() const override;
    void fitToDrives() override;
    void resizeEvent(QResizeEvent* event) override;
    // Duplicates and file hogs remember their size limits and patterns apart.
    QString settingsGroup() const override;
    void saveSettings() override;
    int markColumn() const override;
    int markGroup(int row) const override;
    bool warnBeforeDeletion() override;
    void forgetResult() override;

private:
    struct Outcome;

    void buildControls();
    // The size limit and the file pattern, with their labels.
    void buildFilterFields();
    void layoutButtons();
    void scan(bool exact, bool content = false);
    void setScanning(bool scanning);
    size_t showResult(ScanOutcome ended) override;
    void showFailure() override;
    void showProgress();

    // Controls of the top panel.
    QLabel* Label1;
    QSpinBox* SpinEdit1;
    QLabel* lblKB;
    QLabel* Label3;
    QComboBox* cbWildCard;
    QLabel* lblWild;
    QPushButton* btScan;
    QPushButton* btExact;
    QPushButton* btContent;
    QLabel* pnlSel;
    SizeMeasure shownMeasure_ = SizeMeasure::Apparent; // of the result shown
    QAction* Sortbysize1;
    QAction* SortbyDate1;
    QAction* SortbyName1;

    // Result state (the marks are MarkingWindow's).
    std::vector<uint32_t> rowGroup_; // duplicate group of each result row (grid row - 1)
    std::vector<int> groupSizes_;    // rows of each group
    std::vector<int> groupFirstRow_; // grid row where each group begins

    bool duplicates_ = true;
    size_t capacity_;
    std::function<void(ContentStep, const std::string&)> contentHook_;
    std::shared_ptr<Outcome> outcome_; // of the running scan
    bool closing_ = false;
};

} // namespace kelvane
