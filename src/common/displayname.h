#pragma once

#include <QString>

#include <string_view>

namespace kelvane {

// A file name or path (raw bytes) as shown in result lines: invalid UTF-8 bytes
// become U+FFFD; control characters (tab, CR, LF, ESC, DEL, the C1 controls
// U+0080-U+009F) and the bidirectional controls (U+202A-U+202E,
// U+2066-U+2069) become '?', so that a tab-separated line keeps its columns and
// its reading order. Never used to find the file again.
QString displayName(std::string_view bytes);

} // namespace kelvane
