#pragma once

#include <functional>
#include <string>

namespace kelvane::test {

// Exit status of a child that could not set itself up (no privileges, no
// namespaces, no loop devices): the test is skipped with the child's note.
inline constexpr int kChildSkipped = 77;

struct ChildOutcome {
    int status = -1;    // the child's exit status; -1 when it did not exit normally
    std::string output; // what it wrote to its standard output (notes, failures)
};

// Runs body in a forked child process and waits for it. The body returns the
// exit status (0 for success) and writes what went wrong to standard output.
ChildOutcome runInChild(const std::function<int()>& body);

// In a child: a mount namespace of its own, with every mount private, so
// that what it mounts is seen by nobody else and goes when it ends.
bool enterPrivateMounts();

// In a child running as root: becomes the user nobody (65534).
bool becomeNobody();

// In a child with private mounts: a loop-mounted ext4 image (size MB) at dir;
// a tmpfs when there is no mkfs.ext4 or loop device. Returns the type mounted
// ("ext4", "tmpfs") or empty on failure.
std::string mountScratchFileSystem(const std::string& image, const std::string& dir, int sizeMB = 16);

} // namespace kelvane::test
