#pragma once

#include <QDialog>
#include <QList>

#include <functional>
#include <thread>

class QLabel;
class QPushButton;

namespace kelvane {

class DrivePanel;
class ResultGrid;
class ResultGridView;
class ScanRunner;
struct Services;

// What the three scanning windows share: the drive panel at the top right with
// its label, the result grid below, the Close button, and the rule that the
// start buttons work only while a drive is ticked.
class ScanWindow : public QDialog {
    Q_OBJECT
public:
    ScanWindow(Services& services, int driveBoxWidth, int drivePanelWidth, const QStringList& titles,
               QWidget* parent = nullptr);
    ~ScanWindow() override;

    DrivePanel* drivePanel() const { return pnlDrives; }
    ResultGridView* gridView() const { return grid; }
    ResultGrid* gridModel() const { return gridModel_; }
    QPushButton* closeButton() const { return btClose; }

    // Enables the start buttons when at least one drive box is ticked.
    void cb1Click();

    // Runs the window's scans off its thread; the window cannot be closed
    // while one runs.
    ScanRunner* runner() const { return runner_; }
    bool scanning() const;
    // A scan or a background job (a sort) runs: the window cannot be closed.
    bool busy() const { return scanning() || jobRunning_; }
    void reject() override;
    void done(int result) override;

    // The group of this window's remembered settings (its class name).
    virtual QString settingsGroup() const;

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

    // The abort notice comes first: a scan that ends while it is open shows
    // its result only once the user has read it.
    void showAbortNotice(const QString& text);
    // For the runner's finished(): shows the result now or after the notice.
    void scanFinished();
    // Builds and shows the result of the scan that just ended.
    virtual void showResult() {}

    // Runs job off the window's thread and then done on it, with the reason
    // when job threw (empty when it ended well); meanwhile the busy pointer
    // shows and the window cannot be closed. One at a time.
    void runInBackground(std::function<void()> job, std::function<void(const QString& failure)> done);

    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    Services& services_;
    DrivePanel* pnlDrives;
    QLabel* Label4;
    ResultGrid* gridModel_;
    ResultGridView* grid;
    QPushButton* btClose;
    ScanRunner* runner_;

private:
    // "Folder…": a ticked box for the folder the user chooses.
    void btFolderClick();

    QList<QPushButton*> startButtons_;
    std::thread job_;
    bool jobRunning_ = false;
    bool drivesSetUp_ = false;
    bool centred_ = false;
    bool abortMessageOpen_ = false;
    bool finishPending_ = false;
    int gridTop_ = 140;
};

} // namespace kelvane
