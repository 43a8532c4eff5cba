#include "common/walker.h"

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
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (path.empty() || path.back() != '/')
            path.push_back('/');
        path.append(**it);
    }
    return path;
}

std::string normalizeRoot(std::string root)
{
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return root;
}

namespace {

constexpr int kOpenFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY;
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

    Node* parentNode;
    size_t slot; // index among the parent's entered subdirectories
    bool holdsParentRef = false;
    int fd = -1; // valid while fdRefs > 0
    std::atomic<int> fdRefs{0};
    void* own = nullptr;
    std::vector<void*> children;
    std::atomic<size_t> pending{0};
};

// Per-thread buffers, reused from one directory to the next.
struct Scratch {
    std::vector<char> buffer = std::vector<char>(64 * 1024);
    std::vector<Entry> entries;
};

thread_local Scratch scratch;

// True while this thread holds one of the walk's fold slots.
thread_local bool holdingFoldSlot = false;

class Walk {
public:
    Walk(detail::ErasedFold& fold, const WalkOptions& options, void** out)
        : fold_(fold), options_(options), out_(out)
    {
        struct rlimit limit;
        rlim_t soft = 1024;
        if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
            soft = limit.rlim_cur;
        // Leave most descriptors to the rest of the program.
        fdBudget_ = int(std::clamp<rlim_t>(soft / 4, 16, 1024));
    }

