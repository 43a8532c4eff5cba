#include "common/gridsort.h"

#include "common/sortkeys.h"
#include "common/stamptext.h"

#include <QLocale>

#include <algorithm>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace kelvane {

namespace {

// One row of the key table: the key of the row's cell, computed once, and the
// row's index before the sort. Exchanges move both together.
template <typename Key> struct KeyRow {
    Key key;
    uint32_t row;
};

template <typename Key> using KeyTable = std::vector<KeyRow<Key>>;

// A text key (textSortKey's bytes) kept in one buffer shared by all rows, with
// its first eight bytes as a number in front: most comparisons end there,
// without touching the buffer. Heads that differ order the keys as their bytes
// do (zero padding puts a shorter key first); equal heads compare the bytes.
struct TextKey {
    uint64_t head;
    const char* bytes;
    size_t size;

    friend bool operator<(const TextKey& a, const TextKey& b)
    {
        if (a.head != b.head)
            return a.head < b.head;
        return std::string_view(a.bytes, a.size) < std::string_view(b.bytes, b.size);
    }
    friend bool operator>(const TextKey& a, const TextKey& b) { return b < a; }
};

using CellOf = std::function<QString(size_t)>;

KeyTable<TextKey> textKeyTable(size_t n, const CellOf& cellOf, std::string& buffer)
{
    std::vector<size_t> ends;
    ends.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const QString cell = cellOf(i);
        // ASCII texts (the usual case) need no conversion; they give the same bytes.
        const bool ascii = std::all_of(cell.begin(), cell.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (ascii) {
            for (const QChar c : cell) {
                const char byte = char(c.unicode());
                buffer += byte >= 'a' && byte <= 'z' ? char(byte - ('a' - 'A')) : byte;
            }
        } else {
            const QByteArray key = textSortKey(cell);
            buffer.append(key.constData(), size_t(key.size()));
        }
        ends.push_back(buffer.size());
    }
    KeyTable<TextKey> table;
    table.reserve(n);
    size_t begin = 0;
    for (size_t i = 0; i < n; ++i) {
        const char* bytes = buffer.data() + begin;
        const size_t size = ends[i] - begin;
        uint64_t head = 0;
        for (size_t k = 0; k < 8; ++k)
            head = head << 8 | (k < size ? uint8_t(bytes[k]) : 0);
        table.push_back({{head, bytes, size}, uint32_t(i)});
        begin = ends[i];
    }
    return table;
}

// Positions are signed: after an exchange j can step to lo - 1.
using Position = int64_t;

template <typename Key> void exchangeRows(KeyTable<Key>& table, Position i, Position j)
{
    if (i != j)
        std::swap(table[size_t(i)], table[size_t(j)]);
}

// `before(a, b)`: a belongs before b (less ascending, greater descending).
template <typename Key, typename Before>
void exchangeSort(KeyTable<Key>& table, Position lo, Position hi, Before before)
{
    for (bool exchanged = true; exchanged;) {
        exchanged = false;
        for (Position k = lo; k < hi; ++k) {
            if (before(table[size_t(k + 1)].key, table[size_t(k)].key)) {
                exchangeRows(table, k, k + 1);
                exchanged = true;
            }
        }
    }
}

// Hoare partition around the middle row. With exchangeShortRanges, ranges of
// at most five rows go to the exchange sort instead.
template <typename Key, typename Before>
void quickSort(KeyTable<Key>& table, Position lo, Position hi, Before before, bool exchangeShortRanges)
{
    for (;;) {
        if (exchangeShortRanges && hi - lo < 5) {
            exchangeSort(table, lo, hi, before);
            return;
        }
        if (lo >= hi)
            return;
        Position i = lo;
        Position j = hi;
        const Key pivot = table[size_t((lo + hi) / 2)].key;
        while (i <= j) {
            while (before(table[size_t(i)].key, pivot))
                ++i;
            while (before(pivot, table[size_t(j)].key))
                --j;
            if (i <= j) {
                exchangeRows(table, i, j);
                ++i;
                --j;
            }
        }
        // The two ranges are disjoint, so the order in which they are sorted
        // does not change the result. Recursing into the smaller one and
        // looping on the larger keeps the stack shallow on a million rows.
        if (j - lo < hi - i) {
            quickSort(table, lo, j, before, exchangeShortRanges);
            lo = i;
        } else {
            quickSort(table, i, hi, before, exchangeShortRanges);
            hi = j;
        }
    }
}

template <typename Key> void sortKeyTable(KeyTable<Key>& table, bool descending, bool exchangeShortRanges)
{
    const Position hi = Position(table.size()) - 1;
    if (descending)
        quickSort(table, 0, hi, std::greater<Key>(), exchangeShortRanges);
    else
        quickSort(table, 0, hi, std::less<Key>(), exchangeShortRanges);
}

void quickSortText(KeyTable<TextKey>& table, bool descending)
{
    sortKeyTable(table, descending, true);
}

void quickSortNumber(KeyTable<double>& table, bool descending)
{
    sortKeyTable(table, descending, false);
}

void quickSortDate(KeyTable<qint64>& table, bool descending)
{
    sortKeyTable(table, descending, false);
}

template <typename Key, typename KeyOf> KeyTable<Key> keyTable(size_t n, const CellOf& cellOf, KeyOf keyOf)
{
    KeyTable<Key> table;
    table.reserve(n);
    for (size_t i = 0; i < n; ++i)
        table.push_back({keyOf(cellOf(i)), uint32_t(i)});
    return table;
}

template <typename Key> std::vector<uint32_t> rowsOf(const KeyTable<Key>& table)
{
    std::vector<uint32_t> order;
    order.reserve(table.size());
    for (const KeyRow<Key>& entry : table)
        order.push_back(entry.row);
    return order;
}

void sortGrid(SortableGrid& grid, int first, int last, int column, SortKind kind, bool descending,
              const QDate& today)
{
    if (last <= first || first < 0 || last >= grid.RowCount())
        return;
    grid.reorderRows(first, sortOrder(
                                size_t(last - first) + 1,
                                [&](size_t i) { return grid.Cells(column, first + int(i)); }, kind,
                                descending, today));
}

} // namespace

