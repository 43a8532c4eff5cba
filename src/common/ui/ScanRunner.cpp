#include "common/ui/ScanRunner.h"

#include "common/failure.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <condition_variable>
#include <mutex>
#include <utility>

namespace kelvane {

ScanRunner::ScanRunner(QObject* parent) : QObject(parent)
{
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, &ScanRunner::tick);
}

ScanRunner::~ScanRunner()
{
    stopAndWait();
}

void ScanRunner::stopAndWait()
{
    stop_.request_stop();
    if (thread_.joinable())
        thread_.join();
}

void ScanRunner::start(std::function<void()> job)
{
    if (running_)
        return;
    if (thread_.joinable())
        thread_.join();
    stop_ = std::stop_source();
    progress_.reset();
    failure_.clear();
    jobFailure_ = nullptr;
    running_ = true;
    timer_.start();
    try {
        thread_ = std::thread([this, job = std::move(job)] {
            try {
                job();
            } catch (...) {
                // Kept as it is (no allocation here: memory may have run out).
                jobFailure_ = std::current_exception();
            }
            QMetaObject::invokeMethod(
                this, [this] { joined(); }, Qt::QueuedConnection);
        });
    } catch (...) {
        // No thread to run the job on: the scan ends at once.
        jobFailure_ = std::current_exception();
        QMetaObject::invokeMethod(
            this, [this] { joined(); }, Qt::QueuedConnection);
    }
}

void ScanRunner::joined()
{
    if (thread_.joinable())
        thread_.join();
    if (jobFailure_) {
        try {
            std::rethrow_exception(std::exchange(jobFailure_, nullptr));
        } catch (const std::exception& e) {
            failure_ = QString::fromStdString(failureText(e));
        } catch (...) {
            failure_ = QStringLiteral("unknown failure");
        }
    }
    timer_.stop();
    running_ = false;
    Q_EMIT tick();
    Q_EMIT finished();
}

void ScanRunner::post(std::function<void()> fn)
{
    QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

void ScanRunner::postAndWait(std::function<void()> fn)
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    QMetaObject::invokeMethod(
        this,
        [&] {
            fn();
            std::lock_guard lock(mutex);
            finished = true;
            done.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex);
    done.wait(lock, [&] { return finished; });
}

} // namespace kelvane
