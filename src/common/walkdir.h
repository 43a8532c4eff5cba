#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace kelvane {

// A directory met by a walk. Valid only during the fold call that receives it.
class WalkDir {
public:
    // The full path (built on demand from the parent chain; may exceed PATH_MAX).
    std::string path() const;
    // The name in its parent's listing; the root's path for the root.
    const std::string& name() const { return name_; }
    const WalkDir* parent() const { return parent_; }
    bool isRoot() const { return parent_ == nullptr; }
    // 0 for the root.
    int depth() const { return depth_; }
    dev_t device() const { return dev_; }
    ino_t inode() const { return ino_; }
    int64_t mtime() const { return mtime_; }

protected:
    WalkDir(const WalkDir* parent, std::string name, int depth)
        : parent_(parent), name_(std::move(name)), depth_(depth)
    {
    }

    const WalkDir* parent_;
    std::string name_;
    int depth_;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
    int64_t mtime_ = 0;
};

} // namespace kelvane
