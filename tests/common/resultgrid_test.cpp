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
