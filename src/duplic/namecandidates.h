#pragma once

#include "common/fileidentity.h"
#include "duplic/candidates.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

class StampTextCache;

// A directory holding files of a duplicates scan, kept once for all of them.
struct CandidateDirectory {
    std::string column; // the line's last column: shown, ending in "/", with the search-path marker
    std::string path;   // the real path ending in "/"; empty when the scan keeps no paths
    bool onSearchPath = false;
    bool keepsTimes = false;    // its files' texts are followed by their modification times
    bool keepsIdentity = false; // ... and then by what the scan saw of them
};

// One line of a result, as scans hand it on.
struct ResultLine {
    std::string_view line;
    std::string_view path; // empty when the scan keeps no paths
    CandidateFacts facts;  // all zero when the scan keeps none
    FileIdentity identity; // unknown when the scan keeps no paths
    uint32_t group = 0;    // duplicates: the line's group (0, 1, ...) in the result
};

// One file of a duplicates scan: what its line is made of, not the line
// itself, which is built only if the file is part of the result. The texts
// live in a NameCandidateStore, which must outlive it.
struct NameCandidate {
    // The first 16 bytes of the name column as numbers (big-endian, zero past
    // the end), so that most comparisons read nothing else; kNoKey where
    // those bytes are not all ASCII.
    uint64_t key[2];
    const char* text; // the name column, then the real name
    const CandidateDirectory* directory;
    int64_t bytes;
    uint32_t stamp;
    uint16_t nameColumnSize;
    uint16_t realNameSize;

    static constexpr uint64_t kNoKey = kNoCaselessKey;

    std::string_view nameColumn() const { return {text, nameColumnSize}; }
    std::string_view realName() const { return {text + nameColumnSize, realNameSize}; }
    // Size, time (when kept) and search-path mark.
    CandidateFacts facts() const;
    // What the scan saw of the file; unknown when its directory keeps none.
    FileIdentity identity() const;
};

// Holds a scan's candidates, their texts and their directories in large
// blocks: no allocation per file. Not thread-safe: one per thread.
class NameCandidateStore {
public:
    // keepTimes: the files' modification times are kept too (for facts);
    // keepIdentity: what the scan saw of each file is kept (for acting on it).
    const CandidateDirectory* addDirectory(std::string column, std::string path, bool onSearchPath = false,
                                           bool keepTimes = false, bool keepIdentity = false);
    void add(std::string_view nameColumn, std::string_view realName, int64_t bytes, uint32_t stamp,
             int64_t mtime, const FileIdentity& identity, const CandidateDirectory* directory);
    size_t size() const { return count_; }
    // Appends the candidates to all and lets their blocks go on the way, so
    // that they are never held twice. Texts and directories stay.
    void moveCandidatesTo(std::vector<NameCandidate>& all);

private:
    static constexpr size_t kTextBlock = 64 * 1024;
    // 384 KiB: above the size from which the allocator maps a block on its
    // own (returnFreedMemoryPromptly), so each block goes back to the system
    // once moveCandidatesTo has copied it; smaller ones stayed resident in the
    // heap, next to the copy (a million files peaked 37 MB higher).
    static constexpr size_t kCandidateBlock = 8192;
    std::vector<std::unique_ptr<char[]>> texts_;
    char* next_ = nullptr;
    size_t left_ = 0;
    std::vector<std::unique_ptr<NameCandidate[]>> candidates_;
    size_t count_ = 0;
    std::deque<CandidateDirectory> directories_;
};

// True when a's name column goes before b's: letter case ignored, then byte
// for byte. Files of one name compare equal.
bool nameBefore(const NameCandidate& a, const NameCandidate& b);

// Sorts by name column (in parallel).
void sortByName(std::vector<NameCandidate>& candidates);

// Calls emit with the line and real path of each file of the result, in the
// order of the result list (that of candidateBefore and addDups): the files of
// each name column that occurs more than once with the same real name folded
// caselessly (exact: and the same size in KB), a name's lines by the folded
// real name, then by the rest of the line (letter case ignored, then bytes),
// then by the real path. candidates must be sorted by sortByName. Lines are
// built here, a name at a time.
void forEachDuplicateLine(const std::vector<NameCandidate>& candidates, bool exact, StampTextCache& stamps,
                          const std::function<void(const ResultLine&)>& emit);

} // namespace kelvane
