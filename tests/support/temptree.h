#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvane::test {

// A temporary directory tree built by a test and removed with everything in it
// (whatever its depth or permissions) when the object goes.
class TempTree {
public:
    TempTree();
    // A tree under another base directory (a tmpfs for trees of many entries).
    explicit TempTree(const std::string& base);
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& root() const { return root_; }
    // root + "/" + relative
    std::string path(std::string_view relative) const;

    // Creates a directory (and missing parents).
    std::string dir(std::string_view relative);
    // Creates a file of size bytes (sparse), with a mode and optionally an mtime
    // (seconds since the epoch; 0 leaves the current time).
    std::string file(std::string_view relative, int64_t size = 0, unsigned mode = 0644, int64_t mtime = 0);
    std::string symlink(std::string_view relative, const std::string& target);
    std::string fifo(std::string_view relative);

private:
    std::string root_;
};

// A "comb" under root: levels directories deep, each level holding the chain
// a/ and a directory b/ with one empty file f (paths pass PATH_MAX quickly).
void makeComb(const std::string& root, int levels);

// True when something is at path (a final link itself counts, whatever it
// points to).
bool exists(const std::string& path);

// The permission bits of path (not following a final link); 0 when nothing is
// there.
unsigned modeOf(const std::string& path);

// Sets the modification time of a path (not following a final link).
void setMtime(const std::string& path, int64_t secondsSinceEpoch);

// Seconds since the epoch of a local date and time (the test's time zone).
int64_t localTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// Removes a tree of any depth with a constant number of descriptors and
// without long paths: subdirectories are moved up to the top before they are
// emptied.
void removeTree(const std::string& path);

// A memory file system for big trees when there is one, else the usual base.
std::string fastTempBase();

// Number of descriptors the process has open.
int openDescriptorCount();

} // namespace kelvane::test
