#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

struct stat;

namespace kelvane {

// Attribute bits as the result lists and filters know them, emulated from the
// Linux file mode and name (see attributesOf).
enum Attribute : uint32_t {
    kAttrReadOnly = 0x01,
    kAttrHidden = 0x02,
    kAttrSystem = 0x04,
    kAttrVolume = 0x08,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
};

// Attribute requests used by the scans.
enum AttributeRequest : uint32_t {
    kRequestSubdirectories = 0x10, // files and directories, neither hidden nor system
    kRequestScanFiles = 0x29,      // plain files only
    kRequestChangedFiles = 0x28,   // the same
    kRequestOneFile = 0x2F,        // any file, hidden and system included, no directory
    kRequestEverything = 0x3F,     // every entry
};

// One directory-listing entry with the lstat data of the entry itself
// (symbolic links are never followed).
struct Entry {
    std::string name; // raw bytes as stored on disk, never re-encoded
    uint32_t attr = 0;
    mode_t mode = 0;
    int64_t size = 0;       // apparent size in bytes
    int64_t blocks = 0;     // 512-byte blocks allocated on disk
    int64_t mtime = 0;      // seconds since the epoch
    uint32_t mtimeNsec = 0; // and nanoseconds
    dev_t dev = 0;
    ino_t ino = 0;
    uint32_t nlink = 1; // names of the file (hard links), saturated

    bool isDirectory() const { return (attr & kAttrDirectory) != 0; }
    bool isHidden() const { return (attr & kAttrHidden) != 0; }
    bool isSystem() const { return (attr & kAttrSystem) != 0; }
    bool isReadOnly() const { return (attr & kAttrReadOnly) != 0; }
    // The packed local-time stamp of mtime; 0 outside 1980..2107.
    uint32_t stamp() const;
};

// Hidden: a dot name other than "." and "..". System: not a regular file,
// directory or symbolic link. Read-only: no write bit at all. Archive: regular
// files and links. A symbolic link is never a directory.
uint32_t attributesOf(const char* name, mode_t mode);

// Sets every field of e from a name and its lstat data.
void fillEntry(Entry& e, const char* name, const struct stat& st);

// True when an entry with these bits is returned for the request: it is left
// out when it carries hidden, system, volume or directory bits the request lacks.
constexpr bool passesAttributeFilter(uint32_t attr, uint32_t request)
{
    constexpr uint32_t filtered = kAttrHidden | kAttrSystem | kAttrVolume | kAttrDirectory;
    return (attr & filtered & ~request) == 0;
}

} // namespace kelvane
