#pragma once

#include "common/linkclaims.h"

#include <cstdint>

namespace kelvane {

// A counted name of a hard-linked file in a directory-hogs scan: its bytes
// and the line that counts it (kNoLine while that line is not yet in the
// candidate list, or when no line counts it: a drive root's own files).
struct LinkedBytes {
    static constexpr size_t kNoLine = ~size_t(0);
    int64_t bytes = 0;
    size_t line = kNoLine;
};

using DirHogLinks = LinkClaims<LinkedBytes>;

} // namespace kelvane
