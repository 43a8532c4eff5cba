#include "common/textfields.h"
#include "common/ui/DrivePanel.h"
#include "common/ui/ResultGridView.h"
#include "common/ui/ScanChoices.h"
#include "common/ui/TfrmBrowse.h"
#include "dirhog/ui/TfrmDirHog.h"
#include "shell/commandline.h"
#include "support/pinnedsettings.h"
#include "support/walkgate.h"
#include "support/windowfixture.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QRadioButton>
#include <QToolButton>

#include <new>
#include <sys/stat.h>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// Two drives, captioned "/t1" and "/t2" so that the drive panel keeps its
// design width; the first is the current one.
struct Fixture : WindowFixture<TfrmDirHog> {
    Fixture() : WindowFixture(2, true) {}

    // Selects the row of path and clicks Delete; waits for a tree deletion if one starts.
    void deleteRow(const std::string& path)
    {
        window->gridView()->setRow(rowOf(path));
        QSignalSpy done(window->runner(), &ScanRunner::finished);
        QTest::mouseClick(button("btDelete"), Qt::LeftButton);
        if (window->runner()->running())
            QVERIFY(done.wait(10000));
    }
};

QAction* sortItem(const TfrmDirHog& w, const char* name)
{
    return w.sortMenu()->findChild<QAction*>(QLatin1String(name));
}

QString checkedSortItems(const TfrmDirHog& w)
{
    QString names;
    for (QAction* a : w.sortMenu()->actions()) {
        if (a->isChecked())
            names += a->objectName() + ' ';
    }
    return names.trimmed();
}

const QString kNotEmpty = "Directory is not empty ... do you REALLY wish to delete this\n"
                          "directory and all files and sub-directories below this directory?\n\n"
                          "NOTE: you cannot recover deleted directories!";

} // namespace

class TfrmDirHogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::pinSettings(); }

    // Every control's caption, hint, visibility and place, the columns, and
    // what the window starts with.
    void layoutTableAndInitialState()
    {
        Fixture f;
        TfrmDirHog& w = f.open();
        const std::vector<ControlLine> table = {
            {"", "Directory Hogs", {}, true, anywhere()},
            {"Panel1", {}, {}, true, height(169)},
            {"btTop", "&Main directories", "Only topmost directories. Does not display sub-directories.",
             true, anywhere()},
            {"btAll", "&All Directories", "ALL directories including sub-directories are displayed", true,
             anywhere()},
            {"btClose", "Close", "Close window", true, anywhere()},
            {"btAbort", "&Abort", "Abort scan", false, sameAs("btDelete")},
            {"btDelete", "&Delete", "Delete the directory", false, anywhere()},
            {"btPrint", "&Print", "Print list of directories", false, anywhere()},
            {"btClip", "C&lipboard", "Copy list of directories to clipboard", false, anywhere()},
            {"btBrowse", "&Browse", "Browse the files and directory", false, anywhere()},
            {"btSort", "S&ort", "Sort columns ", false, anywhere()},
            {"Label1", "Main -", {}, true, anywhere()},
            {"Label2",
             "only main directories are displayed (those directories directly under the root directory)",
             {},
             true,
             anywhere()},
            {"Label3", "All -", {}, true, anywhere()},
            {"Label5",
             "all directories including sub-directories are individually displayed",
             {},
             true,
             anywhere()},
            {"Label4", "D&rives:", {}, true, clearOf("Label2")},
            {"pnlDrives", {}, {}, true, fromRight(10)},
            {"pnlChoices", {}, {}, true, between("grid", "pnlScan")},
            {"pnlScan", {}, {}, true, atBottom(20)},
        };
        const std::vector<ColumnLine> columns = {{"Size", 61, "9007199254740991 K"},
                                                 {"% used", 40, ""},
                                                 {"# Files", 40, ""},
                                                 {"# Subdirs", 49, ""},
                                                 {"Latest File Date", 90, ""},
                                                 {"Name", 0, ""}};
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.size(), QSize(638, 414));
        QCOMPARE(w.minimumSize(), QSize(619, 338));
        for (const QSize size : {w.size(), w.minimumSize(), QSize(900, 500)}) {
            w.resize(size);
            QVERIFY_NO_DIFFERENCES(layoutDifferences(w, table));
            QVERIFY_NO_DIFFERENCES(columnDifferences(*w.gridView(), columns, 25));
        }
        QVERIFY_NO_DIFFERENCES(sharedAccelerators(w));
        QAbstractButton* sort = f.button("btSort");
        QCOMPARE(sort->x() + sort->width() + 3, w.minimumWidth()); // the minimum keeps Sort in view
        QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);
        QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
        auto bold = [&](const char* name) {
            return w.findChild<QLabel*>(QLatin1String(name))->font().bold();
        };
        QVERIFY(bold("Label2") && bold("Label5") && !bold("Label1"));

        QCOMPARE(f.grid().RowCount(), 2); // the title and one empty row
        QVERIFY(w.resultLines().isEmpty());
        QStringList captions;
        for (QAction* a : w.sortMenu()->actions())
            captions << a->text();
        QCOMPARE(captions, QStringList({"Sort by &Size", "Sort by # &Files", "Sort by # Sub&directories",
                                        "Sort by D&ate", "Sort by &Name"}));
        QCOMPARE(checkedSortItems(w), QString("SortbySize1"));

        // Only the current drive is ticked; without a tick nothing can start.
        QCheckBox* first = w.drivePanel()->box(1);
        QVERIFY(first->isChecked() && !w.drivePanel()->box(2)->isChecked());
        QTest::mouseClick(first, Qt::LeftButton);
        QVERIFY(!f.button("btTop")->isEnabled() && !f.button("btAll")->isEnabled());
        QTest::mouseClick(w.drivePanel()->box(2), Qt::LeftButton);
        QVERIFY(f.button("btTop")->isEnabled() && f.button("btAll")->isEnabled());
    }

    void longDriveCaptionsWidenTheWindow()
    {
        Fixture f;
        std::vector<Drive> drives = f.drives.drives();
        drives[1].caption = QString("/srv/data-archive-2026");
        while (drives.size() < 10) // two columns
            drives.push_back(drives[1]);
        f.drives = FixedDriveList(drives);
        TfrmDirHog& w = f.shown();
        QVERIFY(w.width() > 638);
        QVERIFY(w.drivePanel()->width() > 199);
        auto* label4 = w.findChild<QLabel*>("Label4");
        auto* label2 = w.findChild<QLabel*>("Label2");
        QVERIFY2(label2->geometry().right() < label4->x(), qPrintable(QString("%1 %2 %3 %4")
                                                                          .arg(label2->geometry().right())
                                                                          .arg(label4->x())
                                                                          .arg(w.width())
                                                                          .arg(w.drivePanel()->width())));
        QCOMPARE(w.drivePanel()->x() + w.drivePanel()->width(), w.width() - 10);
        QCOMPARE(w.minimumSize(), QSize(619, 338));
    }

    void allDirectoriesScanFillsGridListAndStatus()
    {
        Fixture f;
        f.drive.file("one", 1000, 0644, test::localTime(2023, 7, 1, 10));
        f.drive.file("two", 3000, 0644, test::localTime(2024, 3, 5, 14, 30));
        f.drive.file("Data/f", 2048, 0644, test::localTime(2022, 1, 2));
        TfrmDirHog& w = f.shown();
        QVERIFY(f.scan("btAll"));

        QCOMPARE(f.grid().RowCount(), 3);
        QCOMPARE(f.column(0), QStringList({"      3 K", "      2 K"}));
        QCOMPARE(f.column(2), QStringList({"2", "1"}));
        QCOMPARE(f.column(3), QStringList({"1", "0"}));
        QCOMPARE(f.column(4), QStringList({"3/5/2024", "1/2/2022"}));
        QCOMPARE(f.column(5), QStringList({q(f.drive.root()), q(f.drive.path("Data"))}));
        QCOMPARE(f.grid().rowPath(2), f.drive.path("Data"));
        QCOMPARE(w.resultLines().size(), 2);
        QCOMPARE(getField(w.resultLines()[1], 7), QString("1/2/2022"));
        QCOMPARE(w.statusText(), QString("Directories : 2"));
        QVERIFY(f.messages.shown().isEmpty());
        for (const char* name : {"btDelete", "btPrint", "btClip", "btBrowse", "btSort"})
            QVERIFY2(f.button(name)->isVisible(), name);
        QVERIFY_NO_DIFFERENCES(sharedAccelerators(w));
        QVERIFY(!f.button("btAbort")->isVisible());
        QVERIFY(f.button("btClose")->isEnabled() && w.drivePanel()->isEnabled());
        QCOMPARE(w.gridView()->Row(), 1);
    }

    // A job that throws (here: memory runs out in the walk) ends as a failed
    // scan: its reason in an error box, the window ready for the next scan.
    void failedScanIsReportedAndTheWindowRestored()
    {
        Fixture f;
        f.drive.file("a/f", 10);
        f.drive.file("fail/f", 10);
        TfrmDirHog& w = f.open();
        w.setBeforeDirectory([](const WalkDir& dir) {
            if (dir.name() == "fail")
                throw std::bad_alloc();
        });
        w.show();
        QVERIFY(f.scan("btAll"));
        QCOMPARE(f.messages.texts(), QStringList({"The scan failed: out of memory."}));
        QCOMPARE(f.messages.shown()[0].kind, Messages::Kind::Error);
        QCOMPARE(f.grid().RowCount(), 1);
        QVERIFY(!f.button("btAbort")->isVisible() && !f.button("btDelete")->isVisible());
        for (const char* name : {"btTop", "btAll", "btClose"})
            QVERIFY2(f.button(name)->isEnabled(), name);
        QVERIFY(w.drivePanel()->isEnabled());
        // The next scan runs normally.
        w.setBeforeDirectory({});
        f.messages.clear();
        QVERIFY(f.scan("btAll"));
        QCOMPARE(w.statusText(), QString("Directories : 3"));
        QVERIFY(f.messages.shown().isEmpty());
    }

    // Directories that could not be read (here: gone before they were
    // opened) are counted on the status line, their paths in its tool tip.
    void unreadableDirectoriesAreCountedOnTheStatusLine()
    {
        Fixture f;
        f.drive.file("kept/f", 10);
        f.drive.file("gone1/f", 10);
        f.drive.file("gone2/f", 10);
        TfrmDirHog& w = f.open();
        w.setBeforeDirectory([&](const WalkDir& dir) {
            if (dir.name().starts_with("gone"))
                ::rename(dir.path().c_str(), (dir.path() + "-moved").c_str());
        });
        w.show();
        QVERIFY(f.scan("btAll"));
        QCOMPARE(w.statusText(), QString("Directories : 2; 2 directories could not be read"));
        const QString tip = w.findChild<QLabel*>("pnlScan")->toolTip();
        QVERIFY2(tip.contains(q(f.drive.path("gone1"))) && tip.contains(q(f.drive.path("gone2"))),
                 qPrintable(tip));
        w.setBeforeDirectory({});
        QVERIFY(f.scan("btAll"));
        QCOMPARE(w.statusText(), QString("Directories : 4"));
        QCOMPARE(w.findChild<QLabel*>("pnlScan")->toolTip(), QString());
    }

    void mainScanOverTwoDrives()
    {
        Fixture f;
        f.drive.file("root-file", 50000);
        f.drive.file("Data/f", 2048);
        f.drive.file("big/sub/f", 9000);
        f.second.file("middle/a/f", 4096);
        f.second.file("middle/b/f", 1024);
        TfrmDirHog& w = f.shown();
        QTest::mouseClick(w.drivePanel()->box(2), Qt::LeftButton);
        QVERIFY(f.scan("btTop"));

        QCOMPARE(f.column(5),
                 QStringList({q(f.drive.path("big")), q(f.second.path("middle")), q(f.drive.path("Data"))}));
        QCOMPARE(f.column(2), QStringList({"1", "2", "1"}));
        QCOMPARE(f.column(3), QStringList({"1", "2", "0"}));
        QCOMPARE(w.statusText(), QString("Directories : 3"));
    }

    void driveThatCannotBeOpenedIsReportedAndTheOthersScanned()
    {
        Fixture f;
        f.drive.file("Data/f", 2048);
        std::vector<Drive> drives = f.drives.drives();
        drives[1].root = f.second.file("not-a-directory", 1); // answers, but cannot be opened
        f.drives = FixedDriveList(drives);
        TfrmDirHog& w = f.shown();
        QTest::mouseClick(w.drivePanel()->box(2), Qt::LeftButton);
        QVERIFY(f.scan("btTop"));
        QCOMPARE(f.messages.texts(), QStringList{"Can't open drive /t2"});
        QCOMPARE(f.messages.shown()[0].kind, Messages::Kind::Error);
        QCOMPARE(f.column(5), QStringList{q(f.drive.path("Data"))});
    }

    void nothingFoundKeepsTheTitleRowAlone()
    {
        Fixture f; // the drive is empty
        TfrmDirHog& w = f.shown();
        QVERIFY(f.scan("btTop"));
        QCOMPARE(f.messages.texts(), QStringList{"No files found."});
        QCOMPARE(f.messages.shown()[0].kind, Messages::Kind::Information);
        QCOMPARE(f.grid().RowCount(), 1);
        QCOMPARE(w.statusText(), QString("Directories : 0"));
        QVERIFY(!f.button("btPrint")->isVisible());
        QVERIFY(f.button("btTop")->isEnabled());

        f.drive.file("now/f", 1);
        QVERIFY(f.scan("btTop"));
        QCOMPARE(f.grid().RowCount(), 2);
        QCOMPARE(f.grid().Cells(0, 0), QString("Size"));
    }

    // The walk is held at directory "b" until Abort is clicked.
    void abortLeavesThePartialListWithTheNotice()
    {
        Fixture f;
        f.drive.file("a/x/f", 1024);
        f.drive.file("b/p/f", 5 * 1024);
        f.drive.file("b/q/f", 7 * 1024);
        f.drive.file("c/f", 9 * 1024);
        TfrmDirHog& w = f.open();
        WalkGate gate("q");
        w.setWalkThreads(1);
        w.setBeforeDirectory(gate.hook());
        w.show();
        QSignalSpy done(w.runner(), &ScanRunner::finished);
        QTest::mouseClick(f.button("btTop"), Qt::LeftButton);
        QVERIFY(gate.waitUntilHeld());

        // The scanning state: only Abort and the grid answer; Close is refused.
        QVERIFY(f.button("btAbort")->isVisible());
        QVERIFY(!f.button("btTop")->isEnabled() && !f.button("btAll")->isEnabled());
        QVERIFY(!f.button("btClose")->isEnabled() && !w.drivePanel()->isEnabled());
        QVERIFY_NO_DIFFERENCES(sharedAccelerators(w));
        w.reject();
        QVERIFY(w.isVisible());
        QTRY_VERIFY(w.statusText().startsWith(q(f.drive.root())));

        QTest::mouseClick(f.button("btAbort"), Qt::LeftButton);
        gate.release();
        QVERIFY(done.wait(10000));
        QCOMPARE(f.messages.texts(), QStringList{"LIST INCOMPLETE ... ABORTED BY USER"});
        QCOMPARE(f.messages.shown()[0].kind, Messages::Kind::Plain);
        QCOMPARE(w.resultLines().size(), 3);
        QCOMPARE(w.resultLines()[0], QString("LIST INCOMPLETE ... ABORTED BY USER"));
        QCOMPARE(f.column(5), QStringList({q(f.drive.path("b")), q(f.drive.path("a"))}));
        QCOMPARE(f.grid().Cells(0, 1), QString("      5 K")); // b's partial total
        QCOMPARE(w.statusText(), QString("Directories : 2"));
        QVERIFY(f.button("btClose")->isEnabled());

        // Clipboard and print take the notice as the first line.
        QTest::mouseClick(f.button("btClip"), Qt::LeftButton);
        QVERIFY(f.clipboard.text().startsWith("LIST INCOMPLETE ... ABORTED BY USER\r\n"));
    }

    void fullCandidateListWarnsWithoutTheNotice()
    {
        Fixture f;
        for (int i = 0; i < 10; ++i)
            f.drive.file("d" + std::to_string(i) + "/f", 1024 * (i + 1));
        TfrmDirHog& w = f.open();
        w.setListLimit(3);
        w.show();
        QVERIFY(f.scan("btAll"));
        QCOMPARE(f.messages.texts(),
                 QStringList{"Resource limit reached ... cannot process any more files."});
        QCOMPARE(f.messages.shown()[0].kind, Messages::Kind::Warning);
        QCOMPARE(w.resultLines().size(), 3);
        QVERIFY(!w.resultLines()[0].startsWith("LIST INCOMPLETE"));
        QCOMPARE(w.statusText(), QString("Directories : 3"));
    }

    void deletingAnEmptyDirectoryAsksOnce()
    {
        Fixture f;
        f.drive.file("full/f", 2000);
        const std::string empty = f.drive.dir("empty");
        TfrmDirHog& w = f.shown();
        QVERIFY(f.scan("btAll"));
        const int row = f.rowOf(empty);
        f.deleteRow(empty);
        QCOMPARE(f.messages.texts(), QStringList{"Really delete the directory " + q(empty) + " ?"});
        QCOMPARE(f.messages.shown()[0].kind, Messages::Kind::Question);
        QVERIFY(!exists(empty));
        QCOMPARE(f.grid().Cells(0, row), QString("DELETED"));
        QCOMPARE(f.grid().Cells(5, row), q(empty)); // the other cells stay
        QCOMPARE(w.resultLines().size(), 2);        // its line leaves the result list
        for (const QString& line : w.resultLines())
            QVERIFY(getField(line, 6) != q(empty));

        // Once more: no question, nothing done.
        f.messages.clear();
        QTest::mouseDClick(w.gridView()->viewport(), Qt::LeftButton, {},
                           w.gridView()->visualRect(f.grid().indexOf(0, row)).center());
        QCOMPARE(f.messages.texts(), QStringList{"Directory already deleted"});
        QCOMPARE(f.messages.shown()[0].kind, Messages::Kind::Plain);
    }

    void deletingATreeReportsFilesAndSavings()
    {
        Fixture f;
        f.drive.file("d/one", 1000);
        f.drive.file("d/two", 2500);
        f.drive.file("d/sub/three", 500);
        TfrmDirHog& w = f.shown();
        QVERIFY(f.scan("btTop"));
        const std::string dir = f.drive.path("d");
        f.deleteRow(dir);
        QCOMPARE(f.messages.texts(), QStringList({"Really delete the directory " + q(dir) + " ?", kNotEmpty,
                                                  "Deleted 3 files for a savings of 4,000 bytes."}));
        QCOMPARE(f.messages.shown()[2].kind, Messages::Kind::Plain);
        QVERIFY(!exists(dir));
        QCOMPARE(f.grid().Cells(0, 1), QString("DELETED"));
        QVERIFY(w.resultLines().isEmpty());
        QVERIFY(f.button("btTop")->isEnabled() && w.gridView()->isEnabled());
        QVERIFY(f.button("btDelete")->isVisible());
        QCOMPARE(w.statusText(), QString("Directories : 0")); // the count follows the list
    }

    void readOnlyAnsweredNoKeepsTheRowUnmarked()
    {
        Fixture f;
        f.drive.file("d/a", 1000);
        const std::string locked = f.drive.file("d/sub/c", 500, 0444);
        TfrmDirHog& w = f.shown();
        QVERIFY(f.scan("btTop"));
        const std::string dir = f.drive.path("d");
        f.messages.queueAnswer(Messages::Answer::Yes);
        f.messages.queueAnswer(Messages::Answer::Yes);
        f.messages.queueAnswer(Messages::Answer::No);
        f.deleteRow(dir);
        QCOMPARE(
            f.messages.texts(),
            QStringList({"Really delete the directory " + q(dir) + " ?", kNotEmpty,
                         q(locked) + " is read-only, delete this file and continue deleting other files? ",
                         "Deleted 1 files for a savings of 1,000 bytes. (Note: Deletion operation canceled "
                         "... not all files deleted)\n\n" +
                             q(dir) + " is still there."}));
        QVERIFY(exists(locked));
        QCOMPARE(w.statusText(), "Directories : 1 - " + q(dir) + " is still there");
        QCOMPARE(f.grid().Cells(0, 1), QString("      1 K"));
        QCOMPARE(w.resultLines().size(), 1);

        // Yes this time: all goes and the row is marked.
        f.messages.clear();
        f.deleteRow(dir);
        QCOMPARE(f.messages.texts().last(), QString("Deleted 1 files for a savings of 500 bytes."));
        QVERIFY(!exists(dir));
        QCOMPARE(f.grid().Cells(0, 1), QString("DELETED"));
    }

    // After a tree deletion the rows inside it follow the disk: marked, out of
    // the result list, counted no more, and never asked about again.
    void childRowsFollowTheirParent()
    {
        Fixture f;
        f.drive.file("plain/a", 3000);
        f.drive.file("plain/sub/b", 2000);
        f.drive.file("plain/sub/deeper/c", 1000);
        f.drive.file("other/d", 4000);
        TfrmDirHog& w = f.shown();
        QVERIFY(f.scan("btAll"));
        QCOMPARE(w.statusText(), QString("Directories : 5"));
        f.deleteRow(f.drive.path("plain"));
        QCOMPARE(f.messages.texts().last(), QString("Deleted 3 files for a savings of 6,000 bytes."));
        for (const char* gone : {"plain", "plain/sub", "plain/sub/deeper"})
            QCOMPARE(f.grid().Cells(0, f.rowOf(f.drive.path(gone))), QString("DELETED"));
        QVERIFY(f.grid().Cells(0, f.rowOf(f.drive.path("other"))) != "DELETED");
        QCOMPARE(w.resultLines().size(), 2);
        QCOMPARE(w.statusText(), QString("Directories : 2"));

        f.messages.clear();
        f.deleteRow(f.drive.path("plain/sub"));
        QCOMPARE(f.messages.texts(), QStringList{"Directory already deleted"});
    }

    // A directory that vanished behind the list's back is not asked about.
    void rowWhoseDirectoryWentElsewhereAnswersAlreadyDeleted()
    {
        Fixture f;
        f.drive.file("p/sub/x", 2000);
        f.shown();
        QVERIFY(f.scan("btAll"));
        test::removeTree(f.drive.path("p"));
        const int row = f.rowOf(f.drive.path("p/sub"));
        f.deleteRow(f.drive.path("p/sub"));
        QCOMPARE(f.messages.texts(), QStringList{"Directory already deleted"});
        QCOMPARE(f.grid().Cells(0, row), QString("DELETED"));
    }

    // A parent swapped for a link after the scan: refused, nothing asked.
    void parentSwappedForALinkIsRefused()
    {
        Fixture f;
        f.drive.file("D/swapme/s/f", 2000);
        const std::string victim = f.drive.file("D/victim/s/keep", 2000);
        f.shown();
        QVERIFY(f.scan("btAll"));
        QVERIFY(::rename(f.drive.path("D/swapme").c_str(), f.drive.path("D/swapme.moved").c_str()) == 0);
        f.drive.symlink("D/swapme", "victim");
        const std::string listed = f.drive.path("D/swapme/s");
        const int row = f.rowOf(listed);
        f.deleteRow(listed);
        QCOMPARE(f.messages.texts(), QStringList{q(listed) + " has changed since the scan; scan again"});
        QVERIFY(exists(victim));
        QVERIFY(f.grid().Cells(0, row) != "DELETED");
    }

    // Moving to the Trash instead: the whole tree goes at once, its rows
    // follow, and the ending says the space is not freed yet.
    void directoryMovedToTrash()
    {
        Fixture f;
        const QByteArray oldData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(f.drive.path(".data")));
        f.drive.file("t/a", 3000);
        f.drive.file("t/sub/b", 2000);
        f.shown();
        QVERIFY(f.scan("btAll"));
        f.messages.queueAnswer(Messages::Answer::Yes);
        f.messages.queueChoice(true);
        const std::string dir = f.drive.path("t");
        f.deleteRow(dir);
        QCOMPARE(f.messages.shown()[0].choice, QString("Move to Trash instead of deleting"));
        QVERIFY(!f.messages.shown()[0].checked);
        QCOMPARE(f.messages.texts().last(),
                 "Moved to Trash: " + q(dir) + "\nIts space is freed only when the Trash is emptied.");
        QVERIFY(exists(f.drive.path(".data/Trash/files/t/sub/b")));
        QCOMPARE(f.grid().Cells(0, f.rowOf(dir)), QString("DELETED"));
        QCOMPARE(f.grid().Cells(0, f.rowOf(f.drive.path("t/sub"))), QString("DELETED"));
        // Remembered: offered ticked next time.
        f.messages.clear();
        f.drive.file("u/c", 10);
        QVERIFY(f.scan("btAll"));
        f.messages.queueAnswer(Messages::Answer::No);
        f.deleteRow(f.drive.path("u"));
        QVERIFY(f.messages.shown().last().checked);
        f.messages.queueChoice(false);
        f.deleteRow(f.drive.path("u")); // Yes, unticked: deleted for good
        QVERIFY(!exists(f.drive.path("u")));
        QVERIFY(!exists(f.drive.path(".data/Trash/files/u")));
        if (oldData.isEmpty())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", oldData);
    }

    // The read-only file swapped for a hard link to another file while its
    // question is open: Yes changes nothing of that file, and the ending and
    // the status line say why the directory is still there.
    void readOnlyFileSwappedWhileAskedIsLeftAlone()
    {
        Fixture f;
        const std::string ro = f.drive.file("v/ro.txt", 10, 0444);
        const std::string secret = f.scratch.file("secret", 5, 0600);
        TfrmDirHog& w = f.shown();
        QVERIFY(f.scan("btTop"));
        f.messages.setWhileAsked([&](const QString& question) {
            if (question.contains("read-only")) {
                ::unlink(ro.c_str());
                QVERIFY(::link(secret.c_str(), ro.c_str()) == 0);
            }
        });
        const std::string dir = f.drive.path("v");
        f.deleteRow(dir);
        QCOMPARE(f.messages.texts().last(),
                 "Deleted 0 files for a savings of 0 bytes.\n\n" + q(dir) +
                     " is still there.\n\n1 not deleted: 1 changed since the scan\n"
                     "Changed since the scan - " +
                     q(ro));
        struct stat st;
        QVERIFY(::stat(secret.c_str(), &st) == 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
        QVERIFY(f.grid().Cells(0, f.rowOf(dir)) != "DELETED");
        QCOMPARE(w.statusText(), "Directories : 1 - " + q(dir) + " is still there: 1 changed since the scan");
    }

    // Yes to All on the first question of a tree full of dot files.
    void yesToAllAsksOnce()
    {
        Fixture f;
        for (const char* name : {"repo/.git/HEAD", "repo/.git/config", "repo/.gitignore", "repo/main.c"})
            f.drive.file(name, 100, 0444);
        f.shown();
        QVERIFY(f.scan("btTop"));
        f.messages.queueAnswer(Messages::Answer::Yes);
        f.messages.queueAnswer(Messages::Answer::Yes);
        f.messages.queueAnswer(Messages::Answer::YesToAll);
        f.deleteRow(f.drive.path("repo"));
        QCOMPARE(f.messages.texts().size(), 4);
        QCOMPARE(f.messages.texts().last(), QString("Deleted 4 files for a savings of 400 bytes."));
        QVERIFY(!exists(f.drive.path("repo")));
    }

    void noToEitherQuestionDeletesNothing()
    {
        Fixture f;
        f.drive.file("d/a", 1000);
        f.shown();
        QVERIFY(f.scan("btTop"));
        f.messages.queueAnswer(Messages::Answer::No);
        f.deleteRow(f.drive.path("d"));
        f.messages.queueAnswer(Messages::Answer::Yes);
        f.messages.queueAnswer(Messages::Answer::Cancel);
        f.deleteRow(f.drive.path("d"));
        QCOMPARE(f.messages.texts().size(), 3);
        QVERIFY(exists(f.drive.path("d/a")));
        QCOMPARE(f.grid().Cells(0, 1), QString("      0 K"));
    }

    // The real bytes of the row are deleted, never a path read back from the
    // shown text; a double click on the title row acts on the current row.
    void oddNameDeletedExactly()
    {
        Fixture f;
        const std::string odd = f.drive.dir("a\tb\xff");
        const std::string lookalike = f.drive.dir("a?b\xef\xbf\xbd");
        f.drive.file("a\tb\xff/f", 10);
        f.drive.file("a?b\xef\xbf\xbd/f", 10);
        TfrmDirHog& w = f.shown();
        QVERIFY(f.scan("btTop"));
        const int row = f.rowOf(odd);
        QCOMPARE(f.grid().Cells(5, row), f.grid().Cells(5, f.rowOf(lookalike)));
        w.gridView()->setRow(row);
        QSignalSpy done(w.runner(), &ScanRunner::finished);
        QTest::mouseDClick(w.gridView()->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(done.wait(10000));
        QCOMPARE(f.messages.texts().last(), QString("Deleted 1 files for a savings of 10 bytes."));
        QVERIFY(!exists(odd));
        QVERIFY(exists(lookalike + "/f"));
        QCOMPARE(f.grid().Cells(0, row), QString("DELETED"));
    }

    void driveRootsAndEmptyRowsAreRefused()
    {
        Fixture f;
        f.drive.file("d/a", 1000);
        f.drive.file("rootfile", 5000);
        TfrmDirHog& w = f.shown();
        // The empty row of a cleared grid: nothing happens.
        w.gridView()->setRow(1);
        w.btDeleteClick();
        QVERIFY(f.messages.shown().isEmpty());

        QVERIFY(f.scan("btAll"));
        f.deleteRow(f.drive.root());
        QCOMPARE(f.messages.texts(),
                 QStringList{"Can't delete " + q(f.drive.root()) + ": it is the root directory of a drive"});
        QVERIFY(exists(f.drive.path("rootfile")));
        QCOMPARE(f.grid().Cells(0, f.rowOf(f.drive.root())), QString("      4 K"));
    }

    void clipboardAndPrintKeepTheSizeOrder()
    {
        Fixture f;
        f.drive.file("aaa/f1", 1024);
        f.drive.file("aaa/f2", 1024);
        f.drive.file("aaa/f3", 1024);
        f.drive.file("Bbb/f", 5 * 1024);
        f.drive.file("ccc/f", 2 * 1024);
        TfrmDirHog& w = f.shown();
        QVERIFY(f.scan("btTop"));
        const QStringList lines = w.resultLines();

        w.SortbySize1Click(sortItem(w, "Sortbyfiles1"));
        QTRY_VERIFY(!w.busy());
        QCOMPARE(f.column(5).first(), q(f.drive.path("aaa")));
        QTest::mouseClick(f.button("btClip"), Qt::LeftButton);
        QCOMPARE(f.clipboard.text(), lines.join("\r\n") + "\r\n");
        QVERIFY(f.clipboard.text().startsWith("      5 K\t"));

        QTest::mouseClick(f.button("btPrint"), Qt::LeftButton);
        QCOMPARE(f.printing.dialogsShown(), 1);
        QVERIFY(QFileInfo(q(f.scratch.path("out.pdf"))).size() > 0);
        QVERIFY(f.messages.shown().isEmpty());

        f.printing.setCancel(true);
        QTest::mouseClick(f.button("btPrint"), Qt::LeftButton);
        QCOMPARE(f.printing.dialogsShown(), 2);
        QVERIFY(f.messages.shown().isEmpty());
    }

    // While a sort reads the rows on its worker only the grid answers: a
    // double click deletes nothing and the buttons wait; all come back after.
    void nothingIsDeletedWhileASortRuns()
    {
        Fixture f;
        f.drive.file("aaa/f", 1024);
        f.drive.file("bbb/f", 2 * 1024);
        TfrmDirHog& w = f.shown();
        QVERIFY(f.scan("btTop"));
        WalkGate sortGate; // released when it goes
        w.setBeforeSort([&] { sortGate.hold(); });
        w.SortbySize1Click(sortItem(w, "SortbyName1"));
        QVERIFY(sortGate.waitUntilHeld());
        QVERIFY(w.busy());
        QVERIFY(!f.button("btDelete")->isEnabled());
        QVERIFY(!f.button("btTop")->isEnabled());
        QVERIFY(w.gridView()->isEnabled());
        w.gridView()->setRow(1);
        QTest::mouseDClick(w.gridView()->viewport(), Qt::LeftButton);
        QVERIFY(f.messages.shown().isEmpty());
        sortGate.release();
        QTRY_VERIFY(!w.busy());
        QVERIFY(f.button("btDelete")->isEnabled());
        QVERIFY(f.button("btTop")->isEnabled());
        QVERIFY(exists(f.drive.path("aaa/f")) && exists(f.drive.path("bbb/f")));
        QCOMPARE(checkedSortItems(w), QString("SortbyName1"));
    }

    void sortMenuSortsTheGridOnly()
    {
        Fixture f;
        f.drive.file("aaa/f1", 1024, 0644, test::localTime(2020, 1, 1));
        f.drive.file("aaa/f2", 1024, 0644, test::localTime(2020, 1, 1));
        f.drive.file("aaa/f3", 1024, 0644, test::localTime(2020, 1, 1));
        f.drive.file("Bbb/f", 5 * 1024, 0644, test::localTime(2019, 1, 1));
        f.drive.file("ccc/x/f", 2 * 1024, 0644, test::localTime(2024, 1, 1));
        f.drive.file("ccc/y/f", 1, 0644, test::localTime(2021, 1, 1));
        TfrmDirHog& w = f.shown();
        QVERIFY(f.scan("btTop"));
        const QString a = q(f.drive.path("aaa")), b = q(f.drive.path("Bbb")), c = q(f.drive.path("ccc"));
        QCOMPARE(f.column(5), QStringList({b, a, c}));

        w.SortbySize1Click(sortItem(w, "Sortbyfiles1"));
        QTRY_VERIFY(!w.busy());
        QCOMPARE(f.column(5), QStringList({a, c, b}));
        QCOMPARE(checkedSortItems(w), QString("Sortbyfiles1"));
        w.SortbySize1Click(sortItem(w, "Sortbysubdirectories1"));
        QTRY_VERIFY(!w.busy());
        QCOMPARE(f.column(5).first(), c);
        w.SortbySize1Click(sortItem(w, "Sortbydate1"));
        QTRY_VERIFY(!w.busy());
        QCOMPARE(f.column(5), QStringList({c, a, b}));
        w.SortbySize1Click(sortItem(w, "SortbyName1"));
        QTRY_VERIFY(!w.busy());
        QCOMPARE(f.column(5), QStringList({a, b, c})); // letter case does not count
        QCOMPARE(checkedSortItems(w), QString("SortbyName1"));

        // A deleted row comes before every size.
        f.deleteRow(f.drive.path("ccc"));
        w.SortbySize1Click(sortItem(w, "SortbySize1"));
        QTRY_VERIFY(!w.busy());
        QCOMPARE(f.column(5), QStringList({c, b, a}));
        QCOMPARE(f.column(0).first(), QString("DELETED"));
        QCOMPARE(f.grid().rowPath(1), f.drive.path("ccc"));

        // A new scan clears the grid and checks Size again.
        w.SortbySize1Click(sortItem(w, "SortbyName1"));
        QTRY_VERIFY(!w.busy());
        QVERIFY(f.scan("btTop"));
        QCOMPARE(checkedSortItems(w), QString("SortbySize1"));
        QCOMPARE(f.column(5), QStringList({b, a}));
    }

    void browseOpensOnTheRowsDirectory()
    {
        Fixture f;
        f.drive.file("Data/f", 2048);
        f.shown();
        QVERIFY(f.scan("btTop"));
        std::string shownDir;
        QString shownMask;
        OnModal<TfrmBrowse> browse([&](TfrmBrowse& b) {
            shownDir = b.directory();
            shownMask = b.mask();
        });
        QTest::mouseClick(f.button("btBrowse"), Qt::LeftButton);
        QCOMPARE(browse.seen, 1);
        QCOMPARE(shownDir, f.drive.path("Data"));
        QCOMPARE(shownMask, QString("*.*"));
    }

    void sortButtonOpensTheMenuBelowTheGridsMiddle()
    {
        Fixture f;
        f.drive.file("Data/f", 2048);
        TfrmDirHog& w = f.shown();
        QVERIFY(f.scan("btTop"));
        QTest::mouseClick(f.button("btSort"), Qt::LeftButton);
        QTRY_VERIFY(w.sortMenu()->isVisible());
        QCOMPARE(w.sortMenu()->pos(), w.gridView()->mapToGlobal(QPoint(w.gridView()->width() / 2, 30)));
        w.sortMenu()->close();
    }

    void hiddenFoldersAndSpaceOnDiskAreChosenAndRemembered()
    {
        Fixture f;
        f.drive.file("docs/report.txt", 4000);
        f.drive.file(".cache/deep/blob", 9000);
        f.drive.file(".config/rc", 100);
        const std::string r = f.drive.root();
        {
            TfrmDirHog& w = f.shown();
            ScanChoices* choices = w.scanChoices();
            QCOMPARE(choices->hiddenBox()->text(), QString("Include hidden files and folders"));
            QCOMPARE(choices->apparentButton()->text(), QString("Apparent size"));
            QCOMPARE(choices->diskButton()->text(), QString("Space on disk"));
            QVERIFY(!choices->hiddenBox()->isChecked());
            QVERIFY(choices->apparentButton()->isChecked());
            // Between the grid and the status line, across the window.
            QCOMPARE(choices->y(), w.gridView()->geometry().bottom() + 1);
            QCOMPARE(choices->width(), w.width());

            QVERIFY(f.scan("btAll"));
            QVERIFY(f.rowOf(r + "/.cache/deep") == 0);
            QCOMPARE(f.grid().Cells(0, 0), QString("Size"));
            choices->hiddenBox()->click();
            choices->diskButton()->click();
            QVERIFY(f.scan("btAll"));
            QVERIFY(f.rowOf(r + "/.cache/deep") != 0);
            QVERIFY(f.rowOf(r + "/.config") != 0);
            QCOMPARE(f.grid().Cells(0, 0), QString("On disk"));
            // Sparse test files take no blocks: every line is 0 K on disk.
            QCOMPARE(f.grid().Cells(0, f.rowOf(r + "/.cache/deep")).trimmed(), QString("0 K"));
        }
        TfrmDirHog& again = f.open();
        QVERIFY(again.scanChoices()->hiddenBox()->isChecked());
        QVERIFY(again.scanChoices()->diskButton()->isChecked());
        again.scanChoices()->hiddenBox()->click();
        again.scanChoices()->apparentButton()->click();
    }

    // "Folder…" adds a ticked box for the chosen folder, scanned like a drive
    // root: its directories listed, none above it, its "% used" of its own
    // file system. Another window offers the folder too, unticked.
    void folderChosenInTheWindowIsScanned()
    {
        Fixture f;
        TempTree home;
        home.file("R&D notes/big.bin", 5000);
        home.file("R&D notes/inner/small.bin", 100);
        f.drive.file("outside/other.bin", 7000);
        f.folders.answers = {q(home.path("R&D notes")), q(home.path("missing"))};
        const std::string folder = home.path("R&D notes");
        {
            TfrmDirHog& w = f.shown();
            DrivePanel* panel = w.drivePanel();
            QVERIFY(panel->folderButton()->isVisibleTo(&w));
            QTest::mouseClick(panel->folderButton(), Qt::LeftButton);
            QCOMPARE(f.folders.asked, 1);
            QVERIFY(panel->box(3)->isVisibleTo(&w));
            QVERIFY(panel->box(3)->isChecked());
            QCOMPARE(panel->selectedDrives().size(), size_t(2)); // the current drive stays ticked
            QVERIFY(panel->selectedDrives()[1].folder);
            // Its path is the caption (cut in the middle where it is long), "&" shown as it is.
            QCOMPARE(panel->selectedDrives()[1].caption, q(folder));
            QVERIFY(panel->box(3)->toolTip().startsWith(q(folder) + "\n"));
            const QString shown = panel->shownCaption(3);
            QVERIFY(shown.endsWith("R&D notes"));
            QCOMPARE(panel->box(3)->text().count('&'), 2);
            QVERIFY(f.button("btAll")->isEnabled());
            // The button moved on to the next place, inside the panel.
            QVERIFY(panel->folderButton()->y() > panel->box(3)->y());
            QVERIFY(panel->rect().contains(panel->folderButton()->geometry()));

            // A path that is no folder is refused with its reason; no box.
            QTest::mouseClick(panel->folderButton(), Qt::LeftButton);
            QVERIFY(!panel->box(4)->isVisibleTo(&w));
            QCOMPARE(f.messages.shown().size(), qsizetype(1));
            QVERIFY(f.messages.shown()[0].text.startsWith("Can't open folder "));

            panel->box(1)->click(); // the drive off: the folder alone
            QVERIFY(f.scan("btAll"));
            QVERIFY(f.rowOf(folder) != 0);
            QVERIFY(f.rowOf(folder + "/inner") != 0);
            QCOMPARE(f.rowOf(f.drive.path("outside")), 0);
            QCOMPARE(f.rowOf(home.root()), 0);
            const QString used = f.grid().Cells(1, f.rowOf(folder)).trimmed();
            bool number = false;
            used.toDouble(&number);
            QVERIFY2(number, qPrintable(used)); // "???" when no capacity is known
            w.close();
        }
        QCOMPARE(f.drives.folders().size(), size_t(1));
        // Remembered with the drives ticked when the window closed.
        TfrmDirHog& again = f.open();
        again.show();
        QVERIFY(again.drivePanel()->box(3)->toolTip().startsWith(q(folder) + "\n"));
        QVERIFY(again.drivePanel()->box(3)->isChecked());
        QVERIFY(!again.drivePanel()->box(1)->isChecked());
        again.drivePanel()->box(1)->click();
        again.drivePanel()->box(3)->click();
        again.close();
    }

    // Folders named on the command line (kelvane FOLDER...) are ticked, and
    // only they, the first time a window opens.
    void startFoldersAreTheTickedBoxes()
    {
        Fixture f;
        TempTree home;
        home.file("projects/a.bin", 3000);
        std::string program = "kelvane", given = home.path("projects/");
        char* argv[] = {program.data(), given.data()};
        const ShellCommandLine commandLine = parseShellCommandLine(2, argv);
        QCOMPARE(commandLine.exitStatus, -1);
        QCOMPARE(commandLine.folders.size(), size_t(1));
        f.drives.setStartFolders(commandLine.folders);
        TfrmDirHog& w = f.shown();
        const std::vector<Drive> selected = w.drivePanel()->selectedDrives();
        QCOMPARE(selected.size(), size_t(1));
        QCOMPARE(selected[0].root, home.path("projects"));
        QVERIFY(f.scan("btAll"));
        QVERIFY(f.rowOf(home.path("projects")) != 0);
        QCOMPARE(f.rowOf(f.drive.root()), 0);
        w.drivePanel()->box(1)->click(); // leave the remembered ticks as the other tests expect
        w.drivePanel()->box(3)->click();
        w.close();
    }
};

QTEST_MAIN(TfrmDirHogTest)
#include "TfrmDirHog_test.moc"
