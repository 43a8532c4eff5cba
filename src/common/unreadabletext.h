#pragma once

#include <QString>

#include <cstdint>

namespace kelvane {

// "12 directories could not be read" ("1 directory ..."), for the status
// line of a scan and the command line's last word.
QString unreadableText(uint64_t count);

} // namespace kelvane
