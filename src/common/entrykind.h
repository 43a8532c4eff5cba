#pragma once

#include "common/entry.h"

#include <string_view>

namespace kelvane {

enum class EntryKind { Subdirectory, DotEntry, Other };

// "." and ".." are dot entries although they carry the directory bit; any other
// entry with the directory bit is a subdirectory; everything else is a file.
EntryKind entryKind(std::string_view name, uint32_t attr);
inline EntryKind entryKind(const Entry& e)
{
    return entryKind(e.name, e.attr);
}

} // namespace kelvane
