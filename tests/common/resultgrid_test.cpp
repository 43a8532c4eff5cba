#include "common/gridsort.h"
#include "common/resultgrid.h"

#include <gtest/gtest.h>

#include <QPersistentModelIndex>

using namespace kelvane;

namespace {

QStringList titles()
{
    return {"Name", "Size", "Directory"};
}

} // namespace

TEST(ResultGrid, ClearedGridHasTheTitleRowAndOneEmptyRow)
{
    ResultGrid grid(titles());
    grid.setRow(3, {"a", "1", "/x"}, "/x/a");
    grid.clearRows();
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.Cells(0, 0), "Name");
    EXPECT_EQ(grid.Cells(0, 1), "");
    EXPECT_EQ(grid.rowPath(1), "");
    EXPECT_EQ(grid.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "Directory");
}

TEST(ResultGrid, RowsGrowAndAreCutToTheirExactCount)
{
    ResultGrid grid(titles());
    for (int r = 1; r <= 120; ++r)
        grid.setRow(r, {QString("f%1").arg(r), QString::number(r), "/d"}, "/d/f" + std::to_string(r));
    grid.setRowCount(60); // title + 59 results
    EXPECT_EQ(grid.RowCount(), 60);
    EXPECT_EQ(grid.Cells(0, 59), "f59");
    EXPECT_EQ(grid.Cells(0, 60), "");
    grid.setRowCount(0); // never below the title row
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.rowCount(), 0);
}

TEST(ResultGrid, OneCellChangesAndTheRowKeepsItsPathBytes)
{
    ResultGrid grid(titles());
    const std::string odd = std::string("/d/a\tb\nc\xff");
    grid.setRow(1, {"a?b?c\xEF\xBF\xBD", "10", "/d"}, odd);
    grid.setCells(1, 1, "MARKED");
    EXPECT_EQ(grid.Cells(0, 1), QString::fromUtf8("a?b?c\xEF\xBF\xBD"));
    EXPECT_EQ(grid.Cells(1, 1), "MARKED");
    EXPECT_EQ(grid.Cells(2, 1), "/d");
    EXPECT_EQ(grid.rowPath(1), odd);
    EXPECT_EQ(grid.Cells(5, 1), "");
    EXPECT_EQ(grid.Cells(0, -1), "");
}

TEST(ResultGrid, ReorderMovesWholeRowsAndTheCurrentRowFollows)
{
    ResultGrid grid(titles());
    std::vector<GridRow> rows;
    for (int r = 0; r < 5; ++r)
        rows.push_back(GridRow::fromCells({QString("n%1").arg(r), QString::number(r * 10), "/d"},
                                          "p" + std::to_string(r)));
    grid.setRows(std::move(rows));
    const QPersistentModelIndex current = grid.indexOf(0, 2); // "n1"
    grid.reorderRows(2, {3, 0, 2, 1});                        // rows 2..5 become old 5, 2, 4, 3
    EXPECT_EQ(grid.Cells(0, 1), "n0");
    EXPECT_EQ(grid.Cells(0, 2), "n4");
    EXPECT_EQ(grid.Cells(1, 2), "40");
    EXPECT_EQ(grid.rowPath(2), "p4");
    EXPECT_EQ(grid.Cells(0, 3), "n1");
    EXPECT_EQ(grid.Cells(0, 5), "n2");
    EXPECT_EQ(ResultGrid::gridRow(current), 3);
    grid.reorderRows(4, {0, 1, 2}); // past the end: refused
    EXPECT_EQ(grid.Cells(0, 4), "n3");
}

TEST(ResultGrid, SortsThroughTheGridSorts)
{
    ResultGrid grid(titles());
    std::vector<GridRow> rows;
    for (const char* n : {"5", "40", "", "12"})
        rows.push_back(GridRow::fromCells({QString("name%1").arg(n), n, "/d"}, std::string("p") + n));
    grid.setRows(std::move(rows));
    sortGridNumber(grid, 1, grid.RowCount() - 1, 1, true);
    EXPECT_EQ(grid.Cells(1, 1), "40");
    EXPECT_EQ(grid.Cells(1, 2), "12");
    EXPECT_EQ(grid.Cells(1, 3), "5");
    EXPECT_EQ(grid.Cells(1, 4), "");
    EXPECT_EQ(grid.rowPath(4), "p");
    EXPECT_EQ(grid.Cells(0, 2), "name12");
}

