#pragma once

#include "common/fileidentity.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

// Result rows kept compactly: the bytes of every row one after another in
// large blocks mapped from the system (a small header, the cells joined by
// tabs, then the real path unless it is the start of the last cell, then what
// the scan saw of the file when that is known), and no object per row. Rows are only ever appended: a changed
// row is appended again as an edit, so that a row's bytes never change while someone reads them (a sort on
// another thread). clear() unmaps the blocks. Appending is not thread-safe; reading appended rows is.
class GridRowStore {
public:
    // A row's place in the store; nullptr stands for an empty row.
    using Row = const char*;

    GridRowStore() = default;
    ~GridRowStore();
    GridRowStore(GridRowStore&& other) noexcept;
    GridRowStore& operator=(GridRowStore&& other) noexcept;
    GridRowStore(const GridRowStore&) = delete;
    GridRowStore& operator=(const GridRowStore&) = delete;

    // cells: UTF-8, joined by tabs. An edit replaces an earlier row in a grid
    // and is not one of the originals. An unknown identity takes no room.
    Row append(std::string_view cells, std::string_view path, const FileIdentity& identity = {},
               bool edit = false);
    void clear();

    // Rows appended other than as edits.
    size_t originalCount() const { return originals_; }
    // Calls f(Row) for each of them, in the order they were appended.
    template <class F> void forEachOriginal(F f) const;
    // Bytes taken from the system (the blocks).
    size_t bytes() const { return blocks_.size() * kBlockSize + large_; }

    static std::string_view cells(Row row);
    static std::string_view cell(Row row, int column);
    static std::string path(Row row);
    // Unknown for an empty row or one stored without it.
    static FileIdentity identity(Row row);

private:
    struct Block {
        char* data;
        size_t size;
        size_t used;
    };
    static constexpr size_t kBlockSize = 4 << 20;
    static constexpr uint32_t kEdit = 1u << 31;        // in the cells size
    static constexpr uint32_t kHasIdentity = 1u << 30; // in the cells size
    static constexpr uint32_t kPathInCells = 1u << 31; // in the path size
    static constexpr size_t kHeader = 8;

    static uint32_t cellsWord(Row row);
    static uint32_t pathWord(Row row);
    static uint32_t cellsSize(Row row) { return cellsWord(row) & ~(kEdit | kHasIdentity); }
    static size_t storedPathSize(Row row);
    static Row next(Row row);
    void release();

    std::vector<Block> blocks_;
    size_t large_ = 0; // beyond kBlockSize, for rows larger than a block
    size_t originals_ = 0;
};

template <class F> void GridRowStore::forEachOriginal(F f) const
{
    for (const Block& block : blocks_) {
        for (Row row = block.data; row < block.data + block.used; row = next(row)) {
            if ((cellsWord(row) & kEdit) == 0)
                f(row);
        }
    }
}

} // namespace kelvane
