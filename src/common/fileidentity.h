#pragma once

#include "common/entry.h"
#include "common/walkdir.h"

#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace kelvane {

// What a scan saw of a listed file or directory, so that a later action
// (delete, trash, change mode) acts on that very object or refuses.
struct FileIdentity {
    dev_t dev = 0;
    ino_t ino = 0;
    int64_t size = -1;       // -1: not compared (directories)
    int64_t mtimeNs = 0;     // modification time in nanoseconds since the epoch
    uint32_t rootLength = 0; // bytes of the path that are its drive root; 0 when unknown

    // false for a path nothing was seen of (only links on its way are refused).
    bool known() const { return ino != 0; }

    // A listed file (content compared) or directory (only dev and inode).
    static FileIdentity ofEntry(const Entry& e, uint32_t rootLength);
    static FileIdentity ofStat(const struct stat& st, uint32_t rootLength = 0);
    static FileIdentity ofDirectory(dev_t dev, ino_t ino, uint32_t rootLength);

    bool sameObject(const struct stat& st) const { return st.st_dev == dev && st.st_ino == ino; }
    // Same object, and for files the same size and modification time.
    bool unchanged(const struct stat& st) const;
};

// A directory met by a walk, its drive root being the walk's root.
FileIdentity identityOf(const WalkDir& dir);

// The length a drive root has as the start of the paths below it ("/" counts
// as 1, "/home" as 5; trailing separators are not part of it).
uint32_t rootLengthOf(const std::string& root);

} // namespace kelvane
