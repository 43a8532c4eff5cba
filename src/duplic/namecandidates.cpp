#include "duplic/namecandidates.h"

#include "duplic/caseless.h"
#include "duplic/resultlines.h"

#include <oneapi/tbb/parallel_pipeline.h>
#include <oneapi/tbb/parallel_sort.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace kelvane {

namespace {

// Names of at most this many bytes are whole in the key.
constexpr size_t kKeyBytes = 16;
// Sizes below this have five-character size columns, whose text order is the
// order of the numbers.
constexpr int64_t kFiveDigits = 100000;

int compareNames(const NameCandidate& a, const NameCandidate& b)
{
    if (a.key[0] != NameCandidate::kNoKey && b.key[0] != NameCandidate::kNoKey) {
        if (a.key[0] != b.key[0])
            return a.key[0] < b.key[0] ? -1 : 1;
        if (a.key[1] != b.key[1])
            return a.key[1] < b.key[1] ? -1 : 1;
        // Name columns are in lower case: equal keys holding both whole names
        // are the same name.
        if (a.nameColumnSize <= kKeyBytes && b.nameColumnSize <= kKeyBytes)
            return 0;
    }
    return compareCaselessThenBytes(a.nameColumn(), b.nameColumn());
}

// Whether a and b have the same name column: compareNames gives 0 for those
// alone, mostly from the keys without reading the texts.
bool sameName(const NameCandidate& a, const NameCandidate& b)
{
    return compareNames(a, b) == 0;
}

// Whether the path da + na goes before db + nb, byte for byte (reached only
// by lines that are the same text).
bool pathLess(std::string_view da, std::string_view na, std::string_view db, std::string_view nb)
{
    if (da == db)
        return na < nb;
    return std::string(da).append(na) < std::string(db).append(nb);
}

// One file of a name at hand, with its line.
struct Line {
    const NameCandidate* file;
    size_t begin;
    size_t size;
};

} // namespace

const CandidateDirectory* NameCandidateStore::addDirectory(std::string column, std::string path,
                                                           bool onSearchPath, bool keepTimes,
                                                           bool keepIdentity)
{
    directories_.push_back({std::move(column), std::move(path), onSearchPath, keepTimes, keepIdentity});
    return &directories_.back();
}

CandidateFacts NameCandidate::facts() const
{
    CandidateFacts facts;
    facts.bytes = bytes;
    facts.onSearchPath = directory->onSearchPath;
    if (directory->keepsTimes)
        std::memcpy(&facts.mtime, text + nameColumnSize + realNameSize, sizeof facts.mtime);
    return facts;
}

FileIdentity NameCandidate::identity() const
{
    FileIdentity identity;
    if (directory->keepsIdentity)
        std::memcpy(&identity,
                    text + nameColumnSize + realNameSize + (directory->keepsTimes ? sizeof(int64_t) : 0),
                    sizeof identity);
    return identity;
}

void NameCandidateStore::add(std::string_view nameColumn, std::string_view realName, int64_t bytes,
                             uint32_t stamp, int64_t mtime, const FileIdentity& identity,
                             const CandidateDirectory* directory)
{
    const size_t timeSize = directory->keepsTimes ? sizeof mtime : 0;
    const size_t size =
        nameColumn.size() + realName.size() + timeSize + (directory->keepsIdentity ? sizeof identity : 0);
    if (size > left_) {
        const size_t block = std::max(size, kTextBlock);
        texts_.push_back(std::unique_ptr<char[]>(new char[block]));
        next_ = texts_.back().get();
        left_ = block;
    }
    if (count_ % kCandidateBlock == 0)
        candidates_.push_back(std::make_unique_for_overwrite<NameCandidate[]>(kCandidateBlock));
    NameCandidate& c = candidates_.back()[count_ % kCandidateBlock];
    ++count_;
    c.key[0] = caselessKey(nameColumn, 0);
    c.key[1] = c.key[0] == NameCandidate::kNoKey ? NameCandidate::kNoKey : caselessKey(nameColumn, 8);
    if (c.key[1] == NameCandidate::kNoKey)
        c.key[0] = NameCandidate::kNoKey;
    c.text = next_;
    c.directory = directory;
    c.bytes = bytes;
    c.stamp = stamp;
    c.nameColumnSize = uint16_t(nameColumn.size());
    c.realNameSize = uint16_t(realName.size());
    std::memcpy(next_, nameColumn.data(), nameColumn.size());
    std::memcpy(next_ + nameColumn.size(), realName.data(), realName.size());
    if (directory->keepsTimes)
        std::memcpy(next_ + nameColumn.size() + realName.size(), &mtime, sizeof mtime);
    if (directory->keepsIdentity)
        std::memcpy(next_ + nameColumn.size() + realName.size() + timeSize, &identity, sizeof identity);
    next_ += size;
    left_ -= size;
}

