#pragma once

#include <cstdint>
#include <string_view>

namespace kelvane {

// Compares two UTF-8 texts with letter case ignored, as QString's
// case-insensitive comparison of their decoded texts does, but without
// decoding while both run in ASCII. Negative, 0 or positive.
int compareCaseless(std::string_view a, std::string_view b);

// compareCaseless, then the bytes to break ties: a total order.
int compareCaselessThenBytes(std::string_view a, std::string_view b);

// Compares two real file names (raw bytes) folded caselessly: a valid UTF-8
// name is case-folded, a name that is not UTF-8 has only A-Z folded and keeps
// every other byte, so names that merely show alike (a newline and "?", two
// different invalid bytes) never compare equal. Negative, 0 or positive.
int compareFoldedNames(std::string_view a, std::string_view b);

// Sort keys that settle most caseless comparisons without reading the text:
// bytes from..from+7 as a big-endian number, A-Z lowered, zero past the end;
// kNoCaselessKey when one of them is not ASCII (the text must be compared).
constexpr uint64_t kNoCaselessKey = ~uint64_t(0);
uint64_t caselessKey(std::string_view text, size_t from);

} // namespace kelvane
