#include "common/entry.h"

#include "common/filestamp.h"

#include <sys/stat.h>

namespace kelvane {

uint32_t Entry::stamp() const
{
    return packStamp(mtime);
}

uint32_t attributesOf(const char* name, mode_t mode)
{
    uint32_t attr = 0;
    const bool dir = S_ISDIR(mode);
    const bool reg = S_ISREG(mode);
    const bool link = S_ISLNK(mode);
    if (dir)
        attr |= kAttrDirectory;
    const bool dotEntry = name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
    if (name[0] == '.' && !dotEntry)
        attr |= kAttrHidden;
    if (!dir && !reg && !link)
        attr |= kAttrSystem;
    if (!link && (mode & 0222) == 0)
        attr |= kAttrReadOnly;
    if (reg || link)
        attr |= kAttrArchive;
    return attr;
}

} // namespace kelvane
