#pragma once

#include <string_view>

namespace kelvane {

// Compares two UTF-8 texts with letter case ignored, as QString's
// case-insensitive comparison of their decoded texts does, but without
// decoding while both run in ASCII. Negative, 0 or positive.
int compareCaseless(std::string_view a, std::string_view b);

} // namespace kelvane
