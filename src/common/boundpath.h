#pragma once

#include "common/filedescriptor.h"
#include "common/fileidentity.h"

#include <QString>

#include <string>
#include <sys/stat.h>

namespace kelvane {

// How a path stands against what a scan saw of it.
enum class Binding {
    Same,    // the scanned object, reached without a link
    Changed, // a link on the way, another file system, or another object
    Gone,    // it, or a directory on its way, no longer exists
    Failed,  // could not be looked at (error says why)
};

// The parent directory of a path, opened from the path's drive root one
// component at a time, with the last name's lstat data.
struct BoundPath {
    Binding binding = Binding::Failed;
    int error = 0;
    FileDescriptor parent; // O_PATH; valid unless Failed, or Gone on the way
    std::string name;
    struct stat st {};
};

// Opens the drive root (identity.rootLength bytes of path, or "/" when 0) as
// the scan did, then every directory below it with openat2 and
// RESOLVE_NO_SYMLINKS | RESOLVE_NO_XDEV where the kernel has it, else
// openat with O_NOFOLLOW one component at a time, checking the device. The
// last name is looked at without following it: Same when identity is not
// known, or when it is the same object (and, with content, for files also the
// same size and modification time).
BoundPath bindPath(const std::string& path, const FileIdentity& identity, bool content = false);

// Checks again, just before acting, that name in parent is the object bound.
bool stillBound(const BoundPath& bound);

// "PATH has changed since the scan; scan again"
QString changedSinceScanText(const std::string& path);

// Opens name of dirFd without following it (O_PATH) and checks it is the
// object dev/ino; invalid otherwise (errno ESTALE for another object).
FileDescriptor openBoundObject(int dirFd, const std::string& name, dev_t dev, ino_t ino);

// Changes the mode of the object behind an O_PATH descriptor; 0 or errno.
int changeModeOf(int pathFd, mode_t mode);

} // namespace kelvane
