#include "filemod/changedscan.h"

#include "filemod/changedfilesfold.h"

namespace kelvane {

ChangedFilesScan::ChangedFilesScan(const DateRange& range, ChangedScanOptions options)
    : range_(range), options_(std::move(options)), stop_(options_.stop ? options_.stop : &ownStop_)
{
}

WalkStats ChangedFilesScan::walk(const std::string& root)
{
    const size_t room = options_.limit > files_.size() ? options_.limit - files_.size() : 0;
    ChangedFilesFold fold(range_, room, stop_, options_.scan.hidden);
    WalkOptions walkOptions;
    walkOptions.threads = options_.threads;
    walkOptions.io = options_.io;
    walkOptions.abort = stop_;
    walkOptions.progress = options_.progress;
    walkOptions.beforeDirectory = options_.beforeDirectory;
    walkOptions.enterHidden = options_.scan.hidden;
    WalkResult<ChangedChunks> result = walkTree(root, fold, walkOptions);

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
        full_ = true;
    }
    files_.append(std::move(found));
    return result.stats;
}

} // namespace kelvane
