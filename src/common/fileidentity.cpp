#include "common/fileidentity.h"

namespace kelvane {

namespace {

int64_t nanoseconds(int64_t seconds, int64_t nsec)
{
    return seconds * 1'000'000'000 + nsec;
}

} // namespace

FileIdentity FileIdentity::ofEntry(const Entry& e, uint32_t rootLength)
{
    FileIdentity id;
    id.dev = e.dev;
    id.ino = e.ino;
    id.size = e.isDirectory() ? -1 : e.size;
    id.mtimeNs = e.isDirectory() ? 0 : nanoseconds(e.mtime, e.mtimeNsec);
    id.rootLength = rootLength;
    return id;
}

FileIdentity FileIdentity::ofStat(const struct stat& st, uint32_t rootLength)
{
    FileIdentity id;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    if (!S_ISDIR(st.st_mode)) {
        id.size = int64_t(st.st_size);
        id.mtimeNs = nanoseconds(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    }
    id.rootLength = rootLength;
    return id;
}

FileIdentity FileIdentity::ofDirectory(dev_t dev, ino_t ino, uint32_t rootLength)
{
    FileIdentity id;
    id.dev = dev;
    id.ino = ino;
    id.rootLength = rootLength;
    return id;
}

bool FileIdentity::unchanged(const struct stat& st) const
{
    if (!sameObject(st))
        return false;
    if (size < 0)
        return true;
    return int64_t(st.st_size) == size && nanoseconds(st.st_mtim.tv_sec, st.st_mtim.tv_nsec) == mtimeNs;
}

FileIdentity identityOf(const WalkDir& dir)
{
    const WalkDir* root = &dir;
    while (root->parent())
        root = root->parent();
    return FileIdentity::ofDirectory(dir.device(), dir.inode(), rootLengthOf(root->name()));
}

uint32_t rootLengthOf(const std::string& root)
{
    size_t n = root.size();
    while (n > 1 && root[n - 1] == '/')
        --n;
    return uint32_t(n);
}

} // namespace kelvane
