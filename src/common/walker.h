#pragma once

#include "common/entry.h"
#include "common/walkdir.h"
#include "common/walkprogress.h"

#include <functional>
#include <memory>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

namespace kelvane {

// What a tool computes over a tree. The walk lists each directory once and
// calls visit with the whole listing; once every subdirectory it entered has
// been folded, it calls combine with the directory's own result and the
// children's results in listing order. Calls come from several threads at once
// but the value of the whole fold does not depend on their number or timing.
// A subdirectory that could not be listed (unreadable, vanished, aborted)
// contributes R{} and gets neither call.
template <class R> class Fold {
public:
    virtual ~Fold() = default;
    // listing: every entry but "." and "..", with lstat data, in ascending byte
    // order of names. Valid only during the call.
    virtual R visit(const WalkDir& dir, std::span<const Entry> listing) = 0;
    virtual R combine(const WalkDir& dir, R own, std::vector<R>& children) = 0;
};

// True when the walk enters this entry of a listing: a directory (not a link),
// not hidden unless hidden directories are asked for, on the drive's own file
// system.
inline bool walkEnters(const Entry& e, dev_t driveDevice, bool enterHidden = false)
{
    return e.isDirectory() && (enterHidden || !e.isHidden()) && e.dev == driveDevice;
}

// Directory reads a walk keeps in flight unless told otherwise: a cold disk
// answers many queued reads far faster than one at a time (64 walked the
// cold bench tree about a tenth faster than 32; warm walks are the same).
inline constexpr int kDefaultIo = 64;

struct WalkOptions {
    int threads = 0; // threads that fold at once; 0: one per core
    // Directories being read at once (each on its own thread, which mostly
    // waits for the disk); 0: kDefaultIo. The fold's value does not depend on it.
    int io = 0;
    std::stop_token stop; // tested before every directory and entry
    WalkProgress* progress = nullptr;
    // Enter hidden directories too (their listings reach the fold like any other).
    bool enterHidden = false;
    // Called before each directory is opened (tests block or abort a walk here).
    std::function<void(const WalkDir&)> beforeDirectory;
};

struct SkippedDirectory {
    std::string path;
    int error = 0;
};

struct WalkStats {
    int rootError = 0; // errno when the root itself could not be opened
    bool aborted = false;
    uint64_t directories = 0;                         // directories listed
    uint64_t entries = 0;                             // entries listed
    uint64_t skipped = 0;                             // directories that could not be opened or read
    std::vector<SkippedDirectory> skippedDirectories; // the first kMaxRecordedSkips
    static constexpr size_t kMaxRecordedSkips = 1000;
};

template <class R> struct WalkResult {
    R value{};
    WalkStats stats;
};

namespace detail {

// Frees a fold's value through the fold's own type.
struct ValueDeleter {
    void (*destroy)(void*) = nullptr;
    void operator()(void* value) const { destroy(value); }
};

// A value of a fold, whatever its type, owned by the walk: freed also when a
// walk ends by an exception (a fold that runs out of memory).
using FoldValue = std::unique_ptr<void, ValueDeleter>;

// The walk's view of a Fold<R>, so that the engine is compiled once.
class ErasedFold {
public:
    virtual ~ErasedFold() = default;
    virtual FoldValue visit(const WalkDir& dir, std::span<const Entry> listing) = 0;
    virtual FoldValue empty() = 0;
    // Empties children.
    virtual FoldValue combine(const WalkDir& dir, FoldValue own, std::vector<FoldValue>& children) = 0;
};

// Walks root; *out receives the root's value.
WalkStats walkErased(const std::string& root, ErasedFold& fold, const WalkOptions& options, FoldValue* out);

template <class R> class TypedFold final : public ErasedFold {
public:
    explicit TypedFold(Fold<R>& fold) : fold_(fold) {}
    FoldValue visit(const WalkDir& dir, std::span<const Entry> listing) override
    {
        return FoldValue(new R(fold_.visit(dir, listing)), kDeleter);
    }
    FoldValue empty() override { return FoldValue(new R{}, kDeleter); }
    FoldValue combine(const WalkDir& dir, FoldValue own, std::vector<FoldValue>& children) override
    {
        std::vector<R> values;
        values.reserve(children.size());
        for (FoldValue& child : children)
            values.push_back(take(std::move(child)));
        children.clear();
        return FoldValue(new R(fold_.combine(dir, take(std::move(own)), values)), kDeleter);
    }
    static R take(FoldValue value) { return std::move(*static_cast<R*>(value.get())); }

private:
    static void destroy(void* value) { delete static_cast<R*>(value); }
    static constexpr ValueDeleter kDeleter{&destroy};
    Fold<R>& fold_;
};

} // namespace detail

// Walks the tree under root (the root itself may be a link to a directory; no
// link below it is followed) and folds it. Never leaves the root's file
// system, never enters system directories nor hidden ones (unless
// options.enterHidden), skips and counts
// directories that cannot be read.
template <class R>
WalkResult<R> walkTree(const std::string& root, Fold<R>& fold, const WalkOptions& options = {})
{
    detail::TypedFold<R> typed(fold);
    detail::FoldValue out;
    WalkResult<R> result;
    result.stats = detail::walkErased(root, typed, options, &out);
    if (out)
        result.value = detail::TypedFold<R>::take(std::move(out));
    return result;
}

} // namespace kelvane
