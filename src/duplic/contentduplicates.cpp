#include "duplic/contentduplicates.h"

#include "common/readworkers.h"

#include <oneapi/tbb/enumerable_thread_specific.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_set>

namespace kelvane {

namespace {

enum class State : uint8_t { Pending, Done, Dropped };

struct Member {
    size_t file = 0; // position in the input
    ContentIdentity id;
    ContentHash hash;
    State state = State::Pending;
};

// A run of members that may still be equal: members_[begin, end).
struct Tie {
    size_t begin = 0;
    size_t end = 0;
    int64_t size = 0;
    size_t count() const { return end - begin; }
};

struct InodeKey {
    dev_t dev;
    ino_t ino;
    bool operator==(const InodeKey&) const = default;
};

struct InodeHash {
    size_t operator()(const InodeKey& k) const
    {
        return std::hash<uint64_t>()(uint64_t(k.ino) * 31 + uint64_t(k.dev));
    }
};

// Files compared side by side at most; a larger group reads its first file
// once more for every further batch.
constexpr size_t kCompareBatch = 64;
constexpr size_t kCompareChunk = 64 * 1024;

// Reads n bytes unless the file ends first; the count, or -1.
ssize_t readFull(CheckedFile& file, char* buffer, size_t n)
{
    size_t have = 0;
    while (have < n) {
        const ssize_t got = file.read(buffer + have, n - have);
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        have += size_t(got);
    }
    return ssize_t(have);
}

class Comparison {
public:
    Comparison(const std::vector<ContentFile>& files, const ContentOptions& options)
        : files_(files), options_(options),
          threads_(options.readThreads > 0 ? options.readThreads : defaultReadThreads())
    {
    }

    ContentGroups run()
    {
        std::vector<Tie> ties = bySize();
        finishStep(ContentStep::Sizes);
        if (!ties.empty() && !aborted()) {
            ties = hashStep(ContentStep::Heads, std::move(ties));
            finishStep(ContentStep::Heads);
            std::vector<Tie> open;
            for (const Tie& t : ties) {
                if (t.size <= kHeadBytes && !options_.byteCompare)
                    prove(t); // the head was the whole file
                else
                    open.push_back(t);
            }
            if (!open.empty() && !aborted()) {
                if (options_.byteCompare) {
                    compareStep(open);
                } else {
                    for (const Tie& t : hashStep(ContentStep::Whole, std::move(open)))
                        prove(t);
                }
                finishStep(ContentStep::Whole);
            } else if (!open.empty()) {
                discarded_ = true;
            }
        } else if (!ties.empty()) {
            discarded_ = true;
        }
        if (options_.progress)
            options_.progress->step = int(ContentStep::Done);
        return takeResult();
    }

private:
    bool aborted() const { return options_.stop.stop_requested(); }

    void finishStep(ContentStep step)
    {
        if (options_.afterStep)
            options_.afterStep(step);
    }

    void beginStep(ContentStep step, uint64_t files, uint64_t bytes)
    {
        if (ContentProgress* p = options_.progress) {
            p->filesToRead = files;
            p->filesRead = 0;
            p->bytesToRead = bytes;
            p->bytesRead = 0;
            p->step = int(step);
        }
    }

    void fileDone(uint64_t bytes)
    {
        if (ContentProgress* p = options_.progress) {
            p->filesRead.fetch_add(1, std::memory_order_relaxed);
            if (bytes)
                p->bytesRead.fetch_add(bytes, std::memory_order_relaxed);
        }
    }

    // Records why a file left its group.
    void drop(Member& m, ReadOutcome outcome, int error)
    {
        m.state = State::Dropped;
        std::lock_guard lock(problemMutex_);
        if (outcome == ReadOutcome::Changed) {
            ++result_.changed;
            error = 0;
        } else {
            ++result_.unreadable;
        }
        if (result_.problems.size() < ContentGroups::kMaxRecordedProblems)
            result_.problems.push_back({files_[m.file].path, error});
    }

