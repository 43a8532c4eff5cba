#pragma once

#include "common/fileidentity.h"
#include "duplic/caseless.h"
#include "duplic/dupmode.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace kelvane {

// What a scan keeps of a file besides its line, when asked to (keepFacts).
struct CandidateFacts {
    int64_t bytes = 0;
    int64_t mtime = 0; // seconds since the epoch
    bool onSearchPath = false;
};

// One line of the candidate list: a file above the size limit that matches
// the pattern. Its texts live in a CandidateStore, which must outlive it.
struct Candidate {
    const char* text = nullptr; // the result line (UTF-8), then the real path (or only the real name)
    uint32_t lineSize = 0;
    uint32_t pathSize = 0;     // of the real path, or of the real name when the scan keeps no paths
    uint32_t realNameSize = 0; // the real name: the last bytes of the path
    int64_t kb = 0;            // size in whole KB
    uint32_t nameSize = 0;     // of the line's first column (the name key of duplicates)
    bool hasFacts = false;     // the text is followed by CandidateFacts
    // Sort keys, so that most comparisons never read the lines: 16 bytes of
    // the text that decides first (duplicates: the name column; file hogs:
    // the line after the size column) and, for duplicates, 8 bytes from the
    // column after the size; lower case, big-endian, zero past the end of the
    // text. kNoKey where those bytes are not all ASCII.
    uint64_t key[2] = {kNoKey, kNoKey};
    uint64_t restKey = kNoKey;
    FileIdentity identity; // what the scan saw of the file

    static constexpr uint64_t kNoKey = kNoCaselessKey;

    std::string_view line() const { return {text, lineSize}; }
    std::string_view path() const { return {text + lineSize, pathSize}; }
    // The facts kept with the line; all zero when none were kept.
    CandidateFacts facts() const;
    std::string_view realName() const { return {text + lineSize + pathSize - realNameSize, realNameSize}; }
};

// Holds the texts of candidates in large blocks: a scan stores a million
// lines without a million allocations. Not thread-safe: one per thread.
class CandidateStore {
public:
    // firstTab, secondTab: where the line's first and second columns end;
    // path: the real path, or only the real name; its last nameSize bytes are
    // the real name. facts, when given, are kept after the texts.
    Candidate add(DupMode mode, std::string_view line, size_t firstTab, size_t secondTab,
                  std::string_view path, size_t nameSize, int64_t kb, const CandidateFacts* facts = nullptr);

private:
    static constexpr size_t kBlockSize = 1 << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    size_t left_ = 0;
};

// True when a goes before b in the candidate list. Duplicates: by the name
// column, then by the real name folded caselessly (so that names that only
// show alike stay apart), then by the rest of the line; file hogs: by size, then by the whole
// line. Texts compare with letter case ignored, then byte for byte, then by
// path, so that the order is total and the same however the scan ran.
// (Comparing the size first keeps file hogs largest first also when a size
// has more than five digits; otherwise it is the order of the line.)
bool candidateBefore(DupMode mode, const Candidate& a, const Candidate& b);

// Sorts the candidate list in place (in parallel).
void sortCandidates(DupMode mode, std::vector<Candidate>& candidates);

} // namespace kelvane
