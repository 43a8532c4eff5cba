#include "dirhog/treedeletion.h"

#include "common/displayname.h"
#include "common/entry.h"
#include "dirhog/directorypath.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace kelvane {

namespace {

constexpr int kOpenFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY;

// lstat data of a name in a directory, with whether it is the root of a mount.
struct Node {
    mode_t mode = 0;
    int64_t size = 0;
    dev_t dev = 0;
    ino_t ino = 0;
    bool mountRoot = false;
};

std::optional<Node> statAt(int dirFd, const char* name)
{
    struct statx sx;
    if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE, &sx) != 0)
        return std::nullopt;
    Node n;
    n.mode = sx.stx_mode;
    n.size = int64_t(sx.stx_size);
    n.dev = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    n.ino = sx.stx_ino;
    n.mountRoot =
        (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
    return n;
}

bool sameDirectory(int fd, dev_t dev, ino_t ino)
{
    struct stat st;
    return ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_dev == dev && st.st_ino == ino;
}

// Opens the directory name of dirFd, checked to be the one that was looked at.
int openChecked(int dirFd, const std::string& name, const Node& node)
{
    const int fd = ::openat(dirFd, name.c_str(), kOpenFlags);
    if (fd >= 0 && !sameDirectory(fd, node.dev, node.ino)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Names of a directory but "." and "..", in ascending byte order; empty when
// it cannot be read.
std::vector<std::string> listNames(int fd)
{
    std::vector<std::string> names;
    const int own = ::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (own < 0)
        return names;
    DIR* dir = ::fdopendir(own);
    if (!dir) {
        ::close(own);
        return names;
    }
    while (const dirent* de = ::readdir(dir)) {
        const char* n = de->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        names.emplace_back(n);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string childPath(const std::string& parent, const std::string& name)
{
    return parent.empty() || parent.back() == '/' ? parent + name : parent + '/' + name;
}

bool badName(const std::string& name)
{
    return name.empty() || name == "." || name == "..";
}

// One directory on the way down.
struct Frame {
    std::string name; // in its parent
    dev_t dev;
    ino_t ino;
    int fd; // -1 while given up to stay within the budget
    std::vector<std::string> names;
    size_t next = 0;
    size_t pathLength; // of the path of this directory
};

class Deletion {
public:
    Deletion(const TreeDeletion::Ask& ask, WalkProgress* progress, int budget)
        : ask_(ask), progress_(progress), budget_(budget)
    {
    }

    ~Deletion()
    {
        for (Frame& f : frames_) {
            if (f.fd >= 0)
                ::close(f.fd);
        }
    }

    TreeDeletionResult run(const std::string& path);

private:
    void push(int fd, const std::string& name, const Node& node);
    // Leaves the top directory and removes it; false when its parent could
    // not be found again.
    bool pop();
    void visit(const std::string& name);
    void deleteFile(int dirFd, const std::string& name, const Node& node);
    void showProgress();

    const TreeDeletion::Ask& ask_;
    WalkProgress* progress_;
    int budget_;
    FileDescriptor parentFd_;
    dev_t rootDev_ = 0;
    std::vector<Frame> frames_;
    size_t firstOpen_ = 0; // frames from here up hold their descriptors
    int openFds_ = 0;
    std::string path_;
    TreeDeletionResult result_;
};

TreeDeletionResult Deletion::run(const std::string& path)
{
    result_.refusal = deletionRefusal(path);
    if (result_.refusal != DeletionRefusal::None)
        return result_;
    const auto [parent, name] = parentAndName(path);
    parentFd_ = openDirectoryPath(parent);
    if (!parentFd_.valid())
        return result_;
    const auto node = statAt(parentFd_.get(), name.c_str());
    if (!node) {
        result_.gone = errno == ENOENT;
        return result_;
    }
    if (!S_ISDIR(node->mode))
        return result_; // a link or a file in its place: nothing to enter
    const int fd = openChecked(parentFd_.get(), name, *node);
    if (fd < 0)
        return result_;
    rootDev_ = node->dev;
    path_ = path;
    while (path_.size() > 1 && path_.back() == '/')
        path_.pop_back();
    push(fd, name, *node);
    while (!frames_.empty()) {
        Frame& top = frames_.back();
        if (result_.cancelled || top.next == top.names.size()) {
            if (!pop()) {
                result_.interrupted = true;
                break;
            }
            continue;
        }
        const std::string entry = top.names[top.next++]; // visit may move the frames
        visit(entry);
    }
    const auto after = statAt(parentFd_.get(), name.c_str());
    result_.gone = !after && errno == ENOENT;
    return result_;
}

void Deletion::push(int fd, const std::string& name, const Node& node)
{
    if (openFds_ >= budget_) {
        // Give up the descriptor nearest the top of the tree; it is opened
        // again through ".." on the way back up.
        ::close(frames_[firstOpen_].fd);
        frames_[firstOpen_].fd = -1;
        ++firstOpen_;
        --openFds_;
    }
    if (!frames_.empty()) {
        if (path_.back() != '/')
            path_ += '/';
        path_ += name;
    }
    frames_.push_back(Frame{name, node.dev, node.ino, fd, listNames(fd), 0, path_.size()});
    ++openFds_;
    showProgress();
}

bool Deletion::pop()
{
    Frame top = std::move(frames_.back());
    frames_.pop_back();
    int parentFd = parentFd_.get();
    if (!frames_.empty()) {
        Frame& parent = frames_.back();
        if (parent.fd < 0) {
            const int fd = ::openat(top.fd, "..", kOpenFlags);
            if (fd < 0 || !sameDirectory(fd, parent.dev, parent.ino)) {
                if (fd >= 0)
                    ::close(fd);
                ::close(top.fd);
                return false;
            }
            parent.fd = fd;
            firstOpen_ = frames_.size() - 1;
            ++openFds_;
        }
        parentFd = parent.fd;
        path_.resize(parent.pathLength);
    }
    ::close(top.fd);
    --openFds_;
    ::unlinkat(parentFd, top.name.c_str(), AT_REMOVEDIR); // a directory that is not empty stays
    return true;
}

void Deletion::visit(const std::string& name)
{
    const int dirFd = frames_.back().fd;
    const auto node = statAt(dirFd, name.c_str());
    if (!node)
        return; // vanished meanwhile
    if (!S_ISDIR(node->mode)) {
        deleteFile(dirFd, name, *node);
        return;
    }
    if (node->dev != rootDev_ || node->mountRoot)
        return; // another file system: never entered
    const int fd = openChecked(dirFd, name, *node);
    if (fd >= 0)
        push(fd, name, *node);
}

void Deletion::deleteFile(int dirFd, const std::string& name, const Node& node)
{
    const uint32_t attr = attributesOf(name.c_str(), node.mode);
    bool goAhead = true;
    bool writable = (attr & kAttrReadOnly) == 0;
    for (const uint32_t bit : {kAttrReadOnly, kAttrHidden, kAttrSystem}) {
        if ((attr & bit) == 0)
            continue;
        goAhead = ask_ && ask_(fileQuestion(childPath(path_, name), bit));
        if (goAhead && bit == kAttrReadOnly && !writable) {
            writable =
                ::fchmodat(dirFd, name.c_str(), (node.mode & 07777) | S_IWUSR, AT_SYMLINK_NOFOLLOW) == 0;
        }
    }
    if (!goAhead) {
        result_.cancelled = true;
        return;
    }
    if (!writable)
        return; // still read-only: such a file is never deleted
    if (::unlinkat(dirFd, name.c_str(), 0) == 0) {
        ++result_.files;
        result_.bytes += node.size;
    }
}

void Deletion::showProgress()
{
    if (progress_) {
        progress_->addDirectory();
        if (progress_->directoryDue())
            progress_->setDirectory(path_);
    }
}

} // namespace

DeletionRefusal deletionRefusal(const std::string& path)
{
    const auto [parent, name] = parentAndName(path);
    if (path.empty())
        return DeletionRefusal::NoName;
    if (parent == "/" && name.empty())
        return DeletionRefusal::DriveRoot;
    if (badName(name))
        return DeletionRefusal::NoName;
    const FileDescriptor parentFd = openDirectoryPath(parent);
    if (!parentFd.valid())
        return DeletionRefusal::None;
    const auto node = statAt(parentFd.get(), name.c_str());
    struct stat parentStat;
    if (node && S_ISDIR(node->mode) && ::fstat(parentFd.get(), &parentStat) == 0 &&
        (node->mountRoot || node->dev != parentStat.st_dev || node->ino == parentStat.st_ino))
        return DeletionRefusal::DriveRoot;
    return DeletionRefusal::None;
}

bool removeEmptyDirectory(const std::string& path)
{
    if (deletionRefusal(path) != DeletionRefusal::None)
        return false;
    const auto [parent, name] = parentAndName(path);
    const FileDescriptor parentFd = openDirectoryPath(parent);
    return parentFd.valid() && ::unlinkat(parentFd.get(), name.c_str(), AT_REMOVEDIR) == 0;
}

QString fileQuestion(const std::string& path, uint32_t attributeBit)
{
    QString phrase;
    switch (attributeBit) {
    case kAttrReadOnly:
        phrase = QStringLiteral(" is read-only, ");
        break;
    case kAttrHidden:
        phrase = QStringLiteral(" is hidden, ");
        break;
    default:
        phrase = QStringLiteral(" is a system file, ");
        break;
    }
    return displayName(path) + phrase +
           QStringLiteral("delete this file and continue deleting other files? ");
}

TreeDeletionResult TreeDeletion::run(const std::string& path)
{
    Deletion deletion(ask_, progress_, budget_);
    return deletion.run(path);
}

} // namespace kelvane
