#pragma once

#include <string>
#include <string_view>

namespace kelvane {

// The type-table key of a file name: from its last '.' to the end, the dot
// included, with only a-z upper-cased; empty when the name holds no '.'.
// "README" -> "", "notes." -> ".", "archive.tar.gz" -> ".GZ".
std::string extensionKey(std::string_view name);

// Keys longer than this many characters (the dot counted) get no row.
constexpr int kMaxKeyCharacters = 5;

// True when the key is short enough for a row: at most five characters, a
// UTF-8 sequence counting as one character and an invalid byte as one.
bool keyFitsTable(std::string_view key);

} // namespace kelvane