std::vector<uint32_t> sortOrder(const std::vector<QString>& cells, SortKind kind, bool descending,
                                const QDate& today)
{
    return sortOrder(
        cells.size(), [&](size_t i) { return cells[i]; }, kind, descending, today);
}

std::vector<uint32_t> sortOrder(size_t n, const std::function<QString(size_t)>& cell, SortKind kind,
                                bool descending, const QDate& today)
{
    if (n > std::numeric_limits<uint32_t>::max())
        throw std::length_error("too many rows to sort");
    switch (kind) {
    case SortKind::Text: {
        std::string buffer;
        auto table = textKeyTable(n, cell, buffer);
        quickSortText(table, descending);
        return rowsOf(table);
    }
    case SortKind::Number: {
        const NumberKeyReader reader{QLocale()};
        auto table = keyTable<double>(n, cell, [&](const QString& text) { return reader.read(text); });
        quickSortNumber(table, descending);
        return rowsOf(table);
    }
    case SortKind::Date: {
        const DateKeyReader reader(userShortDateFormat(), today);
        auto table =
            keyTable<qint64>(n, cell, [&](const QString& text) { return reader.read(text).toJulianDay(); });
        quickSortDate(table, descending);
        return rowsOf(table);
    }
    }
    return {};
}

void sortGridText(SortableGrid& grid, int first, int last, int column, bool descending, const QDate& today)
{
    sortGrid(grid, first, last, column, SortKind::Text, descending, today);
}

void sortGridNumber(SortableGrid& grid, int first, int last, int column, bool descending, const QDate& today)
{
    sortGrid(grid, first, last, column, SortKind::Number, descending, today);
}

void sortGridDate(SortableGrid& grid, int first, int last, int column, bool descending, const QDate& today)
{
    sortGrid(grid, first, last, column, SortKind::Date, descending, today);
}

} // namespace kelvane
