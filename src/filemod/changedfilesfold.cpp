#include "filemod/changedfilesfold.h"

#include "common/entrykind.h"
#include "common/scanoptions.h"

namespace kelvane {

ChangedFilesFold::ChangedFilesFold(const DateRange& range, size_t limit, std::function<void()> onFull,
                                   bool hidden)
    : range_(range), limit_(limit), onFull_(std::move(onFull)),
      request_(requestFor(kRequestChangedFiles, ScanOptions{hidden}))
{
}

ChangedChunks ChangedFilesFold::visit(const WalkDir& dir, std::span<const Entry> listing)
{
    ChangedChunk chunk;
    uint32_t rootLength = 0;
    for (const Entry& e : listing) {
        if (passesAttributeFilter(e.attr, request_) && entryKind(e) == EntryKind::Other &&
            range_.contains(e.mtime)) {
            if (chunk.files.empty())
                rootLength = identityOf(dir).rootLength;
            chunk.files.push_back(
                ChangedChunk::File{e.name, e.stamp(), FileIdentity::ofEntry(e, rootLength)});
        }
    }
    if (chunk.files.empty())
        return {};
    const size_t total = found_.fetch_add(chunk.files.size(), std::memory_order_relaxed) + chunk.files.size();
    if (total > limit_ && onFull_)
        onFull_();
    chunk.directory = dir.path();
    ChangedChunks chunks;
    chunks.push_back(std::move(chunk));
    return chunks;
}

ChangedChunks ChangedFilesFold::combine(const WalkDir&, ChangedChunks own,
                                        std::vector<ChangedChunks>& children)
{
    ChangedChunks all;
    for (ChangedChunks& child : children)
        all.splice(all.end(), child);
    all.splice(all.end(), own);
    return all;
}

} // namespace kelvane
