#include "common/entrykind.h"

#include "common/pathnames.h"

namespace kelvane {

EntryKind entryKind(std::string_view name, uint32_t attr)
{
    if (isDotEntry(name))
        return EntryKind::DotEntry;
    if (attr & kAttrDirectory)
        return EntryKind::Subdirectory;
    return EntryKind::Other;
}

} // namespace kelvane
