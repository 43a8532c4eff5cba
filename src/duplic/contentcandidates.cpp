#include "duplic/contentcandidates.h"

#include <sys/stat.h>

namespace kelvane {

WalkStats ContentCandidates::addTree(const std::string& root, WalkOptions options)
{
    options.enterHidden = hidden_;
    WalkResult<Chunks> walked = walkTree(root, *this, options);
    for (std::vector<ContentFile>& chunk : walked.value)
        collected_.push_back(std::move(chunk));
    return walked.stats;
}

std::vector<ContentFile> ContentCandidates::take()
{
    size_t total = 0;
    for (const std::vector<ContentFile>& chunk : collected_)
        total += chunk.size();
    std::vector<ContentFile> files;
    files.reserve(total);
    for (std::vector<ContentFile>& chunk : collected_) {
        std::move(chunk.begin(), chunk.end(), std::back_inserter(files));
        chunk = {};
    }
    collected_.clear();
    return files;
}

ContentCandidates::Chunks ContentCandidates::visit(const WalkDir& dir, std::span<const Entry> listing)
{
    std::vector<ContentFile> files;
    std::string directory;
    for (const Entry& e : listing) {
        if (!S_ISREG(e.mode) || e.size <= limitBytes_ || (e.isHidden() && !hidden_))
            continue;
        if (directory.empty()) {
            directory = dir.path();
            if (directory.back() != '/')
                directory.push_back('/');
        }
        ContentFile& f = files.emplace_back();
        f.path.reserve(directory.size() + e.name.size());
        f.path.append(directory).append(e.name);
        f.id = ContentIdentity{e.dev, e.ino, e.size, e.mtime, e.mtimeNsec};
    }
    Chunks chunks;
    if (!files.empty())
        chunks.push_back(std::move(files));
    return chunks;
}

// Subdirectories first, in listing order, then the directory's own files.
ContentCandidates::Chunks ContentCandidates::combine(const WalkDir&, Chunks own,
                                                     std::vector<Chunks>& children)
{
    Chunks all;
    for (Chunks& child : children)
        std::move(child.begin(), child.end(), std::back_inserter(all));
    std::move(own.begin(), own.end(), std::back_inserter(all));
    return all;
}

} // namespace kelvane
