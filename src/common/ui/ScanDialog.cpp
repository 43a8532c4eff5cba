#include "common/ui/ScanDialog.h"

#include "common/scantexts.h"
#include "common/ui/ScanRunner.h"
#include "common/ui/geometry.h"
#include "common/ui/scanreport.h"
#include "common/ui/services.h"

#include <QLabel>

namespace kelvane {

ScanDialog::ScanDialog(Services& services, QWidget* parent)
    : QDialog(parent), services_(services), runner_(new ScanRunner(this)),
      listFullWarning_(resourceLimitText())
{
    connect(runner_, &ScanRunner::finished, this, &ScanDialog::runnerFinished);
}

ScanDialog::~ScanDialog()
{
    runner_->stopAndWait();
}

bool ScanDialog::scanning() const
{
    return scanJob_ && runner_->running();
}

void ScanDialog::startScan(std::function<ScanEnd(const ScanControl& control)> job)
{
    if (runner_->running())
        return;
    scanJob_ = true;
    abortedByUser_ = false;
    lastOutcome_ = ScanOutcome::Result;
    scanEnd_ = ScanEnd::Complete;
    ScanRunner* runner = runner_;
    runner_->start([this, runner, job = std::move(job), threads = walkThreads_, hook = beforeDirectory_] {
        ScanControl control = runner->control();
        control.threads = threads;
        control.io = threads;
        control.beforeDirectory = hook;
        scanEnd_ = job(control);
    });
}

void ScanDialog::abortScan(bool notice)
{
    if (!scanning())
        return;
    abortedByUser_ = true;
    runner_->requestAbort();
    if (!notice)
        return;
    abortMessageOpen_ = true;
    services_.messages->plain(this, abortNoticeText());
    abortMessageOpen_ = false;
    if (finishPending_) {
        finishPending_ = false;
        showOutcome();
    }
}

std::function<void(const Drive&)> ScanDialog::reportCannotOpen()
{
    // Queued calls to the runner die with it, so they may use the window.
    return [this](const Drive& drive) {
        runner_->post(
            [this, text = cantOpenDriveText(drive.caption)] { services_.messages->error(this, text); });
    };
}

void ScanDialog::runnerFinished()
{
    if (!scanJob_) {
        jobFinished();
        return;
    }
    scanJob_ = false;
    scanFinished();
}

void ScanDialog::scanFinished()
{
    if (abortMessageOpen_) {
        finishPending_ = true;
        return;
    }
    showOutcome();
}

void ScanDialog::showOutcome()
{
    if (!runner_->failure().isEmpty()) {
        lastOutcome_ = ScanOutcome::Failed;
        showFailure();
        services_.messages->error(this, scanFailedText(runner_->failure()));
        Q_EMIT outcomeShown();
        return;
    }
    const ScanOutcome outcome = scanEnd_ == ScanEnd::Full ? ScanOutcome::Full
                                : abortedByUser_          ? ScanOutcome::Aborted
                                                          : ScanOutcome::Result;
    lastOutcome_ = outcome;
    const size_t found = showResult(outcome);
    if (QLabel* status = statusLine())
        noteUnreadable(status, runner_->progress());
    if (outcome == ScanOutcome::Full)
        services_.messages->warning(this, listFullWarning_);
    const bool sayEmpty = emptyNotice_ == EmptyNotice::Always ||
                          (emptyNotice_ == EmptyNotice::UnlessAborted && !abortedByUser_);
    if (found == 0 && sayEmpty)
        services_.messages->information(this, noFilesFoundText());
    Q_EMIT outcomeShown();
}

void ScanDialog::placeOnFirstShow()
{
    centreOnScreen(this);
}

void ScanDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!placed_) {
        placed_ = true;
        placeOnFirstShow();
    }
}

} // namespace kelvane
