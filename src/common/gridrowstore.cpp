#include "common/gridrowstore.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace kelvane {

GridRowStore::~GridRowStore()
{
    release();
}

GridRowStore::GridRowStore(GridRowStore&& other) noexcept
    : blocks_(std::move(other.blocks_)), large_(std::exchange(other.large_, 0)),
      originals_(std::exchange(other.originals_, 0))
{
    other.blocks_.clear();
}

GridRowStore& GridRowStore::operator=(GridRowStore&& other) noexcept
{
    if (this != &other) {
        release();
        blocks_ = std::move(other.blocks_);
        other.blocks_.clear();
        large_ = std::exchange(other.large_, 0);
        originals_ = std::exchange(other.originals_, 0);
    }
    return *this;
}

void GridRowStore::release()
{
    for (const Block& block : blocks_)
        ::munmap(block.data, block.size);
    blocks_.clear();
    blocks_.shrink_to_fit();
    large_ = 0;
    originals_ = 0;
}

void GridRowStore::clear()
{
    release();
}

GridRowStore::Row GridRowStore::append(std::string_view cells, std::string_view path,
                                       const FileIdentity& identity, bool edit)
{
    // A path that is the start of the last cell (a file hogs line shows the
    // path it stands for) is not stored twice.
    const size_t lastTab = cells.rfind('\t');
    const std::string_view last = lastTab == std::string_view::npos ? cells : cells.substr(lastTab + 1);
    const bool inCells = !path.empty() && last.substr(0, path.size()) == path;
    const bool hasIdentity = identity.known();
    const size_t size =
        kHeader + cells.size() + (inCells ? 0 : path.size()) + (hasIdentity ? sizeof identity : 0);
    if (blocks_.empty() || blocks_.back().size - blocks_.back().used < size) {
        const size_t blockSize = std::max(kBlockSize, (size + 4095) & ~size_t(4095));
        void* data = ::mmap(nullptr, blockSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (data == MAP_FAILED)
            throw std::bad_alloc();
        blocks_.push_back({static_cast<char*>(data), blockSize, 0});
        large_ += blockSize - kBlockSize;
    }
    Block& block = blocks_.back();
    char* row = block.data + block.used;
    const uint32_t cellsWord = uint32_t(cells.size()) | (edit ? kEdit : 0) | (hasIdentity ? kHasIdentity : 0);
    const uint32_t pathWord = uint32_t(path.size()) | (inCells ? kPathInCells : 0);
    std::memcpy(row, &cellsWord, 4);
    std::memcpy(row + 4, &pathWord, 4);
    std::memcpy(row + kHeader, cells.data(), cells.size());
    if (!inCells && !path.empty())
        std::memcpy(row + kHeader + cells.size(), path.data(), path.size());
    if (hasIdentity)
        std::memcpy(row + size - sizeof identity, &identity, sizeof identity);
    block.used += size;
    if (!edit)
        ++originals_;
    return row;
}

uint32_t GridRowStore::cellsWord(Row row)
{
    uint32_t word;
    std::memcpy(&word, row, 4);
    return word;
}

uint32_t GridRowStore::pathWord(Row row)
{
    uint32_t word;
    std::memcpy(&word, row + 4, 4);
    return word;
}

size_t GridRowStore::storedPathSize(Row row)
{
    const uint32_t p = pathWord(row);
    return (p & kPathInCells) ? 0 : p;
}

GridRowStore::Row GridRowStore::next(Row row)
{
    return row + kHeader + cellsSize(row) + storedPathSize(row) +
           ((cellsWord(row) & kHasIdentity) ? sizeof(FileIdentity) : 0);
}

std::string_view GridRowStore::cells(Row row)
{
    if (!row)
        return {};
    return {row + kHeader, cellsSize(row)};
}

FileIdentity GridRowStore::identity(Row row)
{
    FileIdentity identity;
    if (row && (cellsWord(row) & kHasIdentity))
        std::memcpy(&identity, row + kHeader + cellsSize(row) + storedPathSize(row), sizeof identity);
    return identity;
}

std::string_view GridRowStore::cell(Row row, int column)
{
    std::string_view rest = cells(row);
    for (int c = 0; c < column; ++c) {
        const size_t tab = rest.find('\t');
        if (tab == std::string_view::npos)
            return {};
        rest.remove_prefix(tab + 1);
    }
    return rest.substr(0, rest.find('\t'));
}

std::string GridRowStore::path(Row row)
{
    if (!row)
        return {};
    const uint32_t p = pathWord(row);
    const std::string_view all = cells(row);
    if (p & kPathInCells) {
        const size_t lastTab = all.rfind('\t');
        const std::string_view last = lastTab == std::string_view::npos ? all : all.substr(lastTab + 1);
        return std::string(last.substr(0, p & ~kPathInCells));
    }
    return std::string(row + kHeader + all.size(), p);
}

} // namespace kelvane
