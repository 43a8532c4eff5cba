#pragma once

#include "common/filedescriptor.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <stop_token>
#include <string>
#include <sys/types.h>

namespace kelvane {

// What a scan saw of a file. A read refuses the file once any of it differs:
// the bytes read would not be the bytes of the file that was listed.
struct ContentIdentity {
    dev_t dev = 0;
    ino_t ino = 0;
    int64_t size = 0;
    int64_t mtimeSec = 0;
    int64_t mtimeNsec = -1; // -1: not known yet (the first read records it)
};

// 128-bit content hash (XXH3).
struct ContentHash {
    uint64_t low = 0;
    uint64_t high = 0;
    auto operator<=>(const ContentHash&) const = default;
};

enum class ReadOutcome {
    Read,       // the file is as listed and was read to the end asked for
    Changed,    // replaced, or its size or time differ from what was listed
    Unreadable, // could not be opened or read (error() says why)
    Aborted,    // a stop was requested in the middle of the file
};

// Bytes of the head hash: files up to this size are whole after the first step.
inline constexpr int64_t kHeadBytes = 4096;

// An open regular file checked against its identity. Symbolic links are never
// followed; a path longer than PATH_MAX is opened step by step.
class CheckedFile {
public:
    // Opens path; Changed when it is no longer the regular file of id (the
    // first open also records the nanoseconds of its time in id).
    ReadOutcome open(const std::string& path, ContentIdentity& id);
    // Reads up to n bytes at the current position; the count read (0 at the
    // end), or -1 with error() set.
    ssize_t read(void* buffer, size_t n);
    // Changed when the file's size or time moved since it was opened.
    ReadOutcome stillSame(const ContentIdentity& id);
    int error() const { return error_; }

private:
    FileDescriptor fd_;
    int error_ = 0;
};

// Per-thread reading buffer and hashing.
class ContentReader {
public:
    ContentReader();
    ~ContentReader();

    // Hash of the first kHeadBytes bytes (the whole file when it is smaller).
    ReadOutcome headHash(const std::string& path, ContentIdentity& id, ContentHash* hash);
    // Hash of the whole file; bytesRead (may be null) grows as it reads.
    ReadOutcome fullHash(const std::string& path, ContentIdentity& id, ContentHash* hash,
                         const std::stop_token& stop, std::atomic<uint64_t>* bytesRead);
    // errno of the last Unreadable outcome.
    int error() const { return error_; }

private:
    ReadOutcome fail(const CheckedFile& file);
    static constexpr size_t kBufferSize = 256 * 1024;
    std::unique_ptr<char[]> buffer_;
    int error_ = 0;
};

} // namespace kelvane
