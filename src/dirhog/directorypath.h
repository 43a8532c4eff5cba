#pragma once

#include <string>
#include <utility>

namespace kelvane {

// A descriptor closed when the object goes.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// Opens a directory by its path, also one longer than PATH_MAX (component by
// component then). Links on the way are followed, as a path lookup would.
// Invalid with errno set on failure.
FileDescriptor openDirectoryPath(const std::string& path);

// The parent directory and last name of a path, trailing separators ignored
// ("/a/b/" -> "/a", "b"; "/" -> "/", "").
std::pair<std::string, std::string> parentAndName(std::string path);

} // namespace kelvane