void NameCandidateStore::moveCandidatesTo(std::vector<NameCandidate>& all)
{
    for (size_t block = 0; block < candidates_.size(); ++block) {
        const size_t n = std::min(kCandidateBlock, count_ - block * kCandidateBlock);
        all.insert(all.end(), candidates_[block].get(), candidates_[block].get() + n);
        candidates_[block].reset();
    }
    candidates_.clear();
    count_ = 0;
}

bool nameBefore(const NameCandidate& a, const NameCandidate& b)
{
    return compareNames(a, b) < 0;
}

void sortByName(std::vector<NameCandidate>& candidates)
{
    // A lambda, not the function: the comparison is inlined into the sort.
    tbb::parallel_sort(candidates.begin(), candidates.end(),
                       [](const NameCandidate& a, const NameCandidate& b) { return compareNames(a, b) < 0; });
}

namespace {

// The result lines of a range of whole names, made on any thread.
struct LineBatch {
    size_t first = 0;
    size_t end = 0;
    std::string lines; // one after another
    std::vector<size_t> lineEnds;
    std::string paths; // empty when the scan keeps no paths
    std::vector<size_t> pathEnds;
    std::vector<CandidateFacts> facts;
    std::vector<FileIdentity> identities; // empty when the scan keeps no paths
    std::vector<bool> groupStarts;        // the line begins a group
    // Working space of makeLines: the lines of the name at hand.
    std::string nameLines;
    std::vector<Line> group;

    // Empties it for the next range, keeping the space.
    void clear()
    {
        lines.clear();
        lineEnds.clear();
        paths.clear();
        pathEnds.clear();
        facts.clear();
        identities.clear();
        groupStarts.clear();
    }
};

// The few batches in flight, used again and again: a new batch's buffers
// would grow by copying and fault in fresh pages for every range.
class BatchPool {
public:
    std::shared_ptr<LineBatch> take()
    {
        std::lock_guard lock(mutex_);
        if (spare_.empty())
            return std::make_shared<LineBatch>();
        std::shared_ptr<LineBatch> batch = std::move(spare_.back());
        spare_.pop_back();
        return batch;
    }
    void give(std::shared_ptr<LineBatch> batch)
    {
        batch->clear();
        std::lock_guard lock(mutex_);
        spare_.push_back(std::move(batch));
    }

private:
    std::mutex mutex_;
    std::vector<std::shared_ptr<LineBatch>> spare_;
};

// Fills batch with the lines of the files of each name in [first, end) that
// occurs more than once with the same folded real name (exact: and the same
// size in KB), in result order.
void makeLines(const std::vector<NameCandidate>& candidates, bool exact, StampTextCache& stamps,
               LineBatch& batch)
{
    std::string& lines = batch.nameLines;
    std::vector<Line>& group = batch.group;
    for (size_t i = batch.first; i < batch.end;) {
        // The files of one name column, byte for byte.
        const std::string_view name = candidates[i].nameColumn();
        size_t end = i + 1;
        while (end < batch.end && sameName(candidates[end], candidates[i]))
            ++end;
        if (end - i < 2) {
            i = end;
            continue;
        }
        lines.clear();
        group.clear();
        for (size_t k = i; k < end; ++k) {
            const NameCandidate& c = candidates[k];
            const size_t begin = lines.size();
            appendDuplicateLine(lines, c.nameColumn(), c.bytes, c.stamp, c.directory->column, stamps);
            group.push_back({&c, begin, lines.size() - begin});
        }
        const size_t restFrom = name.size();
        auto rest = [&](const Line& l) {
            return std::string_view(lines).substr(l.begin + restFrom, l.size - restFrom);
        };
        std::sort(group.begin(), group.end(), [&](const Line& a, const Line& b) {
            if (const int c = compareFoldedNames(a.file->realName(), b.file->realName()))
                return c < 0;
            const int64_t ka = a.file->bytes / 1024;
            const int64_t kb = b.file->bytes / 1024;
            if (ka != kb && ka < kFiveDigits && kb < kFiveDigits)
                return ka < kb;
            if (const int c = compareCaselessThenBytes(rest(a), rest(b)))
                return c < 0;
            return pathLess(a.file->directory->path, a.file->realName(), b.file->directory->path,
                            b.file->realName());
        });
        // Groups: runs of the same folded real name (exact: and size in KB),
        // each compared with its first line.
        for (size_t g = 0; g < group.size();) {
            const NameCandidate& first = *group[g].file;
            size_t gEnd = g + 1;
            while (gEnd < group.size() &&
                   compareFoldedNames(group[gEnd].file->realName(), first.realName()) == 0 &&
                   (!exact || group[gEnd].file->bytes / 1024 == first.bytes / 1024))
                ++gEnd;
            if (gEnd - g < 2) {
                g = gEnd;
                continue;
            }
            for (size_t k = g; k < gEnd; ++k) {
                const Line& l = group[k];
                batch.lines.append(lines, l.begin, l.size);
                batch.lineEnds.push_back(batch.lines.size());
                batch.facts.push_back(l.file->facts());
                batch.groupStarts.push_back(k == g);
                const CandidateDirectory& d = *l.file->directory;
                if (!d.path.empty()) {
                    batch.paths.append(d.path).append(l.file->realName());
                    batch.pathEnds.push_back(batch.paths.size());
                }
                if (d.keepsIdentity)
                    batch.identities.push_back(l.file->identity());
            }
            g = gEnd;
        }
        i = end;
    }
}

} // namespace

