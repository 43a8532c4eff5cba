#pragma once

#include "common/deletionreport.h"
#include "common/fileidentity.h"
#include "common/scanoptions.h"
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
    Changed,   // a link on the way, or not the directory the scan listed
};

// Whether a directory may be deleted at all. A path that does not exist is
// not refused (there is nothing to delete).
DeletionRefusal deletionRefusal(const std::string& path);

enum class EmptyRemoval {
    Removed,
    NotRemoved, // not empty, or the system refused
    Gone,       // nothing there any more
    Changed,    // a link on the way, or another directory in its place
};

// Removes a directory if it is empty, reached from its drive root without
// following links and checked to be the directory scanned (when known).
EmptyRemoval removeEmptyDirectory(const std::string& path, const FileIdentity& scanned = {});

// "<path> is read-only, delete this file and continue deleting other files? "
// for the read-only, hidden or system bit.
QString fileQuestion(const std::string& path, uint32_t attributeBit);

// An answer to a question about one file of a tree deletion.
enum class TreeAnswer {
    Yes,
    YesToAll, // Yes, and to every later question of this deletion
    No,       // stops the deletion
    NoToAll,  // keeps this file and every later file that would be asked about
    Cancel,   // stops the deletion
};

struct TreeDeletionResult {
    int64_t files = 0;        // files deleted
    int64_t bytes = 0;        // bytes that freed, in the deletion's measure (hard-linked data
                              // still held elsewhere is not counted)
    bool cancelled = false;   // a question about a file was answered No or Cancel
    bool interrupted = false; // the tree was moved while being deleted
    bool gone = false;        // the directory no longer exists
    DeletionRefusal refusal = DeletionRefusal::None;
    DeletionReport report; // what stayed and why

    bool completed() const { return !cancelled && !interrupted && refusal == DeletionRefusal::None; }
};

// Deletes a directory with everything below it, depth first, each directory
// in ascending byte order of its names, files before the directory that held
// them. The directory is reached from its drive root without following links
// and must be the one scanned (when its identity is known). It works relative
// to open directory descriptors: a symbolic link is removed as a link and
// never followed; a directory on another file system (a mount point) is
// neither entered nor removed; the number of descriptors held stays below a
// budget whatever the depth, and no recursion is used.
//
// Before a read-only, hidden or system file is deleted the user is asked,
// once per bit in that order; the last answer decides. Yes to read-only adds
// the owner's write bit through a descriptor of the very file listed before
// the question (a file swapped meanwhile is left alone and reported as
// changed); hidden and system cannot change; a file left read-only is passed
// over. No or Cancel cancels: no further file is asked about or deleted, and
// the directories on the way back up are still removed where they are empty.
// Everything that stays is recorded in the report with its reason.
class TreeDeletion {
public:
    // Asked from the thread that runs the deletion.
    using Ask = std::function<TreeAnswer(const QString& question)>;

    // The bytes freed are counted in measure: apparent sizes, or the space on
    // disk the list showed.
    explicit TreeDeletion(Ask ask, WalkProgress* progress = nullptr,
                          SizeMeasure measure = SizeMeasure::Apparent)
        : ask_(std::move(ask)), progress_(progress), measure_(measure)
    {
    }

    // Descriptors held at most for directories below the starting one.
    void setDescriptorBudget(int budget) { budget_ = budget < 2 ? 2 : budget; }

    TreeDeletionResult run(const std::string& path, const FileIdentity& scanned = {});

private:
    Ask ask_;
    WalkProgress* progress_;
    SizeMeasure measure_;
    int budget_ = 64;
};

} // namespace kelvane
