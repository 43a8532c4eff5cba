#include "common/gridsort.h"
#include "common/resultgrid.h"
#include "common/ui/ResultGridView.h"
#include "support/pinnedsettings.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using namespace kelvane;

class ResultGridViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::pinSettings(); }

    // A million rows fill, scroll to the end and sort, rows staying whole.
    void aMillionRows()
    {
        const int kRows = qEnvironmentVariableIntValue("KELVANE_GRID_ROWS") > 0
                              ? qEnvironmentVariableIntValue("KELVANE_GRID_ROWS")
                              : 1000000;
        ResultGrid grid({"Size in K", "Date", "Time", "FileName"});
        std::vector<GridRow> rows;
        rows.reserve(kRows);
        for (int i = 0; i < kRows; ++i) {
            const int kb = (i * 7919) % 100000;
            rows.push_back(GridRow::fromCells(
                {QString("%1 K").arg(kb, 5), "1/2/2020", "1:00:00 PM", QString("/data/file-%1").arg(i)},
                "/data/file-" + std::to_string(i)));
        }
        grid.setRows(std::move(rows));
        ResultGridView view;
        view.setGrid(&grid);
        view.resize(600, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(grid.RowCount(), kRows + 1);
        view.setRow(kRows);
        view.scrollToBottom();
        QCOMPARE(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
        QVERIFY(view.indexAt(QPoint(5, view.viewport()->height() - 5)).row() >= kRows - 40);

        view.setRow(1); // file-0, size 0
        sortGridText(grid, 1, grid.RowCount() - 1, 0, true);
        QCOMPARE(grid.Cells(0, 1), QString("99999 K"));
        for (int r = 1; r < 1000; ++r)
            QVERIFY(grid.Cells(0, r) >= grid.Cells(0, r + 1));
        // The row stands for its file wherever it went.
        const int last = grid.RowCount() - 1;
        QCOMPARE(grid.Cells(0, view.Row()), QString("    0 K"));
        QCOMPARE(QString::fromStdString(grid.rowPath(view.Row())), grid.Cells(3, view.Row()));
        QCOMPARE(QString::fromStdString(grid.rowPath(last)), grid.Cells(3, last));
    }

    void currentRowAndDeleteKey()
    {
        ResultGrid grid({"Name"});
        ResultGridView view;
        view.setGrid(&grid);
        view.show();
        QCOMPARE(view.Row(), 0);
        grid.setRows({GridRow::fromCells({"a"}, "/a"), GridRow::fromCells({"b"}, "/b")});
        view.setRow(2);
        QCOMPARE(view.Row(), 2);
        view.setRow(5); // no such row: unchanged
        QCOMPARE(view.Row(), 2);
        QSignalSpy deletes(&view, &ResultGridView::deletePressed);
        QTest::keyClick(&view, Qt::Key_Delete);
        QTest::keyClick(&view, Qt::Key_Delete, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_F5);
        QCOMPARE(deletes.count(), 1);
        QCOMPARE(view.Row(), 2);
    }
};

QTEST_MAIN(ResultGridViewTest)
#include "ResultGridView_test.moc"