void forEachDuplicateLine(const std::vector<NameCandidate>& candidates, bool exact, StampTextCache& stamps,
                          const std::function<void(const ResultLine&)>& emit)
{
    // Batches of about this many files (whole names), made in parallel and
    // handed on in order; only a few are held at a time.
    constexpr size_t kBatch = 8192;
    size_t next = 0;
    uint32_t group = 0; // of the next group start
    bool anyGroup = false;
    BatchPool pool;
    tbb::parallel_pipeline(
        4,
        tbb::make_filter<void, std::shared_ptr<LineBatch>>(
            tbb::filter_mode::serial_in_order,
            [&](tbb::flow_control& control) -> std::shared_ptr<LineBatch> {
                if (next >= candidates.size()) {
                    control.stop();
                    return {};
                }
                auto batch = pool.take();
                batch->first = next;
                size_t end = std::min(next + kBatch, candidates.size());
                while (end < candidates.size() && sameName(candidates[end], candidates[end - 1]))
                    ++end;
                batch->end = end;
                next = end;
                return batch;
            }) &
            tbb::make_filter<std::shared_ptr<LineBatch>, std::shared_ptr<LineBatch>>(
                tbb::filter_mode::parallel,
                [&](std::shared_ptr<LineBatch> batch) {
                    makeLines(candidates, exact, stamps, *batch);
                    return batch;
                }) &
            tbb::make_filter<std::shared_ptr<LineBatch>, void>(
                tbb::filter_mode::serial_in_order, [&](std::shared_ptr<LineBatch> batch) {
                    size_t lineBegin = 0;
                    size_t pathBegin = 0;
                    for (size_t k = 0; k < batch->lineEnds.size(); ++k) {
                        const std::string_view line =
                            std::string_view(batch->lines).substr(lineBegin, batch->lineEnds[k] - lineBegin);
                        lineBegin = batch->lineEnds[k];
                        std::string_view path;
                        if (!batch->pathEnds.empty()) {
                            path = std::string_view(batch->paths)
                                       .substr(pathBegin, batch->pathEnds[k] - pathBegin);
                            pathBegin = batch->pathEnds[k];
                        }
                        if (batch->groupStarts[k]) {
                            if (anyGroup)
                                ++group;
                            anyGroup = true;
                        }
                        emit(ResultLine{line, path, batch->facts[k],
                                        batch->identities.empty() ? FileIdentity() : batch->identities[k],
                                        group});
                    }
                    pool.give(std::move(batch));
                }));
}

} // namespace kelvane
