#pragma once

#include "common/drive.h"

#include <string>
#include <vector>

namespace kelvane {

// Where the windows get their drives from. The real list reads the mount table;
// tests put temporary directories in its place.
class DriveList {
public:
    virtual ~DriveList() = default;
    // Drives in ascending byte order of their roots.
    virtual std::vector<Drive> drives() const = 0;
    // Index into drives() of the drive holding the current directory, or -1.
    virtual int currentDriveIndex(const std::vector<Drive>& drives) const;
    // The process's current directory.
    virtual std::string currentDirectory() const;

    // Folders chosen as roots in this run, in the order they were added; every
    // window's panel shows them after the drives. A root already added is
    // kept once.
    void addFolder(const Drive& folder);
    const std::vector<Drive>& folders() const { return folders_; }
    // Folders named when the program started: ticked, and only they, in each
    // window that opens for the first time.
    void setStartFolders(const std::vector<Drive>& folders);
    const std::vector<std::string>& startRoots() const { return startRoots_; }

private:
    std::vector<Drive> folders_;
    std::vector<std::string> startRoots_;
};

class SystemDriveList : public DriveList {
public:
    std::vector<Drive> drives() const override;
};

// A fixed list of directories standing in for drives.
class FixedDriveList : public DriveList {
public:
    explicit FixedDriveList(std::vector<Drive> drives, int current = 0);
    // Drives named after their directories, as a test would make them.
    static FixedDriveList fromDirectories(const std::vector<std::string>& roots, int current = 0);

    std::vector<Drive> drives() const override { return drives_; }
    int currentDriveIndex(const std::vector<Drive>&) const override { return current_; }

private:
    std::vector<Drive> drives_;
    int current_;
};

} // namespace kelvane