    // One file per inode, at its first position; then runs of two or more
    // files of one class and size. Larger files first: their reads take
    // longest and should not be left for the end.
    std::vector<Tie> bySize()
    {
        std::unordered_set<InodeKey, InodeHash> seen;
        seen.reserve(files_.size());
        std::vector<size_t> unique;
        unique.reserve(files_.size());
        for (size_t i = 0; i < files_.size(); ++i) {
            if (seen.insert({files_[i].id.dev, files_[i].id.ino}).second)
                unique.push_back(i);
        }
        seen = {};
        auto key = [this](size_t i) { return std::pair(-files_[i].id.size, files_[i].nameClass); };
        std::stable_sort(unique.begin(), unique.end(), [&](size_t a, size_t b) { return key(a) < key(b); });
        std::vector<Tie> ties;
        for (size_t i = 0; i < unique.size();) {
            size_t j = i + 1;
            while (j < unique.size() && key(unique[j]) == key(unique[i]))
                ++j;
            if (j - i >= 2) {
                Tie t{members_.size(), 0, files_[unique[i]].id.size};
                for (size_t k = i; k < j; ++k) {
                    Member m;
                    m.file = unique[k];
                    m.id = files_[unique[k]].id;
                    members_.push_back(m);
                }
                t.end = members_.size();
                ties.push_back(t);
            }
            i = j;
        }
        return ties;
    }

    // Hashes every member of the ties (heads or whole files) and splits each
    // tie by hash. A tie with a member left unread (abort) is given up.
    std::vector<Tie> hashStep(ContentStep step, std::vector<Tie> ties)
    {
        std::vector<Member*> work;
        uint64_t bytes = 0;
        for (const Tie& t : ties) {
            for (size_t k = t.begin; k < t.end; ++k) {
                members_[k].state = State::Pending;
                work.push_back(&members_[k]);
            }
            bytes += uint64_t(step == ContentStep::Heads ? std::min(t.size, kHeadBytes) : t.size) * t.count();
        }
        beginStep(step, work.size(), bytes);
        std::atomic<uint64_t>* bytesRead = options_.progress ? &options_.progress->bytesRead : nullptr;
        // A reader per thread, owned by this step: a thread_local one would
        // register its destructor on first use, and glibc ends the program
        // when that registration runs out of memory.
        tbb::enumerable_thread_specific<ContentReader> readers;
        forEachOnReadThreads(
            work.size(), threads_,
            [&](size_t i) {
                ContentReader& reader = readers.local();
                Member& m = *work[i];
                const std::string& path = files_[m.file].path;
                if (options_.beforeRead)
                    options_.beforeRead(step, path);
                const ReadOutcome outcome =
                    step == ContentStep::Heads
                        ? reader.headHash(path, m.id, &m.hash)
                        : reader.fullHash(path, m.id, &m.hash, options_.stop, bytesRead);
                if (outcome == ReadOutcome::Read) {
                    m.state = State::Done;
                    fileDone(step == ContentStep::Heads ? uint64_t(std::min(m.id.size, kHeadBytes)) : 0);
                } else if (outcome != ReadOutcome::Aborted) {
                    drop(m, outcome, reader.error());
                    fileDone(0);
                }
            },
            options_.stop);
        return splitByHash(ties);
    }

    std::vector<Tie> splitByHash(const std::vector<Tie>& ties)
    {
        std::vector<Tie> out;
        for (const Tie& t : ties) {
            const auto first = members_.begin() + std::ptrdiff_t(t.begin);
            const auto last = members_.begin() + std::ptrdiff_t(t.end);
            if (std::any_of(first, last, [](const Member& m) { return m.state == State::Pending; })) {
                discarded_ = true;
                continue;
            }
            // Done members first, by hash, then in input order.
            std::sort(first, last, [](const Member& a, const Member& b) {
                if ((a.state == State::Done) != (b.state == State::Done))
                    return a.state == State::Done;
                if (a.hash != b.hash)
                    return a.hash < b.hash;
                return a.file < b.file;
            });
            for (auto i = first; i != last && i->state == State::Done;) {
                auto j = i + 1;
                while (j != last && j->state == State::Done && j->hash == i->hash)
                    ++j;
                if (j - i >= 2)
                    out.push_back(Tie{size_t(i - members_.begin()), size_t(j - members_.begin()), t.size});
                i = j;
            }
        }
        return out;
    }