    WalkStats run(const std::string& rootPath)
    {
        WalkStats stats;
        const int rootFd = ::open(rootPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
        struct stat st;
        if (rootFd < 0 || ::fstat(rootFd, &st) != 0) {
            stats.rootError = errno;
            if (rootFd >= 0)
                ::close(rootFd);
            return stats;
        }
        rootDev_ = st.st_dev;
        Node* root = new Node(nullptr, rootPath, 0, 0);
        root->setIdentity(st.st_dev, st.st_ino, int64_t(st.st_mtime));
        root->fd = rootFd;
        root->fdRefs = 1; // held for the whole walk: the fallback path starts here
        openFds_ = 1;

        WorkStack<Node*> reads(options_.io > 0 ? options_.io : kDefaultIo);
        stack_ = &reads;
        reads.run(root, [this](Node* n) { process(n); });
        stack_ = nullptr;
        releaseFd(root);
        delete root;

        stats.aborted = aborted();
        stats.directories = directories_;
        stats.entries = entries_;
        stats.skipped = skipped_;
        stats.skippedDirectories = std::move(skips_);
        return stats;
    }

private:
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

    bool aborted() const { return options_.abort && options_.abort->load(std::memory_order_relaxed); }

    void releaseFd(Node* n)
    {
        if (n->fdRefs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            ::close(n->fd);
            openFds_.fetch_sub(1, std::memory_order_relaxed);
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

    void releaseParent(Node* n)
    {
        if (n->holdsParentRef) {
            n->holdsParentRef = false;
            releaseFd(n->parentNode);
        }
    }

    // Opens a directory checked to be the one the listing showed, on the
    // drive's file system. Returns -1 with *error set on failure.
    int openChecked(int parentFd, const Node* n, int* error)
    {
        const int fd = ::openat(parentFd, n->name().c_str(), kOpenFlags);
        if (fd < 0) {
            *error = errno;
            return -1;
        }
        struct stat st;
        *error = ::fstat(fd, &st) != 0 ? errno : 0;
        if (*error == 0 && (st.st_dev != rootDev_ || st.st_ino != n->inode()))
            *error = ESTALE; // replaced since it was listed
        if (*error != 0) {
            ::close(fd);
            return -1;
        }
        return fd;
    }

    // Opens n relative to its parent's descriptor, or, when the parent gave
    // its descriptor up, step by step from the nearest ancestor that holds one
    // (a deep tree never holds more than the budget of descriptors).
    int openNode(Node* n, int* error)
    {
        if (n->holdsParentRef) {
            const int fd = openChecked(n->parentNode->fd, n, error);
            releaseParent(n);
            return fd;
        }
        std::vector<Node*> chain{n};
        Node* anchor = n->parentNode;
        while (!tryAcquireFd(anchor)) {
            chain.push_back(anchor);
            anchor = anchor->parentNode;
        }
        int fd = anchor->fd;
        for (auto it = chain.rbegin(); it != chain.rend() && fd >= 0; ++it) {
            const int next = openChecked(fd, *it, error);
            if (fd != anchor->fd)
                ::close(fd);
            fd = next;
        }
        releaseFd(anchor);
        return fd;
    }

    void recordSkip(const Node* n, int error)
    {
        skipped_.fetch_add(1, std::memory_order_relaxed);
        std::lock_guard lock(skipMutex_);
        if (skips_.size() < WalkStats::kMaxRecordedSkips)
            skips_.push_back({n->path(), error});
    }

    // Reads the whole listing of fd into scratch.entries, sorted by name.
    // Returns false (with *error) when the directory cannot be read, or when
    // the walk was aborted meanwhile (*error 0).
    bool list(int fd, int* error)
    {
        std::vector<Entry>& entries = scratch.entries;
        entries.clear();
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
                if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                    continue;
                if (aborted()) {
                    *error = 0;
                    return false;
                }
                struct stat st;
                if (::fstatat(fd, name, &st, kStatFlags) != 0)
                    continue; // vanished since it was listed
                Entry& e = entries.emplace_back();
                e.name.assign(name);
                e.attr = attributesOf(name, st.st_mode);
                e.mode = st.st_mode;
                e.size = int64_t(st.st_size);
                e.mtime = int64_t(st.st_mtime);
                e.mtimeNsec = uint32_t(st.st_mtim.tv_nsec);
                e.dev = st.st_dev;
                e.ino = st.st_ino;
                if (++unreported == kProgressBatch && options_.progress) {
                    options_.progress->addEntries(unreported);
                    unreported = 0;
                }
            }
        }
        if (options_.progress)
            options_.progress->addEntries(unreported);
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return a.name < b.name; });
        return true;
    }

    void process(Node* n)
    {
        const bool isRoot = n->parentNode == nullptr;
        if (!aborted() && options_.beforeDirectory)
            options_.beforeDirectory(*n);
        if (aborted()) {
            releaseParent(n);
            finish(n, fold_.empty());
            return;
        }
        int error = 0;
        const int fd = isRoot ? n->fd : openNode(n, &error);
        if (fd < 0) {
            recordSkip(n, error);
            finish(n, fold_.empty());
            return;
        }
        if (!isRoot)
            openFds_.fetch_add(1, std::memory_order_relaxed);
        auto closeOwn = [&] {
            if (!isRoot) {
                ::close(fd);
                openFds_.fetch_sub(1, std::memory_order_relaxed);
            }
        };
        if (!list(fd, &error)) {
            if (error != 0)
                recordSkip(n, error);
            closeOwn();
            finish(n, fold_.empty());
            return;
        }
        std::vector<Entry>& entries = scratch.entries;
        directories_.fetch_add(1, std::memory_order_relaxed);
        entries_.fetch_add(entries.size(), std::memory_order_relaxed);
        if (options_.progress) {
            options_.progress->addDirectory();
            if (options_.progress->directoryDue())
                options_.progress->setDirectory(n->path());
        }

        FoldSlot slot(foldSlots_);
        void* own = fold_.visit(*n, std::span<const Entry>(entries));
        std::vector<Node*> children;
        for (const Entry& e : entries) {
            if (!walkEnters(e, rootDev_))
                continue;
            Node* child = new Node(n, e.name, n->depth() + 1, children.size());
            child->setIdentity(e.dev, e.ino, e.mtime);
            children.push_back(child);
        }
        if (children.empty()) {
            closeOwn();
            std::vector<void*> none;
            finish(n, fold_.combine(*n, own, none));
            return;
        }
        n->own = own;
        n->children.assign(children.size(), nullptr);
        n->pending.store(children.size(), std::memory_order_relaxed);
        const bool share = isRoot || openFds_.load(std::memory_order_relaxed) < fdBudget_;
        if (share) {
            if (!isRoot)
                n->fd = fd;
            n->fdRefs.fetch_add(int(children.size()), std::memory_order_release);
        } else {
            closeOwn();
        }
        for (Node* child : children)
            child->holdsParentRef = share;
        // n may be gone once its children are on the stack.
        stack_->push(children);
    }

    // Hands a directory's value to its parent; the last child to finish
    // combines the parent, and so on upwards, without recursion.
    void finish(Node* n, void* value)
    {
        FoldSlot slot(foldSlots_);
        for (;;) {
            Node* parent = n->parentNode;
            if (!parent) {
                *out_ = value;
                return; // the root is freed by run()
            }
            parent->children[n->slot] = value;
            delete n;
            if (parent->pending.fetch_sub(1, std::memory_order_acq_rel) != 1)
                return;
            value = fold_.combine(*parent, parent->own, parent->children);
            parent->own = nullptr;
            n = parent;
        }
    }

    detail::ErasedFold& fold_;
    const WalkOptions& options_;
    void** out_;
    WorkStack<Node*>* stack_ = nullptr;
    std::counting_semaphore<> foldSlots_{options_.threads > 0 ? options_.threads
                                                              : int(tbb::info::default_concurrency())};
    dev_t rootDev_ = 0;
    int fdBudget_ = 256;
    std::atomic<int> openFds_{0};
    std::atomic<uint64_t> directories_{0};
    std::atomic<uint64_t> entries_{0};
    std::atomic<uint64_t> skipped_{0};
    std::mutex skipMutex_;
    std::vector<SkippedDirectory> skips_;
};

} // namespace

namespace detail {

WalkStats walkErased(const std::string& root, ErasedFold& fold, const WalkOptions& options, void** out)
{
    Walk walk(fold, options, out);
    return walk.run(normalizeRoot(root));
}

} // namespace detail

} // namespace kelvane
