#pragma once

#include "common/gridsort.h"
#include "common/ui/ScanDialog.h"
#include "common/ui/busypointer.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <thread>
#include <vector>

class QAction;
class QDate;
class QLabel;
class QMenu;
class QPushButton;

namespace kelvane {

class DrivePanel;
class ResultGrid;
class ResultGridView;
class ScanChoices;
struct Services;

// What the three windows that scan the ticked drives share, besides the scan
// flow: the drive panel at the top right with its label, the result grid
// below, the Close button, the rule that the start buttons work only while a
// drive is ticked, and the result list's buttons (Print, Clipboard, Browse,
// Sort) with the sort menu.
class ScanWindow : public ScanDialog {
    Q_OBJECT
public:
    ScanWindow(Services& services, int driveBoxWidth, int drivePanelWidth, const QStringList& titles,
               QWidget* parent = nullptr);
    ~ScanWindow() override;

    DrivePanel* drivePanel() const { return pnlDrives; }
    ResultGridView* gridView() const { return grid; }
    ResultGrid* gridModel() const { return gridModel_; }
    QPushButton* closeButton() const { return btClose; }
    ScanChoices* scanChoices() const { return choices_; }
    QMenu* sortMenu() const { return PopupMenu1; }

    // Enables the start buttons when at least one drive box is ticked.
    void cb1Click();
    // Stops the scan; its partial result is shown once the user has read the
    // abort notice.
    void btAbortClick();

    // A job of the runner (a scan) or a background job (a sort) runs: the
    // window cannot be closed.
    bool busy() const;
    void reject() override;
    void done(int result) override;

    // The group of this window's remembered settings (its class name).
    virtual QString settingsGroup() const;

    // Pops up the sort menu half the grid's width right of the grid's
    // top-left corner and 30 pixels below it.
    void btSortClick();

protected:
    // Fills the drive boxes, the folders chosen in this run after the drives,
    // and applies cb1Click. The first time, folders named when the program
    // started are ticked, and only they. Otherwise the drives ticked when the
    // window last closed are ticked again; without any of them shown, the
    // current drive is.
    void setupDrives();
    // Sizes the window for its drive panel: after setupDrives and whenever a
    // folder gets a box.
    virtual void fitToDrives() { placeDrivePanel(); }
    // Remembers the window's size and ticked drives when it closes; windows
    // add their own options and call this.
    virtual void saveSettings();
    void setStartButtons(const QList<QPushButton*>& buttons) { startButtons_ = buttons; }
    // Keeps the drive panel 10 pixels from the right edge, its label 10 pixels
    // left of it, both clear of the controls left of them: the panel gets what
    // width remains and cuts its captions to fit.
    void placeDrivePanel();
    // Right edge (exclusive) of the controls beside the drive panel and its label.
    virtual int leftControlsRight() const { return 0; }
    // The window width that gives the drive panel its natural width (or, with
    // narrowest, the least it can do with).
    int widthForDrives(bool narrowest) const;
    // Widens the window for the drive panel as far as the screen allows and
    // keeps its minimum width at least minimumForOthers (both capped by the screen).
    void fitWidthToDrives(int minimumForOthers, int minimumHeight);
    // Width of the screen area a window may take.
    int screenRoom() const;
    // The grid fills the window below this height.
    void setGridTop(int top);
    QPushButton* makeButton(const QString& name, const QString& caption, const QString& hint);
    // Print, Clipboard, Browse and Sort, made in this order (their place in
    // the tab order); items says what the list holds ("files"). Sort pops up
    // the sort menu; the window connects the others to its handlers.
    void makeListButtons(const QString& items, const QString& browseHint, const QString& sortHint);
    // A checkable item of the sort menu; choosing it calls chosen with it.
    QAction* addSortItem(const QString& name, const QString& caption, std::function<void(QAction*)> chosen);
    // Ticks item alone (none for nullptr).
    void checkSortItem(QAction* item);
    // A sort may start when allowed, the grid holds rows below its title
    // and the window is not busy; a refused choice keeps the ticks as they were.
    bool sortMayStart(QAction* chosen, bool allowed = true);
    // Sorts the rows below the title by the key of each (kind, descending as
    // in sortOrder) and ticks chosen alone. The keys are read and sorted on a
    // worker; the grid keeps its order until the new one is ready, and only
    // the grid answers meanwhile (holdControls), since the rows being read
    // must not change. Refused as above; a failure leaves the order as it was.
    using SortKey = std::function<QString(const char* row)>;
    void sortInBackground(QAction* chosen, SortKind kind, bool descending, SortKey key, bool allowed = true);
    // The text of a cell of a row handed to a sort key.
    static QString cellOf(const char* row, int column);
    // Today for sorting by date (the clock's, when there is one).
    QDate today() const;

public:
    // For tests: called on the worker before a sort reads its rows.
    void setBeforeSort(std::function<void()> hook) { beforeSort_ = std::move(hook); }

protected:
    // Opens the browse window on the current result row: on its file, which
    // is selected in its directory, or on the directory the row names.
    enum class BrowseAt { File, Directory };
    void browseCurrentRow(BrowseAt at, const QString& mask);

    // The status line at the bottom: plain text, in a sunken panel of its
    // own when framed (else its parent is the panel).
    QLabel* makeStatusLine(const QString& name, QWidget* parent, bool framed);
    // Below the grid: the scan choices and, at the bottom, the status line;
    // the grid fills the height from top down to them.
    void placeGridAndStatus(int top, QWidget* status, int statusHeight);

    // Runs job off the window's thread and then done on it, with the reason
    // when job threw (empty when it ended well); meanwhile the busy pointer
    // shows and the window cannot be closed. One at a time.
    void runInBackground(std::function<void()> job, std::function<void(const QString& failure)> done);

    void resizeEvent(QResizeEvent* event) override;
    // Its remembered size, centred.
    void placeOnFirstShow() override;
    void closeEvent(QCloseEvent* event) override;

    DrivePanel* pnlDrives;
    QLabel* Label4;
    ResultGrid* gridModel_;
    ResultGridView* grid;
    QPushButton* btClose;
    ScanChoices* choices_ = nullptr; // made by each window, at its place in the tab order
    QPushButton* btAbort = nullptr;  // made by each window
    QPushButton* btPrint = nullptr;
    QPushButton* btClip = nullptr;
    QPushButton* btBrowse = nullptr;
    QPushButton* btSort = nullptr;
    QMenu* PopupMenu1;

private:
    // "Folder…": a ticked box for the folder the user chooses.
    void btFolderClick();

    QList<QPushButton*> startButtons_;
    // Disables every control but the grid, or gives each back the state it had.
    void holdControls(bool hold);

    QAction* checkedSort_ = nullptr;
    std::function<void()> beforeSort_;
    std::vector<QWidget*> heldControls_;
    std::thread job_;
    bool jobRunning_ = false;
    std::optional<BusyPointer> jobPointer_; // while the background job runs
    bool drivesSetUp_ = false;
    int gridTop_ = 140;
};

} // namespace kelvane