    void prove(const Tie& t)
    {
        std::vector<size_t> group;
        group.reserve(t.count());
        for (size_t k = t.begin; k < t.end; ++k)
            group.push_back(members_[k].file);
        std::sort(group.begin(), group.end());
        std::lock_guard lock(provenMutex_);
        result_.groups.push_back(std::move(group));
    }

    // Compares the files of each tie byte for byte, ties side by side.
    void compareStep(const std::vector<Tie>& ties)
    {
        uint64_t files = 0, bytes = 0;
        for (const Tie& t : ties) {
            files += t.count();
            bytes += uint64_t(t.size) * t.count();
        }
        beginStep(ContentStep::Whole, files, bytes);
        std::vector<char> finished(ties.size(), 0);
        forEachOnReadThreads(
            ties.size(), threads_, [&](size_t i) { finished[i] = compareTie(ties[i]); }, options_.stop);
        if (std::count(finished.begin(), finished.end(), 0) > 0)
            discarded_ = true;
    }

    // Splits one tie into groups of equal bytes: the first file against all
    // others, then the first of those that differed against the rest of them,
    // and so on. False when aborted.
    bool compareTie(const Tie& t)
    {
        std::vector<Member*> remaining;
        for (size_t k = t.begin; k < t.end; ++k)
            remaining.push_back(&members_[k]);
        if (options_.beforeRead)
            options_.beforeRead(ContentStep::Whole, files_[remaining.front()->file].path);
        const size_t chunk = size_t(std::min<int64_t>(t.size, kCompareChunk));
        std::vector<char> buffer(chunk * (std::min(remaining.size(), kCompareBatch) + 1));
        while (remaining.size() >= 2) {
            Member* first = remaining.front();
            std::vector<Member*> same, different;
            bool firstChanged = false;
            for (size_t b = 1; b < remaining.size() && !firstChanged; b += kCompareBatch - 1) {
                const size_t end = std::min(remaining.size(), b + kCompareBatch - 1);
                std::vector<Member*> batch(remaining.begin() + std::ptrdiff_t(b),
                                           remaining.begin() + std::ptrdiff_t(end));
                const int verdict = compareBatch(first, batch, t.size, chunk, buffer, same, different);
                if (verdict < 0)
                    return false;
                firstChanged = verdict == 0;
                if (firstChanged) // what was not compared yet goes round again
                    different.insert(different.end(), remaining.begin() + std::ptrdiff_t(end),
                                     remaining.end());
            }
            if (!firstChanged && !same.empty()) {
                std::vector<size_t> group{first->file};
                for (const Member* m : same)
                    group.push_back(m->file);
                std::sort(group.begin(), group.end());
                std::lock_guard lock(provenMutex_);
                result_.groups.push_back(std::move(group));
            }
            if (firstChanged)
                different.insert(different.end(), same.begin(), same.end());
            std::sort(different.begin(), different.end(),
                      [](const Member* a, const Member* b) { return a->file < b->file; });
            remaining = std::move(different);
        }
        return true;
    }

