#pragma once

#include "common/filedescriptor.h"

#include <string>
#include <utility>

namespace kelvane {

// Opens a directory by its path, also one longer than PATH_MAX (component by
// component then). Links on the way are followed, as a path lookup would.
// Invalid with errno set on failure.
FileDescriptor openDirectoryPath(const std::string& path);

// The parent directory and last name of a path, trailing separators ignored
// ("/a/b/" -> "/a", "b"; "/" -> "/", "").
std::pair<std::string, std::string> parentAndName(std::string path);

} // namespace kelvane
