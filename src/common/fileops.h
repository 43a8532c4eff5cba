#pragma once

#include "common/entry.h"

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

// Deletes one file (never a directory) relative to its open parent directory.
// A read-only file (no write bit) is refused, as the user must clear that first.
OpResult deleteFile(const std::string& path);

// Removes an empty directory.
OpResult removeDirectory(const std::string& path);

// Replaces the attribute bits of a file. Only read-only can change: setting it
// removes every write bit, clearing it adds the owner's write bit. Hidden and
// system bits cannot be changed on Linux and are ignored; a symbolic link is
// left alone.
OpResult setAttributes(const std::string& path, uint32_t attr);

// Splits a path into its parent directory and last name ("/a/b" -> "/a", "b";
// "b" -> ".", "b"; "/b" -> "/", "b").
std::pair<std::string, std::string> splitPath(const std::string& path);

// parent + "/" + name, without doubling the root's separator.
std::string joinPath(const std::string& parent, std::string_view name);

} // namespace kelvane
