#pragma once

#include "common/drive.h"
#include "common/walker.h"

#include <atomic>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace kelvane {

// What the caller of a scan controls and watches.
struct ScanControl {
    std::stop_token stop; // the user's abort
    WalkProgress* progress = nullptr;
    int threads = 0; // as in WalkOptions
    int io = 0;
    // Called before each directory is opened (tests hold or stop a walk here).
    std::function<void(const WalkDir&)> beforeDirectory;
};

// The walk's settings of a control (its stop token among them).
WalkOptions walkOptionsOf(const ScanControl& control, bool enterHidden = false);

// How a scan ended.
enum class ScanEnd {
    Complete,
    Aborted, // stopped through the control: the result holds what was found until then
    Full,    // the list filled up: it holds the first items found, later ones are left out
};

// One scan of a tool over one or more roots (the selected drives and
// folders): each root's findings follow those of the roots before it, and the
// result is handed over once at the end (each tool's handOver()). A scan
// stops early when its control asks it to, or by itself when its list is
// full; either way the roots after that are not scanned.
class Scan {
public:
    virtual ~Scan() = default;
    Scan(const Scan&) = delete;
    Scan& operator=(const Scan&) = delete;

    // Scans the selected roots in box order: a drive that does not answer is
    // skipped without a word, a root that cannot be opened goes to cannotOpen
    // (on the scan's thread) and the others are still scanned, and a folder
    // that another selected root's walk takes in is not walked again.
    ScanEnd scanDrives(const std::vector<Drive>& selected, const ScanControl& control,
                       const std::function<void(const Drive&)>& cannotOpen = {});
    // Scans one root given by its path. stats.rootError is set when it could
    // not be opened; stats.aborted when the scan was stopped.
    WalkStats scanRoot(const std::string& root, const ScanControl& control);

    // The list is full: what was found after it filled up is left out.
    bool full() const { return full_.load(); }
    // Full or aborted: no more roots are scanned.
    bool stopped() const { return stop_.stop_requested(); }
    // How the scan has ended so far.
    ScanEnd end() const;

protected:
    explicit Scan(bool enterHidden) : enterHidden_(enterHidden) {}

    // Walks one root with these options (their stop token is the scan's own)
    // and adds what it finds.
    virtual WalkStats walkRoot(const std::string& root, const WalkOptions& options) = 0;
    // Stops the scan because the list is full (safe from any walk thread).
    void listFull();

private:
    bool enterHidden_;
    std::stop_source stop_;
    std::atomic<bool> full_{false};
    bool aborted_ = false;
};

} // namespace kelvane
