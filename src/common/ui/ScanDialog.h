#pragma once

#include "common/scan.h"

#include <QDialog>

#include <functional>

class QLabel;

namespace kelvane {

class ScanRunner;
struct Services;

// How a window's scan ended, as the window shows it.
enum class ScanOutcome {
    Result,  // it ran to the end
    Aborted, // the user stopped it: the result holds what was found until then
    Full,    // the list filled up: the result holds the first items found
    Failed,  // it failed (out of memory, ...): there is no result
};

// When a scan that found nothing says "No files found.".
enum class EmptyNotice { Always, UnlessAborted, Never };

// The scan flow every tool window shares: it starts a scan off the window's
// thread, and when the scan has ended it takes the outcome, lets the window
// show its own part (rows, status line) and shows in one place what every
// window shows alike: the abort notice (the result follows once the user has
// read it), the failure message, the list-full warning, the note on
// unreadable directories and "No files found.". The window is centred on its
// screen when first shown.
class ScanDialog : public QDialog {
    Q_OBJECT
public:
    ScanDialog(Services& services, QWidget* parent = nullptr);
    // Stops a running job and waits for it.
    ~ScanDialog() override;

    // Runs the window's scans (and other long jobs) off its thread.
    ScanRunner* runner() const { return runner_; }
    // A scan runs (not another job of the runner).
    bool scanning() const;
    // The user aborted the last scan.
    bool abortedByUser() const { return abortedByUser_; }
    // How the last scan ended (Result while none has ended yet).
    ScanOutcome lastOutcome() const { return lastOutcome_; }

    // For tests: walk threads (0: one per core), each reading one directory
    // at a time, and a call before each directory of a scan's walks (on the
    // walk's threads). Both apply from the next scan on.
    void setWalkThreads(int threads) { walkThreads_ = threads; }
    void setBeforeDirectory(std::function<void(const WalkDir&)> hook) { beforeDirectory_ = std::move(hook); }

Q_SIGNALS:
    // A scan's outcome has been shown, messages included.
    void outcomeShown();

protected:
    // Starts job on the runner as this window's scan. The job runs under the
    // runner's control (stop token and progress, with the test seams above)
    // and tells how the scan ended; reportCannotOpen() may be handed to it
    // for the roots.
    void startScan(std::function<ScanEnd(const ScanControl& control)> job);
    // Stops the running scan; with notice, shows the abort notice first.
    void abortScan(bool notice = true);
    // For a scan's job: shows "Can't open drive ..." on the window's thread
    // while the scan goes on.
    std::function<void(const Drive&)> reportCannotOpen();

    // The window's own part of the outcome (not Failed): takes the result,
    // writes the status line and leaves the scanning state. Returns how many
    // items the result holds.
    virtual size_t showResult(ScanOutcome /*outcome*/) { return 0; }
    // Leaves the scanning state after a failed scan (before the message).
    virtual void showFailure() {}
    // A job of the runner that is not a scan has ended.
    virtual void jobFinished() {}
    // Placed on the screen the first time it is shown (centred).
    virtual void placeOnFirstShow();

    void setEmptyNotice(EmptyNotice notice) { emptyNotice_ = notice; }
    // The status line that gets the note on unreadable directories (none: no note).
    void setStatusLine(QLabel* status) { statusLine_ = status; }
    virtual QLabel* statusLine() const { return statusLine_; }
    // The warning of a full list (resourceLimitText() unless set).
    void setListFullWarning(const QString& text) { listFullWarning_ = text; }
    void showEvent(QShowEvent* event) override;

    Services& services_;
    ScanRunner* runner_;

private:
    // For the runner's finished(): the scan's outcome now, or once the abort
    // notice has been read.
    void scanFinished();
    void showOutcome();
    void runnerFinished();

    EmptyNotice emptyNotice_ = EmptyNotice::Always;
    QLabel* statusLine_ = nullptr;
    QString listFullWarning_;
    int walkThreads_ = 0;
    std::function<void(const WalkDir&)> beforeDirectory_;
    bool scanJob_ = false;                // the runner's job is a scan
    ScanEnd scanEnd_ = ScanEnd::Complete; // written by the job, read once it has ended
    bool abortedByUser_ = false;
    ScanOutcome lastOutcome_ = ScanOutcome::Result;
    bool abortMessageOpen_ = false;
    bool finishPending_ = false;
    bool placed_ = false;
};

} // namespace kelvane
