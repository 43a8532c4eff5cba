#include "common/entry.h"

#include "common/filestamp.h"
#include "common/pathnames.h"

#include <algorithm>
#include <cstdint>
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
    if (name[0] == '.' && !isDotEntry(name))
        attr |= kAttrHidden;
    if (!dir && !reg && !link)
        attr |= kAttrSystem;
    if (!link && (mode & 0222) == 0)
        attr |= kAttrReadOnly;
    if (reg || link)
        attr |= kAttrArchive;
    return attr;
}

void fillEntry(Entry& e, const char* name, const struct stat& st)
{
    e.name.assign(name);
    e.attr = attributesOf(name, st.st_mode);
    e.mode = st.st_mode;
    e.size = int64_t(st.st_size);
    e.blocks = int64_t(st.st_blocks);
    e.mtime = int64_t(st.st_mtime);
    e.mtimeNsec = uint32_t(st.st_mtim.tv_nsec);
    e.dev = st.st_dev;
    e.ino = st.st_ino;
    e.nlink = uint32_t(std::min<nlink_t>(st.st_nlink, UINT32_MAX));
}

} // namespace kelvane
