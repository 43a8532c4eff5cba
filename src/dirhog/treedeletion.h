#pragma once

#include "common/walkprogress.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string>

namespace kelvane {

enum class DeletionRefusal {
    None,
    NoName,    // an empty path, or one ending in "." or ".."
    DriveRoot, // "/" or the root of a mounted file system
};

// Whether a directory may be deleted at all. A path that does not exist is
// not refused (there is nothing to delete).
DeletionRefusal deletionRefusal(const std::string& path);

// Removes a directory if it is empty. true when it was removed.
bool removeEmptyDirectory(const std::string& path);

// "<path> is read-only, delete this file and continue deleting other files? "
// for the read-only, hidden or system bit.
QString fileQuestion(const std::string& path, uint32_t attributeBit);

struct TreeDeletionResult {
    int64_t files = 0;        // files deleted
    int64_t bytes = 0;        // their sizes as listed
    bool cancelled = false;   // a question about a file was not answered Yes
    bool interrupted = false; // the tree was moved while being deleted
    bool gone = false;        // the directory no longer exists
    DeletionRefusal refusal = DeletionRefusal::None;

    bool completed() const { return !cancelled && !interrupted && refusal == DeletionRefusal::None; }
};

// Deletes a directory with everything below it, depth first, each directory
// in ascending byte order of its names, files before the directory that held
// them. It works relative to open directory descriptors: a symbolic link is
// removed as a link and never followed; a directory on another file system
// (a mount point) is neither entered nor removed; the number of descriptors
// held stays below a budget whatever the depth, and no recursion is used.
//
// Before a read-only, hidden or system file is deleted the user is asked,
// once per bit in that order; the last answer decides. Yes to read-only adds
// the owner's write bit (hidden and system cannot change); a file left
// read-only is passed over. Any other answer cancels: no further file is
// asked about or deleted, and the directories on the way back up are still
// removed where they are empty. Files and directories that cannot be
// deleted are passed over silently.
class TreeDeletion {
public:
    // Asked from the thread that runs the deletion; true for Yes.
    using Ask = std::function<bool(const QString& question)>;

    explicit TreeDeletion(Ask ask, WalkProgress* progress = nullptr)
        : ask_(std::move(ask)), progress_(progress)
    {
    }

    // Descriptors held at most for directories below the starting one.
    void setDescriptorBudget(int budget) { budget_ = budget < 2 ? 2 : budget; }

    TreeDeletionResult run(const std::string& path);

private:
    Ask ask_;
    WalkProgress* progress_;
    int budget_ = 64;
};

} // namespace kelvane
