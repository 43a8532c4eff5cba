#pragma once

#include "common/scan.h"
#include "common/walkprogress.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <exception>
#include <functional>
#include <stop_token>
#include <thread>

namespace kelvane {

// Runs a scan off the window's thread, so that the window stays responsive:
// the job runs on a worker thread (which walks with the engine's threads);
// tick() comes a few times a second on the window's thread to show progress;
// finished() comes on the window's thread once the job has returned, or has
// failed: a job that throws (out of memory, a thread that cannot start) ends
// with failure() saying why.
class ScanRunner : public QObject {
    Q_OBJECT
public:
    explicit ScanRunner(QObject* parent = nullptr);
    // Aborts a running job and waits for it.
    ~ScanRunner() override;
    // Aborts a running job and waits for it to return; its finished() still
    // comes (unless the runner goes first).
    void stopAndWait();

    void start(std::function<void()> job);
    bool running() const { return running_; }
    // Why the last job failed ("out of memory", ...); empty when it returned.
    const QString& failure() const { return failure_; }

    // The job's scan control: the runner's stop token and progress.
    ScanControl control()
    {
        ScanControl control;
        control.stop = stop_.get_token();
        control.progress = &progress_;
        return control;
    }
    void requestAbort() { stop_.request_stop(); }
    bool abortRequested() const { return stop_.stop_requested(); }
    WalkProgress& progress() { return progress_; }

    // Runs fn on the window's thread (from the job: message boxes, status).
    void post(std::function<void()> fn);
    // Runs fn on the window's thread and waits until it has returned (a
    // question the job needs answered). Must be called from the job.
    void postAndWait(std::function<void()> fn);

Q_SIGNALS:
    void tick();
    void finished();

private:
    void joined();

    std::thread thread_;
    std::stop_source stop_; // a fresh one for each job
    bool running_ = false;
    QString failure_;
    std::exception_ptr jobFailure_; // set by the job's thread, read once it is joined
    WalkProgress progress_;
    QTimer timer_;
};

} // namespace kelvane
