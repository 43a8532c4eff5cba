// The parts every result window shares (marking, the sort menu, the busy
// pointer), on a bare window with three rows of real files.

#include "common/resultgrid.h"
#include "common/ui/MarkingWindow.h"
#include "common/ui/ResultGridView.h"
#include "support/pinnedsettings.h"
#include "support/walkgate.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include <stdexcept>

using namespace kelvane;

namespace {

class MarkingProbe : public MarkingWindow {
public:
    explicit MarkingProbe(Services& services)
        : MarkingWindow(services, 35, 199, {QStringLiteral("Name"), QStringLiteral("Time")})
    {
        status_ = new QLabel(this);
        makeMarkButton(QStringLiteral("Mark"), QIcon(), QIcon());
        makeListButtons(QStringLiteral("files"), QString(), QString());
        bySize =
            addSortItem(QStringLiteral("bySize"), QStringLiteral("Size"), [this](QAction* a) { sortBy(a); });
        byName =
            addSortItem(QStringLiteral("byName"), QStringLiteral("Name"), [this](QAction* a) { sortBy(a); });
        checkSortItem(bySize);
    }

    void setRows(const std::vector<std::string>& paths)
    {
        std::vector<GridRow> rows;
        for (const std::string& path : paths)
            rows.push_back(GridRow::fromCells({QString::fromStdString(path), QStringLiteral("10:00")}, path));
        resultCount = int(rows.size());
        gridModel_->setRows(std::move(rows));
    }

    // Runs a job off the window's thread that waits until released.
    void holdJob()
    {
        runInBackground([this] { gate_.hold(); }, [](const QString&) {});
    }
    void releaseJob() { gate_.release(); }

    void sortBy(QAction* item)
    {
        sortInBackground(item, SortKind::Text, true, [this](const char* row) {
            if (throwing)
                throw std::runtime_error("out of room");
            return cellOf(row, 0);
        });
    }

    QAction* bySize;
    QAction* byName;
    bool throwing = false;

protected:
    int markColumn() const override { return 1; }
    QLabel* statusLine() const override { return status_; }

private:
    QLabel* status_;
    test::WalkGate gate_; // lets a held job go when the probe goes
};

} // namespace

class MarkingWindowTest : public QObject {
    Q_OBJECT

    struct Fixture : test::WindowServices {
        MarkingProbe window{services};

        Fixture()
        {
            drive.file("a", 100);
            drive.file("b", 200);
            drive.file("c", 300);
            window.setRows({drive.path("a"), drive.path("b"), drive.path("c")});
        }
        QString cell(int row) const { return window.gridModel()->Cells(1, row); }
        QStringList ticks() const
        {
            QStringList ticked;
            for (QAction* item : window.sortMenu()->actions())
                if (item->isChecked())
                    ticked << item->text();
            return ticked;
        }
    };

private Q_SLOTS:
    void initTestCase() { test::pinSettings(); }

    // While a job reads the rows (a sort on a worker), marking and another
    // sort wait; a refused sort keeps the tick where it was.
    void nothingIsMarkedOrSortedWhileBusy()
    {
        Fixture f;
        f.window.gridView()->setRow(1);
        f.window.holdJob();
        QVERIFY(f.window.busy());
        f.window.DeleteAllFiles();
        f.window.gridDblClick();
        f.window.byName->trigger();
        QCOMPARE(f.window.markedFileCount(), 0);
        QCOMPARE(f.cell(1), QStringLiteral("10:00"));
        QCOMPARE(f.window.gridView()->Row(), 1);
        QCOMPARE(f.ticks(), QStringList({"Size"}));
        QCOMPARE(f.window.gridModel()->Cells(0, 1), QString::fromStdString(f.drive.path("a")));
        f.window.releaseJob();
        QTRY_VERIFY(!f.window.busy());

        f.window.DeleteAllFiles(); // marks row 1, moves to row 2
        f.window.gridDblClick();   // marks row 2, stays
        f.window.gridDblClick();   // takes it back
        QCOMPARE(f.window.markedPaths(), std::vector<std::string>{f.drive.path("a")});
        QCOMPARE(f.window.markedByteCount(), 100);
        QCOMPARE(f.cell(1), QStringLiteral("MARKED"));
        QCOMPARE(f.cell(2), QStringLiteral("OOPS"));
        QCOMPARE(f.window.gridView()->Row(), 2);
    }

    // A sort that throws leaves no busy pointer behind, no tick on an order
    // the grid does not have, and says why; meanwhile only the grid answers.
    void aFailedSortGivesThePointerBack()
    {
        Fixture f;
        f.window.throwing = true;
        f.window.sortBy(f.window.byName);
        QVERIFY(!f.window.findChild<QPushButton*>(QStringLiteral("btPrint"))->isEnabled());
        QVERIFY(f.window.gridView()->isEnabled());
        QTRY_VERIFY(!f.window.busy());
        QCOMPARE(f.messages.texts(), QStringList({"The sort failed: out of room."}));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(f.ticks(), QStringList());
        QCOMPARE(f.window.gridModel()->Cells(0, 1), QString::fromStdString(f.drive.path("a")));
        QVERIFY(f.window.findChild<QPushButton*>(QStringLiteral("btPrint"))->isEnabled());

        f.window.throwing = false;
        f.window.byName->trigger();
        QTRY_VERIFY(!f.window.busy());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(f.ticks(), QStringList({"Name"}));
        QCOMPARE(f.window.gridModel()->Cells(0, 1), QString::fromStdString(f.drive.path("c")));
    }
};

QTEST_MAIN(MarkingWindowTest)
#include "MarkingWindow_test.moc"
