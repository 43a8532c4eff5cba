#include "filemod/changedscan.h"

#include "filemod/changedfilesfold.h"

namespace kelvane {

ChangedFilesScan::ChangedFilesScan(const DateRange& range, size_t limit, ScanOptions scan)
    : Scan(scan.hidden), range_(range), limit_(limit), hidden_(scan.hidden)
{
}

WalkStats ChangedFilesScan::walkRoot(const std::string& root, const WalkOptions& options)
{
    const size_t room = limit_ > files_.size() ? limit_ - files_.size() : 0;
    ChangedFilesFold fold(
        range_, room, [this] { listFull(); }, hidden_);
    WalkResult<ChangedChunks> result = walkTree(root, fold, options);

    ChangedFileList found;
    for (ChangedChunk& chunk : result.value) {
        found.startDirectory(std::move(chunk.directory));
        for (ChangedChunk::File& file : chunk.files)
            found.add(std::move(file.name), file.stamp, file.identity);
    }
    if (fold.full()) {
        // Threads may have found more than the room before they stopped; the
        // list keeps the first ones in walk order.
        found.truncate(room);
    }
    files_.append(std::move(found));
    return result.stats;
}

} // namespace kelvane
