#pragma once

#include "common/deletionreport.h"
#include "common/entry.h"
#include "common/fileidentity.h"
#include "common/pathnames.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace kelvane {

// Outcome of a file operation: error 0 is success; otherwise an errno value
// and a message to show.
struct OpResult {
    int error = 0;
    QString message;
    explicit operator bool() const { return error == 0; }
    static OpResult failure(int error, const QString& message = {});
};

// The entries of a directory with their lstat data, "." and ".." included,
// in ascending byte order of their names, filtered by an attribute request.
// Entries that vanish while being listed are left out.
std::optional<std::vector<Entry>> listDirectory(const std::string& dir, uint32_t request,
                                                int* error = nullptr);

// One file or directory by its path, without following a final symbolic link.
std::optional<Entry> lookupFile(const std::string& path, int* error = nullptr);

// What became of one file handed to a deletion.
struct FileOutcome {
    bool deleted = false;
    int64_t bytesFreed = 0; // 0 when other hard links still hold the data
    int64_t diskFreed = 0;  // the same as space on disk (allocated blocks)
    StayReason reason = StayReason::Other;
    int error = 0;
};

// Deletes one file (never a directory) bound to what the scan saw: the path
// is opened from its drive root without following any link (bindPath), and
// the file must still be the object scanned, with content also its size and
// modification time. A read-only file (no write bit) is refused, as the user
// must clear that first. Unknown identity: only links on the way are refused.
FileOutcome deleteBoundFile(const std::string& path, const FileIdentity& scanned, bool content);

// deleteBoundFile with nothing known of the file.
OpResult deleteFile(const std::string& path);

// Removes an empty directory, reached without following links.
OpResult removeDirectory(const std::string& path);

// Replaces the attribute bits of a file. Only read-only can change: setting it
// removes every write bit, clearing it adds the owner's write bit. Hidden and
// system bits cannot be changed on Linux and are ignored; a symbolic link is
// left alone. The mode is changed through a descriptor of the very object
// (checked against identity when known), never by name.
OpResult setAttributes(const std::string& path, uint32_t attr, const FileIdentity& identity = {});

} // namespace kelvane