TEST(GridRowStore, RowsKeepTheirBytesPathsAndOriginalOrder)
{
    GridRowStore store;
    FileIdentity seen;
    seen.dev = 3;
    seen.ino = 77;
    seen.size = 256000;
    seen.mtimeNs = 1'600'000'000'123'456'789;
    seen.rootLength = 1;
    // A path that starts the last cell is read back from it; any other is kept.
    const GridRowStore::Row hog =
        store.append("  250 K\t1/2/2019\t9:00:00 AM\t/d/f.bin*(SEARCHPATH)*", "/d/f.bin", seen);
    const GridRowStore::Row dup = store.append("f.bin\t  250 K\t1/2/2019\t9:00:00 AM\t/d/", "/d/f.bin", seen);
    const std::string odd("a\tb\t/x/\xff", 7);
    const GridRowStore::Row raw = store.append("a\tb\t/x/?", odd);
    const GridRowStore::Row none = store.append("only", "");
    EXPECT_EQ(GridRowStore::path(hog), "/d/f.bin");
    EXPECT_EQ(GridRowStore::path(dup), "/d/f.bin");
    EXPECT_EQ(GridRowStore::path(raw), odd);
    EXPECT_EQ(GridRowStore::path(none), "");
    EXPECT_EQ(GridRowStore::path(nullptr), "");
    EXPECT_EQ(GridRowStore::cell(hog, 3), "/d/f.bin*(SEARCHPATH)*");
    EXPECT_EQ(GridRowStore::cell(dup, 0), "f.bin");
    EXPECT_EQ(GridRowStore::cell(dup, 5), "");
    EXPECT_EQ(GridRowStore::cells(nullptr), "");
    // What the scan saw, after the path or the cells holding it.
    for (const GridRowStore::Row r : {hog, dup}) {
        const FileIdentity kept = GridRowStore::identity(r);
        EXPECT_EQ(kept.dev, seen.dev);
        EXPECT_EQ(kept.ino, seen.ino);
        EXPECT_EQ(kept.size, seen.size);
        EXPECT_EQ(kept.mtimeNs, seen.mtimeNs);
        EXPECT_EQ(kept.rootLength, seen.rootLength);
    }
    EXPECT_FALSE(GridRowStore::identity(raw).known());
    EXPECT_FALSE(GridRowStore::identity(nullptr).known());

    // An edit is stored again and is not one of the originals; the row it
    // replaces keeps its bytes (a reader on another thread still sees them).
    const GridRowStore::Row edited =
        store.append("f.bin\t  250 K\t1/2/2019\tMARKED\t/d/", "/d/f.bin", seen, true);
    EXPECT_EQ(GridRowStore::identity(edited).ino, seen.ino);
    EXPECT_EQ(GridRowStore::cell(edited, 3), "MARKED");
    EXPECT_EQ(GridRowStore::cell(dup, 3), "9:00:00 AM");
    std::vector<GridRowStore::Row> originals;
    store.forEachOriginal([&](GridRowStore::Row r) { originals.push_back(r); });
    EXPECT_EQ(originals, (std::vector<GridRowStore::Row>{hog, dup, raw, none}));
    EXPECT_EQ(store.originalCount(), 4u);

    // Rows larger than a block get a block of their own.
    const std::string big(5 << 20, 'x');
    const GridRowStore::Row large = store.append(big, "/big");
    EXPECT_EQ(GridRowStore::cells(large).size(), big.size());
    EXPECT_EQ(GridRowStore::path(large), "/big");
    EXPECT_GE(store.bytes(), big.size());
    store.clear();
    EXPECT_EQ(store.bytes(), 0u);
    EXPECT_EQ(store.originalCount(), 0u);
}

TEST(ResultGrid, RowsFromAStoreAndTheirOriginalTexts)
{
    ResultGrid grid({"A", "B"});
    GridRowStore store;
    FileIdentity x;
    x.ino = 11;
    x.size = 5;
    store.append("x\t1", "/p/x", x);
    store.append("y\t2", "/p/y");
    grid.setRows(std::move(store));
    ASSERT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.Cells(1, 2), "2");
    EXPECT_EQ(grid.rowPath(1), "/p/x");
    grid.setCells(1, 1, "MARKED");
    grid.reorderRows(1, {1, 0});
    EXPECT_EQ(grid.Cells(0, 1), "y");
    EXPECT_EQ(grid.Cells(1, 2), "MARKED");
    EXPECT_EQ(grid.rowPath(2), "/p/x");
    // The identity follows its row through the edit and the new order.
    EXPECT_EQ(grid.rowIdentity(2).ino, x.ino);
    EXPECT_EQ(grid.rowIdentity(2).size, x.size);
    EXPECT_FALSE(grid.rowIdentity(1).known());
    EXPECT_FALSE(grid.rowIdentity(3).known());
    // The rows as they came, before the change and the new order.
    EXPECT_EQ(grid.originalRows(), (std::vector<std::string_view>{"x\t1", "y\t2"}));
    grid.clearRows();
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_TRUE(grid.originalRows().empty());
    EXPECT_EQ(grid.rowBytes(), sizeof(GridRowStore::Row));
}
