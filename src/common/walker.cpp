#include "common/walker.h"

#include "common/filedescriptor.h"
#include "common/pathnames.h"
#include "common/workstack.h"

#include <oneapi/tbb/info.h>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <semaphore>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane {

std::string WalkDir::path() const
{
    std::vector<const std::string*> names;
    const WalkDir* d = this;
    for (; d->parent_; d = d->parent_)
        names.push_back(&d->name_);
    std::string path = d->name_; // the root
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        appendPathName(path, **it);
    return path;
}

namespace {

using detail::FoldValue;

constexpr int kStatFlags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT;
constexpr uint64_t kProgressBatch = 4096;

class Node final : public WalkDir {
public:
    Node(Node* parent, std::string name, int depth, size_t slot)
        : WalkDir(parent, std::move(name), depth), parentNode(parent), slot(slot)
    {
    }

    void setIdentity(dev_t dev, ino_t ino, int64_t mtime)
    {
        dev_ = dev;
        ino_ = ino;
        mtime_ = mtime;
    }

    // Frees what is left below (a walk that failed) without recursion, as a
    // tree may be deep, and without allocating, as memory may have run out:
    // down to the last subdirectory, freed once nothing is left below it.
    ~Node()
    {
        Node* n = this;
        for (;;) {
            if (!n->subdirectories.empty()) {
                if (n->subdirectories.back())
                    n = n->subdirectories.back().get();
                else
                    n->subdirectories.pop_back();
            } else if (n != this) {
                n = n->parentNode;
                n->subdirectories.pop_back();
            } else {
                break;
            }
        }
    }

    Node* parentNode;
    size_t slot; // index among the parent's entered subdirectories
    bool holdsParentRef = false;
    FileDescriptor fd; // open while fdRefs > 0
    std::atomic<int> fdRefs{0};
    FoldValue own;
    // Each entered subdirectory, until it hands its value over, and the values.
    std::vector<std::unique_ptr<Node>> subdirectories;
    std::vector<FoldValue> childValues;
    std::atomic<size_t> pending{0};
};

// Per-thread buffers, reused from one directory to the next.
struct Scratch {
    std::vector<char> buffer = std::vector<char>(64 * 1024);
    // The listing at hand is the first `listed` entries; the others are kept
    // with their names' storage, which the next listings reuse rather than
    // allocating a name for each entry.
    std::vector<Entry> entries;
    size_t listed = 0;

    Entry& nextEntry()
    {
        if (listed == entries.size())
            entries.emplace_back();
        return entries[listed++];
    }
    std::span<Entry> listing() { return {entries.data(), listed}; }
};

// This thread's buffers and the walk they belong to. The walk owns them: a
// thread_local object with a destructor would have that destructor
// registered on first use, and glibc ends the program when that runs out of
// memory.
thread_local Scratch* threadScratch = nullptr;
thread_local uint64_t threadScratchWalk = 0;
std::atomic<uint64_t> walkSerial{0};

// True while this thread holds one of the walk's fold slots.
thread_local bool holdingFoldSlot = false;

// Descriptors the process holds now.
int openDescriptors()
{
    const FileDescriptor fd(::open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid())
        return 3;
    int count = 0;
    char buffer[4096];
    for (ssize_t n; (n = ::getdents64(fd.get(), buffer, sizeof buffer)) > 0;) {
        for (ssize_t pos = 0; pos < n;) {
            const auto* de = reinterpret_cast<const dirent64*>(buffer + pos);
            pos += de->d_reclen;
            if (de->d_name[0] != '.')
                ++count;
        }
    }
    return count - 1; // not the one that read the list
}

class Walk {
public:
    Walk(detail::ErasedFold& fold, const WalkOptions& options, FoldValue* out)
        : fold_(fold), options_(options), out_(out)
    {
        struct rlimit limit;
        long soft = 1024;
        if (getrlimit(RLIMIT_NOFILE, &limit) == 0)
            soft = limit.rlim_cur == RLIM_INFINITY ? (1L << 20)
                                                   : long(std::min<rlim_t>(limit.rlim_cur, 1L << 20));
        // What the walk may open: the soft limit less what is open now, less a
        // reserve for whatever else the program opens meanwhile, less the root.
        const long reserve = std::max(8L, soft / 16);
        const long available = soft - openDescriptors() - reserve - 1;
        // Each reading thread opens at most two descriptors beyond those kept
        // for children (a directory and its parent or child), so low limits
        // get fewer of them.
        const int io = options_.io > 0 ? options_.io : kDefaultIo;
        readers_ = int(std::clamp<long>(available / kPerThread, 1, io));
        fdBudget_ = int(std::clamp<long>(std::min(soft / 4, available - kPerThread * readers_), 0, 1024));
    }

