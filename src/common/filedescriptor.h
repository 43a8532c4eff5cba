#pragma once

#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <utility>

namespace kelvane {

// A descriptor closed when the object goes.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.fd_, -1));
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    // Gives the descriptor up without closing it.
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_ = -1;
};

// Opens the directory name of dirFd ("..": its parent) without following a
// link, and checks it is the directory dev/ino that was looked at before.
// Invalid with errno set otherwise (ESTALE: another object in its place).
FileDescriptor openCheckedDirectory(int dirFd, const char* name, dev_t dev, ino_t ino);

// Opens a path one component at a time from "/" (or "." for a relative path),
// for paths longer than PATH_MAX: the directories on the way with dirFlags,
// the last name with lastFlags. Invalid with errno set on failure.
FileDescriptor openStepwise(const std::string& path, int dirFlags, int lastFlags);

// Opens a directory by its path, also one longer than PATH_MAX (component by
// component then). Links on the way are followed, as a path lookup would.
// Invalid with errno set on failure.
FileDescriptor openDirectoryPath(const std::string& path);

} // namespace kelvane
