#pragma once

#include <string>
#include <string_view>

namespace kelvane {

// A file name or path (raw bytes) made safe to write to a terminal: no byte of
// it can move the cursor, change the title or colours, or reorder the text.
// Printable UTF-8 stays as it is; every byte of an invalid sequence, a C0
// control, DEL, a C1 control (U+0080-U+009F) or a bidirectional control
// (U+202A-U+202E, U+2066-U+2069) becomes \xHH, and a backslash \\, so the
// bytes can be read back from the text.
std::string terminalSafe(std::string_view bytes);

// The last maxBytes (or fewer) bytes of a terminal-safe text, cut at a
// character boundary, with "..." in front when anything was cut.
std::string terminalTail(const std::string& safe, size_t maxBytes);

} // namespace kelvane
