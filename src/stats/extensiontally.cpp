#include "stats/extensiontally.h"

#include <bit>
#include <functional>

namespace kelvane {

namespace {

size_t hashOf(std::string_view key)
{
    return std::hash<std::string_view>()(key);
}

} // namespace

size_t ExtensionTally::find(std::string_view key) const
{
    if (slots_.empty()) {
        for (size_t i = 0; i < counts_.size(); ++i) {
            if (counts_[i].key == key)
                return i;
        }
        return counts_.size();
    }
    const size_t mask = slots_.size() - 1;
    for (size_t slot = hashOf(key) & mask;; slot = (slot + 1) & mask) {
        const uint32_t entry = slots_[slot];
        if (entry == 0)
            return counts_.size();
        if (counts_[entry - 1].key == key)
            return entry - 1;
    }
}

void ExtensionTally::index(size_t at)
{
    const size_t mask = slots_.size() - 1;
    size_t slot = hashOf(counts_[at].key) & mask;
    while (slots_[slot] != 0)
        slot = (slot + 1) & mask;
    slots_[slot] = uint32_t(at + 1);
}

void ExtensionTally::rebuildIndex()
{
    // At most a quarter full, so that probes stay short.
    slots_.assign(std::bit_ceil(counts_.size() * 4), 0);
    for (size_t i = 0; i < counts_.size(); ++i)
        index(i);
}

void ExtensionTally::add(std::string_view key, uint64_t files, uint64_t bytes)
{
    size_t at = find(key);
    if (at == counts_.size()) {
        counts_.push_back({std::string(key), 0, 0});
        if (counts_.size() >= kIndexFrom) {
            if (slots_.size() < counts_.size() * 2)
                rebuildIndex();
            else
                index(at);
        }
    }
    counts_[at].files += files;
    counts_[at].bytes += bytes;
}

void ExtensionTally::remove(std::string_view key, uint64_t files, uint64_t bytes)
{
    const size_t at = find(key);
    if (at == counts_.size())
        return;
    counts_[at].files -= files;
    counts_[at].bytes -= bytes;
}

void ExtensionTally::append(ExtensionTally&& later)
{
    if (counts_.empty()) {
        *this = std::move(later);
        return;
    }
    for (const ExtensionCount& c : later.counts_)
        add(c.key, c.files, c.bytes);
}

} // namespace kelvane
