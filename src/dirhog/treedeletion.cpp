#include "dirhog/treedeletion.h"

#include "common/boundpath.h"
#include "common/displayname.h"
#include "common/entry.h"
#include "common/filedescriptor.h"
#include "common/pathnames.h"

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

// lstat data of a name in a directory, with whether it is the root of a mount.
struct Node {
    mode_t mode = 0;
    int64_t size = 0;
    int64_t blocks = 0; // of 512 bytes
    uint32_t links = 1;
    dev_t dev = 0;
    ino_t ino = 0;
    bool mountRoot = false;
};

std::optional<Node> statAt(int dirFd, const char* name)
{
    struct statx sx;
    if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_BLOCKS | STATX_NLINK, &sx) != 0)
        return std::nullopt;
    Node n;
    n.mode = sx.stx_mode;
    n.size = int64_t(sx.stx_size);
    n.blocks = int64_t(sx.stx_blocks);
    n.links = sx.stx_nlink;
    n.dev = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    n.ino = sx.stx_ino;
    n.mountRoot =
        (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
    return n;
}

// Names of a directory but "." and "..", in ascending byte order; empty when
// it cannot be read.
std::vector<std::string> listNames(int fd)
{
    std::vector<std::string> names;
    FileDescriptor own(::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* dir = own.valid() ? ::fdopendir(own.get()) : nullptr;
    if (!dir)
        return names;
    own.release(); // closedir owns it now
    while (const dirent* de = ::readdir(dir)) {
        if (!isDotEntry(de->d_name))
            names.emplace_back(de->d_name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// One directory on the way down.
struct Frame {
    std::string name; // in its parent
    dev_t dev;
    ino_t ino;
    FileDescriptor fd; // invalid while given up to stay within the budget
    std::vector<std::string> names;
    size_t next = 0;
    size_t pathLength; // of the path of this directory
};

class Deletion {
public:
    Deletion(const TreeDeletion::Ask& ask, WalkProgress* progress, int budget, SizeMeasure measure)
        : ask_(ask), progress_(progress), budget_(budget), measure_(measure)
    {
    }

    TreeDeletionResult run(const std::string& path, const FileIdentity& scanned);

private:
    // The answer to one question, with Yes to All and No to All remembered.
    TreeAnswer answer(const QString& question);
    void stayed(const std::string& name, StayReason reason, int error = 0)
    {
        result_.report.stayed(joinPath(path_, name), reason, error);
    }
    void push(FileDescriptor fd, const std::string& name, const Node& node);
    // Leaves the top directory and removes it; false when its parent could
    // not be found again.
    bool pop();
    void visit(const std::string& name);
    void deleteFile(int dirFd, const std::string& name, const Node& node);
    void showProgress();

    const TreeDeletion::Ask& ask_;
    WalkProgress* progress_;
    int budget_;
    SizeMeasure measure_;
    FileDescriptor parentFd_;
    dev_t rootDev_ = 0;
    std::vector<Frame> frames_;
    size_t firstOpen_ = 0; // frames from here up hold their descriptors
    int openFds_ = 0;
    std::string path_;
    TreeDeletionResult result_;
    bool yesToAll_ = false;
    bool noToAll_ = false;
};

TreeDeletionResult Deletion::run(const std::string& path, const FileIdentity& scanned)
{
    result_.refusal = deletionRefusal(path);
    if (result_.refusal != DeletionRefusal::None)
        return result_;
    BoundPath bound = bindPath(path, scanned);
    switch (bound.binding) {
    case Binding::Same:
        break;
    case Binding::Gone:
        result_.gone = true;
        return result_;
    case Binding::Changed:
        result_.refusal = DeletionRefusal::Changed;
        return result_;
    case Binding::Failed:
        result_.report.stayed(
            path, bound.error == EACCES || bound.error == EPERM ? StayReason::Permission : StayReason::Other,
            bound.error);
        return result_;
    }
    if (!S_ISDIR(bound.st.st_mode)) {
        if (scanned.known())
            result_.refusal = DeletionRefusal::Changed;
        return result_; // a link or a file in its place: nothing to enter
    }
    parentFd_ = std::move(bound.parent);
    const std::string name = bound.name;
    const auto node = statAt(parentFd_.get(), name.c_str());
    if (!node || node->dev != bound.st.st_dev || node->ino != bound.st.st_ino) {
        result_.refusal = DeletionRefusal::Changed;
        return result_;
    }
    path_ = withoutTrailingSlashes(path);
    FileDescriptor fd = openCheckedDirectory(parentFd_.get(), name.c_str(), node->dev, node->ino);
    if (!fd.valid()) {
        const int error = errno;
        result_.report.stayed(path_,
                              error == ESTALE ? StayReason::ChangedSinceScan
                                              : failureReason(error, parentFd_.get(), name.c_str()),
                              error);
        return result_;
    }
    rootDev_ = node->dev;
    push(std::move(fd), name, *node);
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
    result_.gone = after ? (after->dev != node->dev || after->ino != node->ino) : errno == ENOENT;
    return result_;
}

TreeAnswer Deletion::answer(const QString& question)
{
    if (yesToAll_)
        return TreeAnswer::Yes;
    if (noToAll_)
        return TreeAnswer::NoToAll;
    const TreeAnswer a = ask_ ? ask_(question) : TreeAnswer::Cancel;
    yesToAll_ = a == TreeAnswer::YesToAll;
    noToAll_ = a == TreeAnswer::NoToAll;
    return a;
}

void Deletion::push(FileDescriptor fd, const std::string& name, const Node& node)
{
    if (openFds_ >= budget_) {
        // Give up the descriptor nearest the top of the tree; it is opened
        // again through ".." on the way back up.
        frames_[firstOpen_].fd.reset();
        ++firstOpen_;
        --openFds_;
    }
    if (!frames_.empty())
        appendPathName(path_, name);
    std::vector<std::string> names = listNames(fd.get());
    frames_.push_back(Frame{name, node.dev, node.ino, std::move(fd), std::move(names), 0, path_.size()});
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
        if (!parent.fd.valid()) {
            parent.fd = openCheckedDirectory(top.fd.get(), "..", parent.dev, parent.ino);
            if (!parent.fd.valid())
                return false;
            firstOpen_ = frames_.size() - 1;
            ++openFds_;
        }
        parentFd = parent.fd.get();
        path_.resize(parent.pathLength);
    }
    top.fd.reset();
    --openFds_;
    if (::unlinkat(parentFd, top.name.c_str(), AT_REMOVEDIR) != 0) {
        // Not empty: what kept it is recorded already (or came meanwhile).
        const int error = errno;
        if (error != ENOTEMPTY && error != EEXIST && !frames_.empty())
            stayed(top.name, failureReason(error, parentFd, top.name.c_str()), error);
        else if (error != ENOTEMPTY && error != EEXIST)
            result_.report.stayed(path_, failureReason(error, parentFd, top.name.c_str()), error);
    }
    return true;
}

void Deletion::visit(const std::string& name)
{
    const int dirFd = frames_.back().fd.get();
    const auto node = statAt(dirFd, name.c_str());
    if (!node)
        return; // vanished meanwhile
    if (!S_ISDIR(node->mode)) {
        deleteFile(dirFd, name, *node);
        return;
    }
    if (node->dev != rootDev_ || node->mountRoot) {
        stayed(name, StayReason::MountPoint); // another file system: never entered
        return;
    }
    FileDescriptor fd = openCheckedDirectory(dirFd, name.c_str(), node->dev, node->ino);
    if (fd.valid()) {
        push(std::move(fd), name, *node);
        return;
    }
    const int error = errno;
    if (error == ENOENT)
        return;
    stayed(name, error == ESTALE ? StayReason::ChangedSinceScan : failureReason(error, dirFd, name.c_str()),
           error);
}

void Deletion::deleteFile(int dirFd, const std::string& name, const Node& node)
{
    const uint32_t attr = attributesOf(name.c_str(), node.mode);
    bool goAhead = true;
    bool kept = false;
    bool changed = false;
    bool writable = (attr & kAttrReadOnly) == 0;
    int modeError = 0;
    for (const uint32_t bit : {kAttrReadOnly, kAttrHidden, kAttrSystem}) {
        if ((attr & bit) == 0)
            continue;
        const TreeAnswer a = answer(fileQuestion(joinPath(path_, name), bit));
        kept = a == TreeAnswer::NoToAll;
        goAhead = a == TreeAnswer::Yes || a == TreeAnswer::YesToAll;
        if (goAhead && bit == kAttrReadOnly && !writable && !changed) {
            // The very file listed before the question, never a name that
            // may lead elsewhere by now.
            const FileDescriptor fd = openBoundObject(dirFd, name, node.dev, node.ino);
            struct stat st;
            if (!fd.valid()) {
                changed = errno == ESTALE || errno == ELOOP;
                modeError = errno;
            } else if (::fstat(fd.get(), &st) == 0) {
                modeError = changeModeOf(fd.get(), (st.st_mode & 07777) | S_IWUSR);
                writable = modeError == 0;
            }
        }
    }
    if (kept) {
        stayed(name, StayReason::KeptAtAnswer);
        return;
    }
    if (!goAhead) {
        result_.cancelled = true;
        return;
    }
    if (changed) {
        stayed(name, StayReason::ChangedSinceScan);
        return;
    }
    if (!writable) {
        // Still read-only: such a file is never deleted.
        stayed(name, modeError == EPERM ? StayReason::Permission : StayReason::ReadOnly, modeError);
        return;
    }
    const auto now = statAt(dirFd, name.c_str());
    if (!now)
        return; // gone meanwhile
    if (now->dev != node.dev || now->ino != node.ino) {
        stayed(name, StayReason::ChangedSinceScan);
        return;
    }
    if (::unlinkat(dirFd, name.c_str(), 0) == 0) {
        ++result_.files;
        result_.report.deleted(now->links > 1                      ? 0
                               : measure_ == SizeMeasure::Apparent ? now->size
                                                                   : now->blocks * 512);
        result_.bytes = result_.report.bytesFreed();
    } else {
        const int error = errno;
        if (error != ENOENT)
            stayed(name, failureReason(error, dirFd, name.c_str()), error);
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
    const auto [parent, name] = splitPath(path);
    if (path.empty())
        return DeletionRefusal::NoName;
    if (parent == "/" && name.empty())
        return DeletionRefusal::DriveRoot;
    if (name.empty() || isDotEntry(name))
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

EmptyRemoval removeEmptyDirectory(const std::string& path, const FileIdentity& scanned)
{
    if (deletionRefusal(path) != DeletionRefusal::None)
        return EmptyRemoval::NotRemoved;
    const BoundPath bound = bindPath(path, scanned);
    switch (bound.binding) {
    case Binding::Same:
        break;
    case Binding::Gone:
        return EmptyRemoval::Gone;
    case Binding::Changed:
        return EmptyRemoval::Changed;
    case Binding::Failed:
        return EmptyRemoval::NotRemoved;
    }
    if (!S_ISDIR(bound.st.st_mode))
        return scanned.known() ? EmptyRemoval::Changed : EmptyRemoval::NotRemoved;
    if (!stillBound(bound))
        return EmptyRemoval::Changed;
    return ::unlinkat(bound.parent.get(), bound.name.c_str(), AT_REMOVEDIR) == 0 ? EmptyRemoval::Removed
                                                                                 : EmptyRemoval::NotRemoved;
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

TreeDeletionResult TreeDeletion::run(const std::string& path, const FileIdentity& scanned)
{
    Deletion deletion(ask_, progress_, budget_, measure_);
    return deletion.run(path, scanned);
}

} // namespace kelvane
