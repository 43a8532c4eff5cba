// kelvane-floorwalk: the least a tree walk can do, as the floor the walk
// engine is measured against. N threads share one stack of directories to
// read; each directory is opened relative to its parent's descriptor
// (openat), read with getdents64, and each entry is stat'ed with fstatat. It
// keeps nothing but counters and does not leave the root's file system.
//
//   kelvane-floorwalk [--threads N] ROOT
//
// Prints directories, entries and the total apparent size of the files.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kOpenFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// A parent's descriptor, closed by the last of its subdirectories to open.
struct Parent {
    int fd;
    std::atomic<int> refs;
};

struct Item {
    Parent* parent; // null for the root
    std::string name;
};

class Walk {
public:
    Walk(int threads, dev_t dev) : threads_(threads), dev_(dev) {}

    void run(int rootFd)
    {
        auto* root = new Parent{rootFd, {1}};
        pending_.push_back({nullptr, {}});
        rootParent_ = root;
        std::vector<std::thread> pool;
        for (int i = 0; i < threads_; ++i)
            pool.emplace_back([this] { work(); });
        for (std::thread& t : pool)
            t.join();
    }

    std::atomic<uint64_t> directories{0}, entries{0}, bytes{0}, errors{0};

private:
    void release(Parent* p)
    {
        if (p->refs.fetch_sub(1) == 1) {
            ::close(p->fd);
            delete p;
        }
    }

    void work()
    {
        std::vector<char> buffer(64 * 1024);
        std::vector<Item> found;
        for (;;) {
            Item item;
            {
                std::unique_lock lock(mutex_);
                ++idle_;
                if (pending_.empty() && idle_ == threads_) {
                    wake_.notify_all();
                    return;
                }
                wake_.wait(lock, [&] { return !pending_.empty() || idle_ == threads_; });
                if (pending_.empty())
                    return;
                --idle_;
                item = std::move(pending_.back());
                pending_.pop_back();
            }
            int fd;
            if (item.parent) {
                fd = ::openat(item.parent->fd, item.name.c_str(), kOpenFlags);
                release(item.parent);
            } else {
                fd = rootParent_->fd;
            }
            if (fd < 0) {
                errors.fetch_add(1);
                continue;
            }
            found.clear();
            uint64_t n = 0, size = 0;
            for (;;) {
                const long got = ::getdents64(fd, buffer.data(), buffer.size());
                if (got <= 0) {
                    if (got < 0)
                        errors.fetch_add(1);
                    break;
                }
                for (long pos = 0; pos < got;) {
                    const auto* de = reinterpret_cast<const dirent64*>(buffer.data() + pos);
                    pos += de->d_reclen;
                    const char* name = de->d_name;
                    if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                        continue;
                    struct stat st;
                    if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0)
                        continue;
                    ++n;
                    if (S_ISDIR(st.st_mode) && st.st_dev == dev_)
                        found.push_back({nullptr, name});
                    else if (S_ISREG(st.st_mode))
                        size += uint64_t(st.st_size);
                }
            }
            directories.fetch_add(1);
            entries.fetch_add(n);
            bytes.fetch_add(size);
            if (found.empty()) {
                if (item.parent)
                    ::close(fd);
                continue;
            }
            Parent* self = item.parent ? new Parent{fd, {int(found.size())}} : rootParent_;
            if (!item.parent)
                self->refs.fetch_add(int(found.size()) - 1); // the root keeps its own count
            for (Item& f : found)
                f.parent = self;
            {
                std::lock_guard lock(mutex_);
                for (Item& f : found)
                    pending_.push_back(std::move(f));
            }
            if (found.size() == 1)
                wake_.notify_one();
            else
                wake_.notify_all();
        }
    }

    const int threads_;
    const dev_t dev_;
    Parent* rootParent_ = nullptr;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Item> pending_;
    int idle_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    int threads = 2;
    const char* root = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc) {
            threads = std::atoi(argv[++i]);
        } else if (argv[i][0] == '-' || root) {
            std::fprintf(stderr, "usage: kelvane-floorwalk [--threads N] ROOT\n");
            return 2;
        } else {
            root = argv[i];
        }
    }
    if (!root || threads < 1 || threads > 1024) {
        std::fprintf(stderr, "usage: kelvane-floorwalk [--threads N] ROOT\n");
        return 2;
    }
    const int fd = ::openat(AT_FDCWD, root, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || ::fstatat(fd, "", &st, AT_EMPTY_PATH) != 0) {
        std::fprintf(stderr, "kelvane-floorwalk: cannot open %s: %s\n", root, std::strerror(errno));
        return 1;
    }
    Walk walk(threads, st.st_dev);
    walk.run(fd);
    std::printf("%llu directories, %llu entries, %llu bytes, %llu errors\n",
                static_cast<unsigned long long>(walk.directories.load()),
                static_cast<unsigned long long>(walk.entries.load()),
                static_cast<unsigned long long>(walk.bytes.load()),
                static_cast<unsigned long long>(walk.errors.load()));
    return walk.errors.load() ? 1 : 0;
}
