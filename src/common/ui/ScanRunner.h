#pragma once

#include "common/walkprogress.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>
#include <thread>

namespace kelvane {

// Runs a scan off the window's thread, so that the window stays responsive:
// the job runs on a worker thread (which walks with the engine's threads);
// tick() comes a few times a second on the window's thread to show progress;
// finished() comes on the window's thread once the job has returned.
class ScanRunner : public QObject {
    Q_OBJECT
public:
    explicit ScanRunner(QObject* parent = nullptr);
    // Aborts a running job and waits for it.
    ~ScanRunner() override;

    void start(std::function<void()> job);
    bool running() const { return running_; }

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
    WalkProgress progress_;
    QTimer timer_;
};

} // namespace kelvane
