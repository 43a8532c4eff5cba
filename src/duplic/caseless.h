#pragma once

#include <string_view>

namespace kelvane {

// Compares two UTF-8 texts with letter case ignored, as QString's
// case-insensitive comparison of their decoded texts does, but without
// decoding while both run in ASCII. Negative, 0 or positive.
int compareCaseless(std::string_view a, std::string_view b);

// Compares two real file names (raw bytes) folded caselessly: a valid UTF-8
// name is case-folded, a name that is not UTF-8 has only A-Z folded and keeps
// every other byte, so names that merely show alike (a newline and "?", two
// different invalid bytes) never compare equal. Negative, 0 or positive.
int compareFoldedNames(std::string_view a, std::string_view b);

} // namespace kelvane
