#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvane {

struct BoundPath;

// Why a file or directory handed to a deletion is still there.
enum class StayReason {
    ChangedSinceScan, // not the object the scan listed, or a link on its way
    AlreadyGone,      // nothing to delete any more
    Permission,       // the system refused (EACCES, EPERM)
    MountPoint,       // another file system: never entered or removed
    Immutable,        // immutable or append-only attribute
    ReadOnly,         // left read-only, so not deleted
    KeptAtAnswer,     // the user answered No to All
    Other,            // any other error (its text is shown)
};
constexpr int kStayReasons = 8;

// What one deletion did: files deleted and the bytes that freed, items moved
// to the Trash, and what stayed and why, with the first few paths named.
class DeletionReport {
public:
    static constexpr size_t kNamedPaths = 10;

    // bytesFreed: 0 for a file whose data other hard links still hold.
    void deleted(int64_t bytesFreed);
    void trashed(int64_t bytes);
    void stayed(const std::string& path, StayReason reason, int error = 0);

    int64_t deletedFiles() const { return deletedFiles_; }
    int64_t bytesFreed() const { return bytesFreed_; }
    int64_t trashedItems() const { return trashedItems_; }
    int64_t trashedBytes() const { return trashedBytes_; }
    int64_t stayedCount() const { return stayedCount_; }
    int64_t stayedCount(StayReason reason) const { return byReason_[size_t(reason)]; }

    // "Deleted N files for a savings of X bytes."
    QString deletedLine() const;
    // "Moved to Trash: N files, X bytes. ..." with the note that the space is
    // freed only when the Trash is emptied.
    QString trashedLine() const;
    // "N not deleted: 2 permission denied, 1 mount point" then one line per
    // named path ("Changed since the scan - PATH") and "and N more". Empty
    // when nothing stayed.
    QString stayedText() const;
    // The counts of stayedText's first line alone ("2 permission denied").
    QString reasonSummary() const;

private:
    struct Named {
        std::string path;
        StayReason reason;
        int error;
    };
    int64_t deletedFiles_ = 0;
    int64_t bytesFreed_ = 0;
    int64_t trashedItems_ = 0;
    int64_t trashedBytes_ = 0;
    int64_t stayedCount_ = 0;
    std::array<int64_t, kStayReasons> byReason_{};
    std::vector<Named> named_;
};

// "Changed since the scan - PATH", "Permission denied - PATH", ...
QString stayLine(const std::string& path, StayReason reason, int error = 0);

// The reason behind a failed unlink or rmdir of name in dirFd.
StayReason failureReason(int error, int dirFd, const char* name);

// Why an object that was bound for an action stays: nothing when the binding
// found the scanned object, else the reason and its errno.
struct Stay {
    StayReason reason;
    int error;
};
std::optional<Stay> stayOfBinding(const BoundPath& bound);

} // namespace kelvane