    WalkStats run(const std::string& rootPath)
    {
        WalkStats stats;
        FileDescriptor rootFd(::open(rootPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY));
        struct stat st;
        if (!rootFd.valid() || ::fstat(rootFd.get(), &st) != 0) {
            stats.rootError = errno;
            return stats;
        }
        rootDev_ = st.st_dev;
        // Owns every directory still to be folded (they own their
        // subdirectories), so that a failed walk frees them all.
        const auto root = std::make_unique<Node>(nullptr, rootPath, 0, 0);
        root->setIdentity(st.st_dev, st.st_ino, int64_t(st.st_mtime));
        root->fd = std::move(rootFd);
        root->fdRefs = 1; // held for the whole walk: every way back up ends here

        WorkStack<Node*> reads(readers_);
        stack_ = &reads;
        reads.run(root.get(), [this](Node* n) { process(n); }); // rethrows a failure of the walk
        stack_ = nullptr;
        releaseFd(root.get());

        stats.aborted = aborted();
        stats.directories = directories_;
        stats.entries = entries_;
        stats.skipped = skipped_;
        stats.skippedDirectories = std::move(skips_);
        return stats;
    }

private:
    static constexpr long kPerThread = 2;

    // A directory walked by this thread itself, and its subdirectories left
    // to walk.
    struct Frame {
        Node* node;
        std::vector<Node*> children;
        size_t next = 0;
    };

    enum class Listed {
        Done,   // folded and handed on (no subdirectory, or unreadable)
        Shared, // its descriptor is kept for its subdirectories' tasks
        Inline, // its subdirectories are left to the caller, holding one count of pending
    };

    // Holds one of the slots that bound how many threads fold at once; a
    // thread that holds one already takes no second.
    class FoldSlot {
    public:
        explicit FoldSlot(std::counting_semaphore<>& slots) : slots_(slots), owned_(!holdingFoldSlot)
        {
            if (owned_) {
                slots_.acquire();
                holdingFoldSlot = true;
            }
        }
        ~FoldSlot()
        {
            if (owned_) {
                holdingFoldSlot = false;
                slots_.release();
            }
        }
        FoldSlot(const FoldSlot&) = delete;
        FoldSlot& operator=(const FoldSlot&) = delete;

    private:
        std::counting_semaphore<>& slots_;
        bool owned_;
    };

    Scratch& scratchOfThread()
    {
        if (threadScratchWalk != serial_) {
            auto made = std::make_unique<Scratch>();
            std::lock_guard lock(scratchMutex_);
            scratches_.push_back(std::move(made));
            threadScratch = scratches_.back().get();
            threadScratchWalk = serial_;
        }
        return *threadScratch;
    }

    bool aborted() const { return options_.stop.stop_requested(); }

    void releaseFd(Node* n)
    {
        if (n->fdRefs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            n->fd.reset();
            if (n->parentNode)
                heldFds_.fetch_sub(1, std::memory_order_relaxed);
        }
    }

