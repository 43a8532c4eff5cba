#pragma once

#include <QString>

#include <string_view>

namespace kelvane {

// A file name or path (raw bytes) as shown in result lines: invalid UTF-8 bytes
// become U+FFFD and control characters (tab, CR, LF, ...) become '?', so that a
// tab-separated line keeps its columns. Never used to find the file again.
QString displayName(std::string_view bytes);

} // namespace kelvane
