#include "common/nestedroots.h"

#include "common/filedescriptor.h"

#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane {

namespace {

struct Root {
    bool open = false;
    dev_t dev = 0;
    ino_t ino = 0;
    std::string real; // without links, "." or ".."
};

Root identify(const std::string& path)
{
    Root root;
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid())
        return root;
    struct stat st;
    if (::fstat(fd.get(), &st) == 0) {
        std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
        if (real) {
            root.open = true;
            root.dev = st.st_dev;
            root.ino = st.st_ino;
            root.real = real.get();
        }
    }
    return root;
}

// True when a walk from outer reaches inner, a directory below it.
bool walkReaches(const Root& outer, const Root& inner, bool enterHidden)
{
    const std::string& a = outer.real;
    const std::string& b = inner.real;
    const size_t start = a == "/" ? 1 : a.size() + 1;
    if (b.size() <= start || b.compare(0, a.size(), a) != 0 || (a != "/" && b[a.size()] != '/'))
        return false;
    // Every directory from below outer down to inner must be one the walk
    // enters: on outer's file system, not hidden unless hidden ones are entered.
    for (size_t pos = start; pos <= b.size();) {
        size_t end = b.find('/', pos);
        if (end == std::string::npos)
            end = b.size();
        if (b[pos] == '.' && !enterHidden)
            return false;
        struct stat st;
        if (::lstat(b.substr(0, end).c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_dev != outer.dev)
            return false;
        pos = end + 1;
    }
    return true;
}

} // namespace

std::vector<int> coveringRoots(const std::vector<std::string>& roots, bool enterHidden)
{
    std::vector<Root> ids;
    ids.reserve(roots.size());
    for (const std::string& path : roots)
        ids.push_back(identify(path));
    std::vector<int> covering(roots.size(), -1);
    for (size_t i = 0; i < roots.size(); ++i) {
        if (!ids[i].open)
            continue;
        for (size_t j = 0; j < roots.size() && covering[i] < 0; ++j) {
            if (j == i || !ids[j].open)
                continue;
            const bool same = ids[j].dev == ids[i].dev && ids[j].ino == ids[i].ino;
            if ((same && j < i) || (!same && walkReaches(ids[j], ids[i], enterHidden)))
                covering[i] = int(j);
        }
    }
    return covering;
}

} // namespace kelvane
