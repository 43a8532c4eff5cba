#pragma once

namespace kelvane {

// The two tools of the duplicates window.
enum class DupMode {
    Duplicates, // files whose name (or name and size) occurs more than once
    Hogs,       // every file above the limit, largest first
};

} // namespace kelvane
