#include "common/markedfiles.h"

#include "common/commas.h"
#include "common/fileops.h"

#include <algorithm>

namespace kelvane {

std::optional<int64_t> MarkedFiles::mark(const std::string& path, const FileIdentity& scanned, int group)
{
    MarkedFile m{path, scanned, std::nullopt, group};
    if (const std::optional<Entry> file = lookupFile(path); file && !file->isDirectory()) {
        m.counted = sizeOf(*file, measure_);
        ++count_;
        bytes_ += *m.counted;
    }
    const std::optional<int64_t> counted = m.counted;
    files_.push_back(std::move(m));
    return counted;
}

bool MarkedFiles::unmark(const std::string& path)
{
    const auto it =
        std::find_if(files_.begin(), files_.end(), [&](const MarkedFile& m) { return m.path == path; });
    if (it == files_.end())
        return false;
    if (it->counted) {
        --count_;
        bytes_ -= *it->counted;
    }
    files_.erase(it);
    return true;
}

bool MarkedFiles::toggle(const std::string& path, const FileIdentity& scanned, bool wasMarked, int group)
{
    if (wasMarked) {
        unmark(path);
        return false;
    }
    mark(path, scanned, group);
    return true;
}

void MarkedFiles::clear()
{
    files_.clear();
    count_ = 0;
    bytes_ = 0;
}

std::vector<std::string> MarkedFiles::paths() const
{
    std::vector<std::string> out;
    out.reserve(files_.size());
    for (const MarkedFile& m : files_)
        out.push_back(m.path);
    return out;
}

std::vector<MarkedFile> MarkedFiles::take()
{
    std::vector<MarkedFile> out = std::move(files_);
    clear();
    return out;
}

QString MarkedFiles::statusText() const
{
    return QStringLiteral("%1 files %2 bytes").arg(count_).arg(addCommas(bytes_));
}

std::vector<int> MarkedFiles::fullyMarkedGroups(const std::vector<int>& groupSizes) const
{
    std::vector<int> marked(groupSizes.size(), 0);
    for (const MarkedFile& m : files_) {
        if (m.group >= 0 && size_t(m.group) < marked.size())
            ++marked[size_t(m.group)];
    }
    std::vector<int> full;
    for (size_t g = 0; g < groupSizes.size(); ++g) {
        if (groupSizes[g] > 0 && marked[g] >= groupSizes[g])
            full.push_back(int(g));
    }
    return full;
}

} // namespace kelvane
