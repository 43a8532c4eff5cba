#pragma once

#include "duplic/contentreader.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace kelvane {

// A file offered for the content comparison.
struct ContentFile {
    std::string path;       // real path, as walked
    ContentIdentity id;     // as listed
    uint32_t nameClass = 0; // files are compared only within one class (the window: one name)
};

// The steps of a comparison, in order.
enum class ContentStep {
    Sizes, // candidates by size
    Heads, // hash of the first kHeadBytes bytes
    Whole, // hash of whole files (or byte comparison)
    Done,
};

// Progress readable from any thread while a comparison runs.
struct ContentProgress {
    std::atomic<int> step{int(ContentStep::Sizes)};
    std::atomic<uint64_t> filesToRead{0}; // in the current step
    std::atomic<uint64_t> filesRead{0};
    std::atomic<uint64_t> bytesToRead{0};
    std::atomic<uint64_t> bytesRead{0};
};

struct ContentOptions {
    int readThreads = 0;      // reads in flight; 0: defaultReadThreads()
    bool byteCompare = false; // prove equal groups byte for byte rather than by a whole-file hash
    std::stop_token stop;     // the user's abort
    ContentProgress* progress = nullptr;
    // Test seams: called after each step has ended, and before each file
    // (or, comparing bytes, each group) is read.
    std::function<void(ContentStep finished)> afterStep;
    std::function<void(ContentStep step, const std::string& path)> beforeRead;
};

struct FileProblem {
    std::string path;
    int error = 0; // 0: the file changed while it was compared
};

struct ContentGroups {
    // Each group: positions in the input of files with identical bytes, in
    // input order, one file per inode (the first position of each). Groups
    // with the most wasted space (size × (files − 1)) first, then larger
    // files, then by their first position.
    std::vector<std::vector<size_t>> groups;
    bool aborted = false; // only groups proven before the abort are listed
    uint64_t changed = 0; // files left out: changed between or during steps
    uint64_t unreadable = 0;
    std::vector<FileProblem> problems; // the first kMaxRecordedProblems of both
    static constexpr size_t kMaxRecordedProblems = 1000;
};

// Finds files with identical bytes: candidates by size, then a hash of their
// heads, then whole files (a 128-bit hash, or bytes compared with
// byteCompare) only where the earlier steps leave a tie. Hard links to one
// inode count as one file, at its first position. Reads run on
// options.readThreads threads; memory grows with the number of files, not
// their sizes.
ContentGroups findSameContent(const std::vector<ContentFile>& files, const ContentOptions& options = {});

// Wasted space of a group: what all copies but one take.
inline uint64_t wastedBytes(int64_t size, size_t copies)
{
    return copies > 1 ? uint64_t(size) * (copies - 1) : 0;
}

} // namespace kelvane
