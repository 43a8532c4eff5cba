#include "common/scan.h"

#include "common/driveloop.h"

namespace kelvane {

ScanEnd Scan::scanDrives(const std::vector<Drive>& selected, const ScanControl& control,
                         const std::function<void(const Drive&)>& cannotOpen)
{
    forEachSelectedDrive(
        selected, [&](const Drive& drive) { return scanRoot(drive.root, control).rootError == 0; },
        cannotOpen, [&] { return stopped() || control.stop.stop_requested(); }, enterHidden_);
    aborted_ = aborted_ || control.stop.stop_requested();
    return end();
}

WalkStats Scan::scanRoot(const std::string& root, const ScanControl& control)
{
    WalkStats stats;
    {
        // The user's abort stops the scan's own walks.
        const std::stop_callback relay(control.stop, [this] { stop_.request_stop(); });
        if (!stopped()) {
            WalkOptions options = walkOptionsOf(control, enterHidden_);
            options.stop = stop_.get_token();
            stats = walkRoot(root, options);
        }
    }
    aborted_ = aborted_ || control.stop.stop_requested();
    stats.aborted = stats.aborted || stopped();
    return stats;
}

WalkOptions walkOptionsOf(const ScanControl& control, bool enterHidden)
{
    WalkOptions options;
    options.threads = control.threads;
    options.io = control.io;
    options.stop = control.stop;
    options.progress = control.progress;
    options.enterHidden = enterHidden;
    options.beforeDirectory = control.beforeDirectory;
    return options;
}

ScanEnd Scan::end() const
{
    if (full())
        return ScanEnd::Full;
    return aborted_ ? ScanEnd::Aborted : ScanEnd::Complete;
}

void Scan::listFull()
{
    full_ = true;
    stop_.request_stop();
}

} // namespace kelvane
