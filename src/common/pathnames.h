#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace kelvane {

// "." or "..": the entries every directory lists for itself and its parent.
inline bool isDotEntry(const char* name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}
inline bool isDotEntry(std::string_view name)
{
    return name == "." || name == "..";
}

// The path without trailing separators, "/" itself kept.
std::string withoutTrailingSlashes(std::string path);

// Splits a path into its parent directory and last name, trailing separators
// ignored ("/a/b/" -> "/a", "b"; "b" -> ".", "b"; "/b" -> "/", "b";
// "/" -> "/", "").
std::pair<std::string, std::string> splitPath(const std::string& path);

// Appends "/" + name to path, without doubling the root's separator.
void appendPathName(std::string& path, std::string_view name);

// parent + "/" + name, without doubling the root's separator.
std::string joinPath(const std::string& parent, std::string_view name);

} // namespace kelvane