    bool tryAcquireFd(Node* n)
    {
        int refs = n->fdRefs.load(std::memory_order_acquire);
        while (refs > 0) {
            if (n->fdRefs.compare_exchange_weak(refs, refs + 1, std::memory_order_acq_rel))
                return true;
        }
        return false;
    }

    // One more descriptor kept open for subdirectories, if the budget allows.
    bool reserveHeldFd()
    {
        if (heldFds_.fetch_add(1, std::memory_order_relaxed) < fdBudget_)
            return true;
        heldFds_.fetch_sub(1, std::memory_order_relaxed);
        return false;
    }

    void releaseParent(Node* n)
    {
        if (n->holdsParentRef) {
            n->holdsParentRef = false;
            releaseFd(n->parentNode);
        }
    }

    // Opens a directory checked to be the one the listing showed (on the
    // drive's file system, as walkEnters made sure). Invalid with *error set
    // on failure.
    static FileDescriptor openChecked(int parentFd, const Node* n, int* error)
    {
        FileDescriptor fd = openCheckedDirectory(parentFd, n->name().c_str(), n->device(), n->inode());
        if (!fd.valid())
            *error = errno;
        return fd;
    }

    // Opens n step by step from the nearest ancestor that holds a descriptor
    // (the root at worst). Only for when the way up through ".." failed: a
    // directory moved during the walk.
    FileDescriptor openFromAncestor(Node* n, int* error)
    {
        std::vector<Node*> chain{n};
        Node* anchor = n->parentNode;
        while (!tryAcquireFd(anchor)) {
            chain.push_back(anchor);
            anchor = anchor->parentNode;
        }
        FileDescriptor fd;
        int at = anchor->fd.get();
        for (auto it = chain.rbegin(); it != chain.rend() && at >= 0; ++it) {
            fd = openChecked(at, *it, error);
            at = fd.get();
        }
        releaseFd(anchor);
        return fd;
    }

    // Goes back up from a subdirectory's descriptor (which this closes) to
    // its parent n: one step whatever the depth, so a deep walk with no
    // descriptors to spare stays linear.
    FileDescriptor openParent(FileDescriptor childFd, Node* n, int* error)
    {
        if (childFd.valid()) {
            FileDescriptor fd = openCheckedDirectory(childFd.get(), "..", n->device(), n->inode());
            childFd.reset();
            if (fd.valid())
                return fd;
        }
        return openFromAncestor(n, error);
    }

    void recordSkip(const Node* n, int error)
    {
        // Paths are built only while someone keeps them.
        if (skipped_.fetch_add(1, std::memory_order_relaxed) >= WalkStats::kMaxRecordedSkips) {
            if (options_.progress)
                options_.progress->addSkipped({});
            return;
        }
        const std::string path = n->path();
        if (options_.progress)
            options_.progress->addSkipped(path);
        std::lock_guard lock(skipMutex_);
        if (skips_.size() < WalkStats::kMaxRecordedSkips)
            skips_.push_back({path, error});
    }

