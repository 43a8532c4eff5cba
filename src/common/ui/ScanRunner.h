#pragma once

#include "common/walkprogress.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <exception>
#include <functional>
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

    void start(std::function<void()> job);
    bool running() const { return running_; }
    // Why the last job failed ("out of memory", ...); empty when it returned.
    const QString& failure() const { return failure_; }

    // The job tests this flag (walks take it as their abort flag).
    const std::atomic<bool>& abortFlag() const { return abort_; }
    void requestAbort() { abort_ = true; }
    bool abortRequested() const { return abort_.load(); }
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
    std::atomic<bool> abort_{false};
    bool running_ = false;
    QString failure_;
    std::exception_ptr jobFailure_; // set by the job's thread, read once it is joined
    WalkProgress progress_;
    QTimer timer_;
};

} // namespace kelvane
