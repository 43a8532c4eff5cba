#pragma once

#include "common/entry.h"

#include <cstddef>
#include <functional>
#include <unordered_map>
#include <utility>

namespace kelvane {

// A file as the disk knows it, whatever its name.
struct FileKey {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const FileKey&) const = default;
};

struct FileKeyHash {
    size_t operator()(const FileKey& k) const noexcept
    {
        return std::hash<ino_t>()(k.ino) * 31 + std::hash<dev_t>()(k.dev);
    }
};

// The hard-linked files a part of a walk has counted, each with what the tool
// needs to take a later name back out of its totals (Payload). Ownership goes
// to the name met first in walk order: a directory's own listing, in name
// order, before its subdirectories, in name order. Folds settle it in combine
// (own claims first, then each child's in listing order), so the outcome is
// the same whatever the number of threads.
template <class Payload> class LinkClaims {
public:
    // Claims the file of e for this name. false when a name met earlier in
    // this part already holds it: this name is not to be counted.
    bool claim(const Entry& e, Payload payload)
    {
        return map_.try_emplace(FileKey{e.dev, e.ino}, std::move(payload)).second;
    }

    // True when this part holds the file of e already.
    bool claims(const Entry& e) const { return map_.count(FileKey{e.dev, e.ino}) != 0; }

    // Joins the claims of a part of the walk met after every name of this
    // one; extra(payload) runs for each of its names whose file was claimed
    // here already. later is left empty.
    template <class Extra> void absorbLater(LinkClaims&& later, Extra&& extra)
    {
        if (later.map_.size() > map_.size()) {
            // Walk the smaller map: keep the later one and put ours into it.
            for (auto& [key, payload] : map_) {
                auto [it, inserted] = later.map_.try_emplace(key, std::move(payload));
                if (!inserted) {
                    extra(it->second);
                    it->second = std::move(payload);
                }
            }
            map_ = std::move(later.map_);
        } else {
            for (auto& [key, payload] : later.map_) {
                if (!map_.try_emplace(key, std::move(payload)).second)
                    extra(payload);
            }
        }
        later.map_.clear();
    }

    // Runs f(payload&) on every claim (to re-address payloads).
    template <class F> void forEach(F&& f)
    {
        for (auto& entry : map_)
            f(entry.second);
    }

    size_t size() const { return map_.size(); }
    bool empty() const { return map_.empty(); }

private:
    std::unordered_map<FileKey, Payload, FileKeyHash> map_;
};

} // namespace kelvane
