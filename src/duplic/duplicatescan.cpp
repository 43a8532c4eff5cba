#include "duplic/duplicatescan.h"

#include "common/fileops.h"
#include "common/linkclaims.h"
#include "duplic/grouping.h"
#include "duplic/namecandidates.h"
#include "duplic/namepattern.h"
#include "duplic/resultlines.h"

#include <oneapi/tbb/enumerable_thread_specific.h>

#include <algorithm>
#include <mutex>

namespace kelvane {

namespace {

// What each walking thread collects on its own; merged once at the end.
struct ThreadState {
    ThreadState(DupMode mode, const SearchPathList* searchPath, StampTextCache& stamps)
        : lines(mode, searchPath, stamps)
    {
    }
    LineMaker lines;
    CandidateStore store; // file hogs
    std::vector<Candidate> candidates;
    NameCandidateStore files; // duplicates
    std::string path;         // of the file at hand
};

// Where a taken name of a hard-linked file is in its thread's list: of
// candidates (file hogs) or of files (duplicates).
struct TakenLink {
    ThreadState* state = nullptr;
    size_t index = 0;
};

using TakenLinks = LinkClaims<TakenLink>;

} // namespace

class DuplicateScan::Collector final : public Fold<TakenLinks> {
public:
    Collector(const DupScanSettings& s, DuplicateScan& scan)
        : scan_(scan), settings_(s), pattern_(s.pattern), limitBytes_(s.limitKB * 1024),
          request_(requestFor(kRequestScanFiles, s.scan)), once_(s.scan.measure == SizeMeasure::DiskUsage),
          local_([this] { return ThreadState(settings_.mode, settings_.searchPath, stamps_); })
    {
    }

    WalkStats walk(const std::string& root, const WalkOptions& options)
    {
        stop_ = options.stop;
        WalkResult<TakenLinks> result = walkTree(root, *this, options);
        // A file taken on an earlier drive (two folders of one file system) stays there.
        links_.absorbLater(std::move(result.value), [this](const TakenLink& later) { drop(later); });
        return std::move(result.stats);
    }

    TakenLinks visit(const WalkDir& dir, std::span<const Entry> listing) override
    {
        TakenLinks links;
        if (stop_.stop_requested())
            return links;
        ThreadState& state = local_.local();
        size_t directoryLength = 0; // of the directory's path with its "/"; 0 until a file is taken
        uint32_t rootLength = 0;
        const CandidateDirectory* directory = nullptr;
        const bool duplicates = settings_.mode == DupMode::Duplicates;
        for (const Entry& e : listing) {
            if (!passesAttributeFilter(e.attr, request_))
                continue;
            const int64_t bytes = sizeOf(e, settings_.scan.measure);
            if (bytes <= limitBytes_ || !pattern_.matches(e.name))
                continue;
            // A name met earlier in this listing holds the file already.
            if (once_ && mayShareFile(e) && links.claims(e))
                continue;
            if (stop_.stop_requested())
                break;
            if (count_.fetch_add(1, std::memory_order_relaxed) >= settings_.capacity) {
                scan_.listFull();
                break;
            }
            if (directoryLength == 0) {
                rootLength = identityOf(dir).rootLength;
                state.path = dir.path();
                state.lines.setDirectory(state.path);
                if (state.path.back() != '/')
                    state.path.push_back('/');
                directoryLength = state.path.size();
                if (duplicates)
                    directory = state.files.addDirectory(
                        state.lines.directoryColumn(), settings_.keepPaths ? state.path : std::string(),
                        state.lines.onSearchPath(), settings_.keepFacts, settings_.keepPaths);
            }
            if (once_ && mayShareFile(e))
                links.claim(e, TakenLink{&state, duplicates ? state.files.size() : state.candidates.size()});
            if (duplicates) {
                state.files.add(state.lines.nameColumn(e.name), e.name, bytes, e.stamp(), e.mtime,
                                FileIdentity::ofEntry(e, rootLength), directory);
                continue;
            }
            std::string_view path = e.name;
            if (settings_.keepPaths) {
                state.path.resize(directoryLength);
                state.path.append(e.name);
                path = state.path;
            }
            const std::string_view line = state.lines.line(e, bytes);
            const CandidateFacts facts{bytes, e.mtime, state.lines.onSearchPath()};
            Candidate c =
                state.store.add(settings_.mode, line, state.lines.firstTab(), state.lines.secondTab(), path,
                                e.name.size(), bytes / 1024, settings_.keepFacts ? &facts : nullptr);
            c.identity = FileIdentity::ofEntry(e, rootLength);
            state.candidates.push_back(c);
        }
        return links;
    }