    // Reads first and the batch side by side. Members equal to first go to
    // same, the others to different; changed or unreadable ones are dropped.
    // 1: compared; 0: first itself changed (dropped); -1: aborted.
    int compareBatch(Member* first, std::vector<Member*>& batch, int64_t size, size_t chunk,
                     std::vector<char>& buffer, std::vector<Member*>& same, std::vector<Member*>& different)
    {
        CheckedFile firstFile;
        if (const ReadOutcome o = firstFile.open(files_[first->file].path, first->id);
            o != ReadOutcome::Read) {
            drop(*first, o, firstFile.error());
            fileDone(0);
            different.insert(different.end(), batch.begin(), batch.end());
            return 0;
        }
        std::vector<CheckedFile> open(batch.size());
        std::vector<Member*> live;
        std::vector<CheckedFile*> liveFiles;
        for (size_t i = 0; i < batch.size(); ++i) {
            const ReadOutcome o = open[i].open(files_[batch[i]->file].path, batch[i]->id);
            if (o != ReadOutcome::Read) {
                drop(*batch[i], o, open[i].error());
                fileDone(0);
                continue;
            }
            live.push_back(batch[i]);
            liveFiles.push_back(&open[i]);
        }
        for (int64_t offset = 0; offset < size && !live.empty(); offset += int64_t(chunk)) {
            if (aborted())
                return -1;
            const size_t want = size_t(std::min<int64_t>(int64_t(chunk), size - offset));
            const ssize_t got = readFull(firstFile, buffer.data(), want);
            if (got != ssize_t(want)) {
                drop(*first, got < 0 ? ReadOutcome::Unreadable : ReadOutcome::Changed, firstFile.error());
                different.insert(different.end(), live.begin(), live.end());
                return 0;
            }
            if (options_.progress)
                options_.progress->bytesRead.fetch_add(want, std::memory_order_relaxed);
            for (size_t i = 0; i < live.size();) {
                char* mine = buffer.data() + chunk * (i + 1);
                const ssize_t n = readFull(*liveFiles[i], mine, want);
                if (n == ssize_t(want) && std::memcmp(mine, buffer.data(), want) == 0) {
                    ++i;
                    continue;
                }
                if (n == ssize_t(want)) {
                    different.push_back(live[i]);
                } else {
                    drop(*live[i], n < 0 ? ReadOutcome::Unreadable : ReadOutcome::Changed,
                         liveFiles[i]->error());
                    fileDone(0);
                }
                live.erase(live.begin() + std::ptrdiff_t(i));
                liveFiles.erase(liveFiles.begin() + std::ptrdiff_t(i));
            }
        }
        if (firstFile.stillSame(first->id) != ReadOutcome::Read) {
            drop(*first, ReadOutcome::Changed, 0);
            different.insert(different.end(), live.begin(), live.end());
            return 0;
        }
        for (size_t i = 0; i < live.size(); ++i) {
            if (liveFiles[i]->stillSame(live[i]->id) != ReadOutcome::Read) {
                drop(*live[i], ReadOutcome::Changed, 0);
            } else {
                same.push_back(live[i]);
            }
            fileDone(0);
        }
        return 1;
    }

    ContentGroups takeResult()
    {
        result_.aborted = discarded_;
        auto sizeOf = [this](const std::vector<size_t>& g) { return files_[g.front()].id.size; };
        std::sort(result_.groups.begin(), result_.groups.end(),
                  [&](const std::vector<size_t>& a, const std::vector<size_t>& b) {
                      const uint64_t wa = wastedBytes(sizeOf(a), a.size()),
                                     wb = wastedBytes(sizeOf(b), b.size());
                      if (wa != wb)
                          return wa > wb;
                      if (sizeOf(a) != sizeOf(b))
                          return sizeOf(a) > sizeOf(b);
                      return a.front() < b.front();
                  });
        return std::move(result_);
    }

    const std::vector<ContentFile>& files_;
    const ContentOptions& options_;
    const int threads_;
    std::vector<Member> members_;
    ContentGroups result_;
    std::mutex problemMutex_;
    std::mutex provenMutex_;
    bool discarded_ = false;
};

} // namespace

ContentGroups findSameContent(const std::vector<ContentFile>& files, const ContentOptions& options)
{
    Comparison comparison(files, options);
    return comparison.run();
}

} // namespace kelvane