    // Reads the whole listing of fd into the scratch listing, sorted by name.
    // Returns false (with *error) when the directory cannot be read, or when
    // the walk was aborted meanwhile (*error 0).
    bool list(int fd, int* error)
    {
        Scratch& scratch = scratchOfThread();
        scratch.listed = 0;
        uint64_t unreported = 0;
        for (;;) {
            const ssize_t n = ::getdents64(fd, scratch.buffer.data(), scratch.buffer.size());
            if (n < 0) {
                *error = errno;
                return false;
            }
            if (n == 0)
                break;
            for (ssize_t pos = 0; pos < n;) {
                const auto* de = reinterpret_cast<const dirent64*>(scratch.buffer.data() + pos);
                pos += de->d_reclen;
                const char* name = de->d_name;
                if (isDotEntry(name))
                    continue;
                if (aborted()) {
                    *error = 0;
                    return false;
                }
                struct stat st;
                if (::fstatat(fd, name, &st, kStatFlags) != 0) {
                    if (errno == ENOENT)
                        continue; // vanished since it was listed
                    // Readable but not searchable (EACCES), or worse: the
                    // listing says nothing true about the directory.
                    *error = errno;
                    if (options_.progress)
                        options_.progress->addEntries(unreported);
                    return false;
                }
                fillEntry(scratch.nextEntry(), name, st);
                if (++unreported == kProgressBatch && options_.progress) {
                    options_.progress->addEntries(unreported);
                    unreported = 0;
                }
            }
        }
        if (options_.progress)
            options_.progress->addEntries(unreported);
        const std::span<Entry> entries = scratch.listing();
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return a.name < b.name; });
        return true;
    }

    // Runs the hook and tells whether n is still to be walked; an aborted
    // directory is handed on empty.
    bool startDirectory(Node* n)
    {
        if (!aborted() && options_.beforeDirectory)
            options_.beforeDirectory(*n);
        if (!aborted())
            return true;
        releaseParent(n);
        deliver(n, fold_.empty());
        return false;
    }

    // A task: one directory whose parent keeps its descriptor for it.
    void process(Node* n)
    {
        if (!startDirectory(n))
            return;
        if (n->isRoot()) {
            walkFrom(n, n->fd);
            return;
        }
        int error = 0;
        FileDescriptor fd = openChecked(n->parentNode->fd.get(), n, &error);
        releaseParent(n);
        if (!fd.valid()) {
            recordSkip(n, error);
            deliver(n, fold_.empty());
            return;
        }
        walkFrom(n, fd);
    }

    // Lists and folds n, open as fd (for the root its node's own, which stays
    // open). Done: fd is closed. Shared: fd went to n for its subdirectories'
    // tasks. Inline: fd is still the caller's, and *children are n's
    // subdirectories for the caller to walk.
    Listed listDirectory(Node* n, FileDescriptor& fd, std::vector<Node*>* children)
    {
        const bool isRoot = n->isRoot();
        auto closeOwn = [&] {
            if (!isRoot)
                fd.reset();
        };
        int error = 0;
        if (!list(fd.get(), &error)) {
            if (error != 0)
                recordSkip(n, error);
            closeOwn();
            deliver(n, fold_.empty());
            return Listed::Done;
        }
        const std::span<const Entry> entries = scratchOfThread().listing();
        directories_.fetch_add(1, std::memory_order_relaxed);
        entries_.fetch_add(entries.size(), std::memory_order_relaxed);
        if (options_.progress) {
            options_.progress->addDirectory();
            if (options_.progress->directoryDue())
                options_.progress->setDirectory(n->path());
        }

        FoldSlot slot(foldSlots_);
        FoldValue own = fold_.visit(*n, entries);
        children->clear();
        for (const Entry& e : entries) {
            if (!walkEnters(e, rootDev_, options_.enterHidden))
                continue;
            auto child = std::make_unique<Node>(n, e.name, n->depth() + 1, children->size());
            child->setIdentity(e.dev, e.ino, e.mtime);
            children->push_back(child.get());
            n->subdirectories.push_back(std::move(child));
        }
        if (children->empty()) {
            closeOwn();
            std::vector<FoldValue> none;
            deliver(n, fold_.combine(*n, std::move(own), none));
            return Listed::Done;
        }
        n->own = std::move(own);
        n->childValues.resize(children->size());
        if (!isRoot && !reserveHeldFd()) {
            n->pending.store(children->size() + 1, std::memory_order_relaxed);
            return Listed::Inline;
        }
        n->pending.store(children->size(), std::memory_order_relaxed);
        if (!isRoot)
            n->fd = std::move(fd);
        n->fdRefs.fetch_add(int(children->size()), std::memory_order_release);
        for (Node* child : *children)
            child->holdsParentRef = true;
        // n may be gone once its children are on the stack.
        stack_->push(*children);
        return Listed::Shared;
    }

    // Walks n, open as fd, and on this thread whatever part of its subtree
    // gets no descriptor to share: depth first, holding one directory's
    // descriptor at a time and going back up through "..".
    void walkFrom(Node* n, FileDescriptor& fd)
    {
        std::vector<Node*> children;
        if (listDirectory(n, fd, &children) != Listed::Inline)
            return;
        std::vector<Frame> stack;
        stack.push_back({n, std::move(children)});
        FileDescriptor cur = std::move(fd); // the descriptor of the top frame's directory,
        bool curIsTop = true;               // or of the subdirectory just left (or none)
        int error = 0;
        for (;;) {
            Frame& top = stack.back();
            if (!curIsTop) {
                cur = openParent(std::move(cur), top.node, &error);
                curIsTop = true;
                if (!cur.valid()) {
                    for (; top.next < top.children.size(); ++top.next) {
                        recordSkip(top.children[top.next], error);
                        deliver(top.children[top.next], fold_.empty());
                    }
                }
            }
            if (top.next == top.children.size()) {
                Node* done = top.node;
                stack.pop_back();
                release(done);
                if (stack.empty())
                    break;
                curIsTop = false;
                continue;
            }
            Node* child = top.children[top.next++];
            if (!startDirectory(child))
                continue;
            FileDescriptor childFd = openChecked(cur.get(), child, &error);
            if (!childFd.valid()) {
                recordSkip(child, error);
                deliver(child, fold_.empty());
                continue;
            }
            if (listDirectory(child, childFd, &children) == Listed::Inline) {
                cur = std::move(childFd); // the one left is found again through ".."
                stack.push_back({child, std::move(children)});
            }
        }
    }

    // Hands a directory's value to its parent, which frees the directory;
    // the last child to finish combines the parent, and so on upwards,
    // without recursion.
    void deliver(Node* n, FoldValue value)
    {
        FoldSlot slot(foldSlots_);
        for (;;) {
            Node* parent = n->parentNode;
            if (!parent) {
                *out_ = std::move(value);
                return; // the root is freed by run()
            }
            const size_t at = n->slot;
            parent->childValues[at] = std::move(value);
            parent->subdirectories[at].reset(); // n is gone
            if (parent->pending.fetch_sub(1, std::memory_order_acq_rel) != 1)
                return;
            value = fold_.combine(*parent, std::move(parent->own), parent->childValues);
            n = parent;
        }
    }

    // Drops the count a directory walk here held on n (Listed::Inline).
    void release(Node* n)
    {
        FoldSlot slot(foldSlots_);
        if (n->pending.fetch_sub(1, std::memory_order_acq_rel) != 1)
            return;
        FoldValue value = fold_.combine(*n, std::move(n->own), n->childValues);
        deliver(n, std::move(value));
    }

    detail::ErasedFold& fold_;
    const WalkOptions& options_;
    FoldValue* out_;
    WorkStack<Node*>* stack_ = nullptr;
    std::counting_semaphore<> foldSlots_{options_.threads > 0 ? options_.threads
                                                              : int(tbb::info::default_concurrency())};
    dev_t rootDev_ = 0;
    int readers_ = 1;
    int fdBudget_ = 0;
    std::atomic<int> heldFds_{0};
    std::atomic<uint64_t> directories_{0};
    std::atomic<uint64_t> entries_{0};
    std::atomic<uint64_t> skipped_{0};
    std::mutex skipMutex_;
    std::vector<SkippedDirectory> skips_;
    const uint64_t serial_ = ++walkSerial;
    std::mutex scratchMutex_;
    std::vector<std::unique_ptr<Scratch>> scratches_;
};

} // namespace

namespace detail {

WalkStats walkErased(const std::string& root, ErasedFold& fold, const WalkOptions& options, FoldValue* out)
{
    Walk walk(fold, options, out);
    return walk.run(withoutTrailingSlashes(root));
}

} // namespace detail

} // namespace kelvane