    TakenLinks combine(const WalkDir&, TakenLinks own, std::vector<TakenLinks>& children) override
    {
        for (TakenLinks& child : children)
            own.absorbLater(std::move(child), [this](const TakenLink& later) { drop(later); });
        return own;
    }

    size_t count() const
    {
        const size_t n = count_.load();
        return n < settings_.capacity ? n : settings_.capacity;
    }

    std::vector<Candidate> take()
    {
        std::vector<Candidate> all;
        all.reserve(count());
        sortDropped();
        for (ThreadState& state : local_) {
            const size_t start = all.size();
            all.insert(all.end(), state.candidates.begin(), state.candidates.end());
            state.candidates = {};
            removeDropped(&state, all, start);
        }
        dropped_.clear();
        sortCandidates(settings_.mode, all);
        return all;
    }

    std::vector<NameCandidate> takeFiles()
    {
        std::vector<NameCandidate> all;
        all.reserve(count());
        sortDropped();
        for (ThreadState& state : local_) {
            const size_t start = all.size();
            state.files.moveCandidatesTo(all);
            removeDropped(&state, all, start);
        }
        dropped_.clear();
        sortByName(all);
        return all;
    }

    StampTextCache& stamps() { return stamps_; }

private:
    // A later name of a file taken already: it leaves the lists before they are sorted.
    void drop(const TakenLink& later)
    {
        std::lock_guard lock(droppedMutex_);
        dropped_.push_back(later);
    }

    void sortDropped()
    {
        std::sort(dropped_.begin(), dropped_.end(), [](const TakenLink& a, const TakenLink& b) {
            return a.state != b.state ? a.state < b.state : a.index < b.index;
        });
    }

    // Removes the dropped items of state's list, which all holds from start on.
    template <class Item> void removeDropped(const ThreadState* state, std::vector<Item>& all, size_t start)
    {
        auto drop = std::lower_bound(dropped_.begin(), dropped_.end(), state,
                                     [](const TakenLink& d, const ThreadState* s) { return d.state < s; });
        size_t kept = start;
        for (size_t i = start; i < all.size(); ++i) {
            if (drop != dropped_.end() && drop->state == state && drop->index == i - start) {
                ++drop;
                continue;
            }
            all[kept++] = all[i];
        }
        all.resize(kept);
    }

    DuplicateScan& scan_;
    const DupScanSettings& settings_;
    NamePattern pattern_;
    int64_t limitBytes_;
    uint32_t request_;
    bool once_;
    StampTextCache stamps_;
    tbb::enumerable_thread_specific<ThreadState> local_;
    std::stop_token stop_; // of the walk at hand
    std::atomic<size_t> count_{0};
    TakenLinks links_; // of the trees walked so far
    std::mutex droppedMutex_;
    std::vector<TakenLink> dropped_;
};

DuplicateScan::DuplicateScan(DupScanSettings settings)
    : Scan(settings.scan.hidden), settings_(std::move(settings)),
      collector_(std::make_unique<Collector>(settings_, *this))
{
}

DuplicateScan::~DuplicateScan() = default;

WalkStats DuplicateScan::walkRoot(const std::string& root, const WalkOptions& options)
{
    return collector_->walk(root, options);
}

size_t DuplicateScan::candidateCount() const
{
    return collector_->count();
}

std::vector<Candidate> DuplicateScan::takeCandidates()
{
    return collector_->take();
}

std::vector<size_t> DuplicateScan::resultOrder(const std::vector<Candidate>& sorted,
                                               std::vector<uint32_t>* groups) const
{
    if (settings_.mode == DupMode::Hogs)
        return reSort(sorted);
    return addDups(sorted, settings_.exact, groups);
}

void DuplicateScan::forEachResultLine(const std::function<void(const ResultLine&)>& emit)
{
    if (settings_.mode == DupMode::Duplicates) {
        forEachDuplicateLine(collector_->takeFiles(), settings_.exact, collector_->stamps(), emit);
        return;
    }
    const std::vector<Candidate> sorted = takeCandidates();
    std::vector<uint32_t> groups;
    const std::vector<size_t> order = resultOrder(sorted, &groups);
    for (size_t k = 0; k < order.size(); ++k) {
        const Candidate& c = sorted[order[k]];
        emit(ResultLine{c.line(), c.path(), c.facts(), c.identity, k < groups.size() ? groups[k] : 0});
    }
}

std::vector<GridRow> DuplicateScan::handOver(std::vector<uint32_t>* groups)
{
    std::vector<GridRow> rows;
    forEachResultLine([&](const ResultLine& r) {
        rows.push_back(
            GridRow{QByteArray(r.line.data(), qsizetype(r.line.size())), std::string(r.path), r.identity});
        if (groups && settings_.mode == DupMode::Duplicates)
            groups->push_back(r.group);
    });
    return rows;
}

} // namespace kelvane
