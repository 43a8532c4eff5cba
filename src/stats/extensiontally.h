#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

struct ExtensionCount {
    std::string key; // raw bytes, see extensionKey
    uint64_t files = 0;
    uint64_t bytes = 0;
};

// Totals per extension key, in the order the keys were first met. A part of
// the walk tallies its own files; parts are joined in walk order with append,
// so the joined tally knows which keys came first over the whole tree (the
// type table keeps the first kMaxTypeRows of them).
class ExtensionTally {
public:
    void add(std::string_view key, uint64_t size) { add(key, 1, size); }
    void add(std::string_view key, uint64_t files, uint64_t bytes);
    // Takes files counted under a key back out; the key keeps its place (a
    // key left with no file gets no row of the type table).
    void remove(std::string_view key, uint64_t files, uint64_t bytes);
    // Adds a tally of files met after every file of this one.
    void append(ExtensionTally&& later);

    // In first-met order.
    const std::vector<ExtensionCount>& counts() const { return counts_; }
    bool empty() const { return counts_.empty(); }

private:
    // Most directories hold a handful of extensions: they are searched in
    // place, and only a longer tally keeps an index (open addressing, so that
    // the many tallies of a walk allocate little).
    static constexpr size_t kIndexFrom = 12;

    size_t find(std::string_view key) const;
    void index(size_t at);
    void rebuildIndex();

    std::vector<ExtensionCount> counts_;
    std::vector<uint32_t> slots_; // position in counts_ + 1; 0 for a free slot
};

} // namespace kelvane
