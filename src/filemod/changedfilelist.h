#pragma once

#include "common/fileidentity.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvane {

// The files a files-changed scan found, in walk order. Each directory path is
// kept once, however many of its files are listed; names and paths are the
// raw bytes from disk.
class ChangedFileList {
public:
    size_t size() const { return files_.size(); }
    bool empty() const { return files_.empty(); }

    const std::string& directory(size_t i) const { return directories_[files_[i].directory]; }
    const std::string& name(size_t i) const { return files_[i].name; }
    uint32_t stamp(size_t i) const { return files_[i].stamp; }
    int64_t bytes(size_t i) const { return files_[i].identity.size; }
    // Seconds since the epoch.
    int64_t mtime(size_t i) const
    {
        const int64_t ns = files_[i].identity.mtimeNs;
        return ns >= 0 ? ns / 1'000'000'000 : -((-ns + 999'999'999) / 1'000'000'000);
    }
    // What the scan saw of the file (its size and time included).
    const FileIdentity& identity(size_t i) const { return files_[i].identity; }
    // The file's full path (directory joined with name).
    std::string path(size_t i) const;

    // Files added after this belong to dir.
    void startDirectory(std::string dir);
    void add(std::string name, uint32_t stamp, const FileIdentity& identity = {});
    // Appends every file of other, in its order.
    void append(ChangedFileList&& other);
    // Keeps the first n files.
    void truncate(size_t n);
    void clear();

private:
    struct File {
        uint32_t directory;
        uint32_t stamp;
        std::string name;
        FileIdentity identity;
    };
    std::vector<std::string> directories_;
    std::vector<File> files_;
};

} // namespace kelvane
