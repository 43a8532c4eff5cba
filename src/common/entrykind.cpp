#include "common/entrykind.h"

namespace kelvane {

EntryKind entryKind(std::string_view name, uint32_t attr)
{
    if (name == "." || name == "..")
        return EntryKind::DotEntry;
    if (attr & kAttrDirectory)
        return EntryKind::Subdirectory;
    return EntryKind::Other;
}

} // namespace kelvane
