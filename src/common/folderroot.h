#pragma once

#include "common/drive.h"

#include <optional>
#include <string>

namespace kelvane {

// A directory the user chose as a root, in the shape of a drive: its root the
// directory's real path (no links, "." or ".."), its caption that path. It is
// walked like a drive root (it stays on its own file system) and its capacity
// is its file system's. Nothing, with the reason in *why, for a path that is
// no directory that can be opened.
std::optional<Drive> folderRoot(const std::string& path, std::string* why);

} // namespace kelvane
