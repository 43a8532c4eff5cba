#include "duplic/candidates.h"

#include "duplic/caseless.h"

#include <oneapi/tbb/parallel_sort.h>

#include <cstring>

namespace kelvane {

namespace {

// Sizes below this have five-character size columns, whose text order is
// the order of the numbers.
constexpr int64_t kFiveDigits = 100000;
// Names of at most this many bytes are whole in the key.
constexpr uint32_t kKeyBytes = 16;

void setKey(Candidate& c, std::string_view text)
{
    c.key[0] = caselessKey(text, 0);
    c.key[1] = c.key[0] == Candidate::kNoKey ? Candidate::kNoKey : caselessKey(text, 8);
    if (c.key[1] == Candidate::kNoKey)
        c.key[0] = Candidate::kNoKey;
}

bool keysValid(const Candidate& a, const Candidate& b)
{
    return a.key[0] != Candidate::kNoKey && b.key[0] != Candidate::kNoKey;
}

bool keysEqual(const Candidate& a, const Candidate& b)
{
    return a.key[0] == b.key[0] && a.key[1] == b.key[1];
}

bool keysBefore(const Candidate& a, const Candidate& b)
{
    return a.key[0] != b.key[0] ? a.key[0] < b.key[0] : a.key[1] < b.key[1];
}

} // namespace

CandidateFacts Candidate::facts() const
{
    CandidateFacts facts;
    if (hasFacts)
        std::memcpy(&facts, text + lineSize + pathSize, sizeof facts);
    return facts;
}

Candidate CandidateStore::add(DupMode mode, std::string_view line, size_t firstTab, size_t secondTab,
                              std::string_view path, size_t nameSize, int64_t kb, const CandidateFacts* facts)
{
    const size_t size = line.size() + path.size() + (facts ? sizeof *facts : 0);
    if (size > left_) {
        const size_t block = size > kBlockSize ? size : kBlockSize;
        blocks_.push_back(std::unique_ptr<char[]>(new char[block]));
        next_ = blocks_.back().get();
        left_ = block;
    }
    Candidate c;
    c.text = next_;
    c.lineSize = uint32_t(line.size());
    c.pathSize = uint32_t(path.size());
    c.realNameSize = uint32_t(nameSize);
    c.kb = kb;
    c.nameSize = uint32_t(firstTab);
    c.hasFacts = facts != nullptr;
    if (mode == DupMode::Duplicates) {
        setKey(c, line.substr(0, firstTab));
        c.restKey = caselessKey(line.substr(secondTab), 0);
    } else {
        setKey(c, line.substr(firstTab));
    }
    std::memcpy(next_, line.data(), line.size());
    if (!path.empty())
        std::memcpy(next_ + line.size(), path.data(), path.size());
    if (facts)
        std::memcpy(next_ + line.size() + path.size(), facts, sizeof *facts);
    next_ += size;
    left_ -= size;
    return c;
}

// Every shortcut below gives the answer that comparing the texts would give.
bool candidateBefore(DupMode mode, const Candidate& a, const Candidate& b)
{
    const std::string_view la = a.line();
    const std::string_view lb = b.line();
    int c = 0;
    if (mode == DupMode::Hogs) {
        if (a.kb != b.kb)
            return a.kb < b.kb;
        // Equal sizes have equal size columns: the keys stand at the same place.
        if (keysValid(a, b) && !keysEqual(a, b))
            return keysBefore(a, b);
        c = compareCaselessThenBytes(la, lb);
    } else {
        // The name column first, so that one name's lines stay together even
        // where two lower-case names differ only in a way case-folding ignores.
        bool sameName = false;
        if (keysValid(a, b)) {
            if (!keysEqual(a, b))
                return keysBefore(a, b);
            // Name columns are in lower case, so equal keys holding both
            // whole names mean the same name.
            sameName = a.nameSize <= kKeyBytes && b.nameSize <= kKeyBytes;
        }
        if (!sameName)
            c = compareCaselessThenBytes(la.substr(0, a.nameSize), lb.substr(0, b.nameSize));
        if (c == 0)
            c = compareFoldedNames(a.realName(), b.realName());
        if (c == 0) {
            // The same name; the rest of the line begins with the size.
            if (a.kb != b.kb && a.kb < kFiveDigits && b.kb < kFiveDigits)
                return a.kb < b.kb;
            if (a.kb == b.kb && a.restKey != b.restKey && a.restKey != Candidate::kNoKey &&
                b.restKey != Candidate::kNoKey)
                return a.restKey < b.restKey;
            c = compareCaselessThenBytes(la.substr(a.nameSize), lb.substr(b.nameSize));
        }
    }
    if (c != 0)
        return c < 0;
    return a.path() < b.path();
}

void sortCandidates(DupMode mode, std::vector<Candidate>& candidates)
{
    tbb::parallel_sort(candidates.begin(), candidates.end(), [mode](const Candidate& a, const Candidate& b) {
        return candidateBefore(mode, a, b);
    });
}

} // namespace kelvane
