#pragma once

#include "common/ui/MarkingWindow.h"
#include "common/walkdir.h"
#include "filemod/changedfilelist.h"
#include "filemod/daterange.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QFrame;
class QLineEdit;
class QToolButton;

namespace kelvane {

class ScanChoices;

// Files last written between two dates. The scan runs off the window's
// thread; the user marks result rows, and the marked files go to the delete
// confirmation when the window closes.
class TfrmMods : public MarkingWindow {
    Q_OBJECT
public:
    explicit TfrmMods(Services& services, QWidget* parent = nullptr);
    ~TfrmMods() override;

    // Set-up and layout.
    void FormShow();
    void FormResize();
    void ClearGrid();

    // Start: checks both dates, then a new scan from an empty grid; the result
    // comes when runner() says finished.
    void btOKClick();

    // Date fields and their calendar buttons.
    void dtStartExit();
    void dtEndExit();
    void popStartDateClick();
    void popEndDateClick();

    // Marking (MarkingWindow): DeleteAllFiles, gridDblClick and deleteOneFile,
    // which only toggles a row's mark; FormClose hands the marked files to
    // the delete confirmation. btSortClick pops up the sort menu (ScanWindow).

    void btClipClick();
    void PrintClick();
    void btBrowseClick();
    void Sortbyname1Click(QAction* item);

    // What the window holds, for those who look at it from outside.
    QStringList resultLines() const;

    // Lines the result list takes before a scan stops with a warning.
    void setListLimit(size_t lines) { resultLimit_ = lines; }

protected:
    int leftControlsRight() const override;
    void fitToDrives() override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    int markColumn() const override { return 2; } // the Time column

private:
    struct Outcome;
    void buildControls();
    // The two date fields with their labels and calendar buttons (in Panel1).
    void buildDateFields();
    void scan(const DateRange& range);
    void setScanning(bool scanning);
    void setResultButtonsVisible(bool visible);
    void showProgress();
    size_t showResult(ScanOutcome ended) override;
    void showFailure() override;
    // Who reads a date field: its exit check (while the focus moves on,
    // perhaps to Start) or Start itself.
    enum class DateCheck { Exit, ExitTowardsStart, Start };
    DateCheck exitCheck() const;
    // Reads both fields; reports the first that is not a date.
    std::optional<DateRange> readRange();
    // Reads one field; on failure gives it the focus and shows message,
    // unless its own exit check has just said so on the way to Start.
    std::optional<QDate> checkDate(QLineEdit* field, const QString& message, DateCheck check);
    void pickDate(QLineEdit* field, QLineEdit* other, const QString& message, bool isStart);
    int dpi() const;

    QFrame* Panel1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLineEdit* dtStart;
    QLineEdit* dtEnd;
    QToolButton* popStartDate;
    QToolButton* popEndDate;
    QPushButton* btOK;
    QFrame* pnlBase;
    QLabel* pnlScan;
    QAction* Sortbyname1;
    QAction* SortbyDate1;
    QAction* SortbyDirectory1;
    // The longest texts of the date, time and day columns.
    QString widestDate_;
    QString widestTime_;
    QString widestDay_;

    // Result state (the marks are MarkingWindow's).
    ChangedFileList lbFiles;   // the files of the result lines, in walk order
    bool abortNotice_ = false; // the abort notice line follows them

    size_t resultLimit_;
    std::shared_ptr<Outcome> outcome_; // of the running scan
    // The date field whose exit check has just reported it as the focus
    // moved to Start, so that the click behind it does not report it again.
    QLineEdit* reportedField_ = nullptr;
    bool checkingDate_ = false;
};

} // namespace kelvane
