#pragma once

#include "common/deletionreport.h"
#include "common/fileidentity.h"

#include <QDateTime>

#include <string>
#include <string_view>

namespace kelvane {

// What became of one file or directory handed to the Trash.
struct TrashOutcome {
    bool trashed = false;
    int64_t bytes = 0;     // size of a file; 0 for a directory
    std::string trashDir;  // the Trash it went to (holding files/ and info/)
    std::string trashName; // its name in files/ (and of info/NAME.trashinfo)
    StayReason reason = StayReason::Other;
    int error = 0;
};

// Moves a file or a whole directory into the Trash of its file system as the
// freedesktop.org Trash layout describes, so that desktop file
// managers can list and restore it: the home Trash ($XDG_DATA_HOME/Trash)
// for the file system of $XDG_DATA_HOME, else $topdir/.Trash/$uid when the
// administrator made a sticky $topdir/.Trash, else $topdir/.Trash-$uid
// ($topdir being the mount point). An info/NAME.trashinfo file, created
// exclusively first, holds the percent-encoded original path and the
// deletion date; then the object is renamed into files/NAME. The path is
// bound as for deleting (bindPath): a link on the way, or another object than
// the scanned one, is refused, and nothing is ever moved through a link.
TrashOutcome moveToTrash(const std::string& path, const FileIdentity& scanned, bool content,
                         const QDateTime& when = QDateTime::currentDateTime());

// $XDG_DATA_HOME/Trash, or $HOME/.local/share/Trash.
std::string homeTrashPath();

// The mount point holding path, from /proc/self/mountinfo ("/" when none).
std::string mountPointOf(const std::string& path);

// Percent-encoding of a path for the Path key: every byte but the unreserved
// characters of URIs and "/" becomes %XX, so names with newlines or bytes that
// are not UTF-8 survive the round trip.
std::string percentEncodePath(std::string_view path);
// The inverse; bytes of a malformed escape are kept as they are.
std::string percentDecode(std::string_view text);

} // namespace kelvane
