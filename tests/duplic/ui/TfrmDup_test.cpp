#include "common/ui/DrivePanel.h"
#include "common/ui/ResultGridView.h"
#include "common/ui/ScanChoices.h"
#include "common/ui/TfrmBrowse.h"
#include "common/ui/TfrmReallyDelete.h"
#include "duplic/findduplicates.h"
#include "duplic/ui/TfrmDup.h"
#include "duplic/ui/binicons.h"
#include "support/pinnedsettings.h"
#include "support/walkgate.h"
#include "support/windowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <fstream>
#include <stdexcept>
#include <unistd.h>

using namespace kelvane;
using namespace kelvane::test;

namespace {

struct Fixture : WindowFixture<TfrmDup> {
    explicit Fixture(bool duplicates)
    {
        findDuplicates = duplicates;
        open();
    }
    QString status() const { return get<QLabel>("pnlSel")->text(); }
    bool scan(const char* start = "btScan") { return WindowFixture::scan(start); }
    void mark(int row)
    {
        window->gridView()->setRow(row);
        QTest::mouseClick(button("btDelete"), Qt::LeftButton);
    }
};

QImage iconImage(const QIcon& icon)
{
    return icon.pixmap(QSize(16, 16)).toImage();
}

} // namespace

class TfrmDupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::pinSettings(); }

    void failedScanIsReportedAndTheWindowRestored()
    {
        Fixture f(true);
        f.drive.file("a/same.txt", 400000);
        f.drive.file("fail/same.txt", 400000);
        f.window->setBeforeDirectory([](const WalkDir& dir) {
            if (dir.name() == "fail")
                throw std::runtime_error("disk on fire");
        });
        f.window->show();
        QVERIFY(f.scan());
        QCOMPARE(f.messages.texts(), QStringList({"The scan failed: disk on fire."}));
        QCOMPARE(f.messages.shown()[0].kind, Messages::Kind::Error);
        QVERIFY(!f.window->scanning());
        QVERIFY(!f.button("btAbort")->isVisible());
        for (const char* name : {"btScan", "btExact", "btClose"})
            QVERIFY2(f.button(name)->isEnabled(), name);
        f.window->setBeforeDirectory({});
        f.messages.clear();
        QVERIFY(f.scan());
        QCOMPARE(f.grid().RowCount(), 3);
        QVERIFY(f.messages.shown().isEmpty());
    }

    void unreadableDirectoriesAreCountedOnTheStatusLine()
    {
        Fixture f(true);
        f.drive.file("kept/same.txt", 400000);
        f.drive.file("same.txt", 400000);
        f.drive.file("gone1/f", 10);
        f.drive.file("gone2/f", 10);
        f.window->setBeforeDirectory([](const WalkDir& dir) {
            if (dir.name().starts_with("gone"))
                ::rename(dir.path().c_str(), (dir.path() + "-moved").c_str());
        });
        f.window->show();
        QVERIFY(f.scan());
        QCOMPARE(f.status(), QString("2 directories could not be read"));
        const QString tip = f.get<QLabel>("pnlSel")->toolTip();
        QVERIFY2(tip.contains(q(f.drive.path("gone1"))) && tip.contains(q(f.drive.path("gone2"))),
                 qPrintable(tip));
        QCOMPARE(f.grid().RowCount(), 3); // the rest is still found
    }

    void layoutTableOfEachMode_data()
    {
        QTest::addColumn<bool>("duplicates");
        QTest::newRow("duplicates") << true;
        QTest::newRow("file hogs") << false;
    }

    // Every control's caption, hint, visibility and place in each mode; the
    // columns; and what the window starts with.
    void layoutTableOfEachMode()
    {
        QFETCH(bool, duplicates);
        Fixture f(duplicates);
        f.setDriveCaptions({"/", "/data"}); // short, as mount paths usually are
        TfrmDup& w = f.open();
        const bool d = duplicates;
        const QString look = d ? "&Look for duplicates larger than:" : "&Look for file hogs larger than:";
        const std::vector<ControlLine> table = {
            {"", d ? "Find and delete duplicate files" : "Find and delete file hogs", {}, true, anywhere()},
            {"Label1", look, {}, true, anywhere()},
            {"SpinEdit1", look, "File size in KiloBytes", true, anywhere()},
            {"lblKB", "KB", {}, true, anywhere()},
            {"Label3", "Matc&hing these files:", {}, true, anywhere()},
            {"cbWildCard", "Matc&hing these files:", "Wildcard pattern for matching file types", true,
             anywhere()},
            {"lblWild", "All files", {}, true, anywhere()},
            {"Label4", "D&rives:", {}, true, clearOf("Label1")},
            {"pnlDrives", {}, {}, true, fromRight(10)},
            {"pnlDrives", {}, {}, true, clearOf("lblWild")},
            {"btScan", "&Scan", d ? "Duplicates on file name only" : "Start scanning for file hogs", true,
             left(3)},
            {"btExact", "&Exact", "Search for duplicates based on file name AND size", d, after("btScan")},
            {"btContent", "Co&ntent", "Search for duplicates based on file name AND content", d,
             d ? after("btExact") : sameAs("btExact")},
            {"btClose", "Close", "Close window", true, after(d ? "btContent" : "btScan")},
            {"btAbort", "&Abort", "Abort scan", false, sameAs("btDelete")},
            {"btDelete", "&Mark", "Mark file for deletion (double click on grid also works)", false,
             after(d ? "btClose" : "btExact")},
            {"btPrint", "&Print", "Print list of files", false, after("btDelete")},
            {"btClip", "C&lipboard", "Copy list of files to clipboard", false, after("btPrint")},
            {"btBrowse", "&Browse", "Browse this file and directory", false, after("btClip")},
            {"btSort", "S&ort", "Sort columns", false, after("btBrowse")},
            {"grid", {}, "Double click to mark for deletion", true, at(0, 172)},
            {"pnlChoices", {}, {}, true, between("grid", "pnlSel")},
            {"pnlSel", {}, {}, true, atBottom(20)},
        };
        const std::vector<ColumnLine> duplicateColumns = {{"Filename", 106, {}},
                                                          {"Size in K", 54, "9007199254740991 K"},
                                                          {"Date", 64, "12/28/2026"},
                                                          {"Time", 64, "12:58:58 PM"},
                                                          {"Directory", 0, ""}};
        const std::vector<ColumnLine> hogColumns = {{"Size in K", 62, "9007199254740991 K"},
                                                    {"Date", 64, "12/28/2026"},
                                                    {"Time", 64, "12:58:58 PM"},
                                                    {"FileName", 0, ""}};
        const std::vector<ColumnLine>& columns = d ? duplicateColumns : hogColumns;
        QCOMPARE(w.size(), QSize(640, 406));
        QCOMPARE(w.minimumSize(), QSize(635, 344));
        w.show();
        for (const QSize size : {QSize(640, 406), w.minimumSize(), QSize(900, 500)}) {
            w.resize(size);
            QVERIFY_NO_DIFFERENCES(layoutDifferences(w, table));
            QVERIFY_NO_DIFFERENCES(columnDifferences(*w.gridView(), columns, 25));
        }
        for (QPushButton* b : w.findChildren<QPushButton*>()) // those shown fit the narrowest window
            QVERIFY2(b->isHidden() || b->geometry().right() < w.minimumWidth(), qPrintable(b->text()));
        QVERIFY_NO_DIFFERENCES(sharedAccelerators(w));
        QVERIFY(f.get<QLabel>("Label1")->font().bold());
        QVERIFY(f.button("btScan")->isEnabled());
        QCOMPARE(f.grid().RowCount(), 2);
        QVERIFY(w.drivePanel()->box(1)->isChecked());
        QVERIFY(!w.drivePanel()->box(2)->isChecked());
    }

    // Long mount paths widen the drive panel; the window makes room for it.
    void wideDrivePanelKeepsClearOfTheControls()
    {
        Fixture f(true);
        std::vector<Drive> drives;
        for (int i = 0; i < 10; ++i)
            drives.push_back(
                Drive{f.drive.root(), QStringLiteral("/mnt/usb-disk-%1").arg(i), "", "", "", "", ""});
        f.drives = FixedDriveList(drives);
        f.window = std::make_unique<TfrmDup>(f.services);
        f.window->show();
        QVERIFY(f.window->drivePanel()->width() > 205); // two columns of whole captions
        QCOMPARE(f.window->drivePanel()->shownCaption(10), QString("/mnt/usb-disk-9"));
        QVERIFY(f.window->width() >= f.window->minimumWidth());
        const int label4 = f.get<QLabel>("Label4")->x();
        QVERIFY(label4 > f.get<QLabel>("Label1")->x() + f.get<QLabel>("Label1")->sizeHint().width());
        QVERIFY(label4 > f.get<QLabel>("lblWild")->x() + f.get<QLabel>("lblWild")->sizeHint().width());
    }

    void sizeLimitAndPatternLabels()
    {
        Fixture f(true);
        auto* spin = f.get<QSpinBox>("SpinEdit1");
        // Arrows only, 0 to 50000 in steps of 50.
        QCOMPARE(spin->minimum(), 0);
        QCOMPARE(spin->maximum(), 50000);
        QCOMPARE(spin->singleStep(), 50);
        QCOMPARE(spin->value(), 250);
        QVERIFY(spin->findChild<QLineEdit*>()->isReadOnly());
        auto* patterns = f.get<QComboBox>("cbWildCard");
        QCOMPARE(patterns->currentText(), QString("*.*"));
        QCOMPARE(patterns->count(), 15);
        QCOMPARE(patterns->itemText(14), QString("*.zip"));
        auto* kb = f.get<QLabel>("lblKB");
        QCOMPARE(kb->text(), QString("KB"));
        const QList<QPair<int, QString>> cases = {{0, "KB (0 bytes)"},       {950, "KB (972800 bytes)"},
                                                  {1000, "KB ( 1.0 Meg)"},   {1050, "KB ( 1.0 Meg)"},
                                                  {12350, "KB (12.3 Meg)"},  {50000, "KB (50.0 Meg)"},
                                                  {250, "KB (256000 bytes)"}};
        for (const auto& [value, text] : cases) {
            spin->setValue(value);
            QCOMPARE(kb->text(), text);
        }
        QTest::keyClick(spin, Qt::Key_Up); // an arrow step
        QCOMPARE(spin->value(), 300);
        QCOMPARE(kb->text(), QString("KB (307200 bytes)"));

        auto* pattern = f.get<QComboBox>("cbWildCard");
        pattern->setEditText("*.bak");
        QCOMPARE(f.get<QLabel>("lblWild")->text(), QString());
        pattern->setEditText("*.*");
        QCOMPARE(f.get<QLabel>("lblWild")->text(), QString("All files"));
    }

    void duplicatesScanAndExact()
    {
        Fixture f(true);
        const int64_t when = localTime(2024, 3, 5, 14, 37, 58);
        f.drive.file("a/readme.txt", 300 * 1024, 0644, when);
        f.drive.file("b/README.TXT", 260 * 1024, 0644, when);
        f.drive.file("c/ReadMe.txt", 300 * 1024 + 5, 0644, when);
        f.drive.file("a/alone.txt", 900 * 1024);
        f.drive.file("b/small.txt", 250 * 1024); // not above the limit
        f.drive.file("a/small.txt", 250 * 1024);
        f.drive.file(".cache/readme.txt", 300 * 1024);
        QVERIFY(f.scan());

        QCOMPARE(f.window->resultRows(), 3);
        QCOMPARE(f.grid().RowCount(), 4);
        QCOMPARE(f.grid().Cells(0, 1), QString("readme.txt    "));
        QCOMPARE(f.grid().Cells(1, 1), QString("  260 K"));
        QCOMPARE(f.grid().Cells(2, 1), QString("3/5/2024"));
        QCOMPARE(f.grid().Cells(3, 1), QString("2:37:58 PM"));
        QCOMPARE(f.grid().Cells(4, 1), q(f.drive.path("b/")));
        QCOMPARE(f.grid().rowPath(1), f.drive.path("b/README.TXT"));
        QCOMPARE(f.window->resultLines().first(),
                 "readme.txt    \t  260 K\t3/5/2024\t2:37:58 PM\t" + q(f.drive.path("b/")));
        for (const char* shown : {"btDelete", "btPrint", "btClip", "btBrowse"})
            QVERIFY2(f.button(shown)->isVisible() || !f.button(shown)->isHidden(), shown);
        QVERIFY(f.button("btSort")->isHidden());
        QVERIFY(f.button("btAbort")->isHidden());
        QVERIFY(f.messages.shown().isEmpty());
        // The design's captions give Look and Clipboard one key: Alt+L moves between them.
        QCOMPARE(sharedAccelerators(*f.window),
                 QStringList{"C&lipboard / &Look for duplicates larger than:"});

        QVERIFY(f.scan("btExact"));
        QCOMPARE(f.window->resultRows(), 2); // 260 K stands alone
        QCOMPARE(f.grid().rowPath(1), f.drive.path("a/readme.txt"));
        QCOMPARE(f.grid().rowPath(2), f.drive.path("c/ReadMe.txt"));
    }

    void noFilesFound()
    {
        Fixture f(false);
        f.drive.file("small.txt", 1000);
        QVERIFY(f.scan());
        QCOMPARE(f.messages.texts(), QStringList({"No files found."}));
        QCOMPARE(f.messages.shown().first().kind, Messages::Kind::Information);
        QCOMPARE(f.window->resultRows(), 0);
        QCOMPARE(f.grid().RowCount(), 2);
        QVERIFY(f.button("btDelete")->isHidden());
        QVERIFY(f.button("btPrint")->isHidden());
        QVERIFY(f.button("btScan")->isEnabled());
        // Nothing to mark on the empty row.
        f.window->gridView()->setRow(1);
        f.window->DeleteAllFiles();
        QCOMPARE(f.window->markedFileCount(), 0);
        QVERIFY(f.window->markedPaths().empty());
    }

    void markingTogglesAndCounts()
    {
        Fixture f(false);
        f.drive.file("big.bin", 5000 * 1024);
        f.drive.file("mid.bin", 300 * 1024);
        f.drive.file("small.bin", 260 * 1024);
        f.window->show();
        QVERIFY(f.scan());
        QCOMPARE(f.window->resultRows(), 3);
        const QImage empty = iconImage(emptyBinIcon());
        const QImage full = iconImage(fullBinIcon());
        QCOMPARE(iconImage(f.button("btDelete")->icon()), empty);

        f.mark(1);
        QCOMPARE(f.grid().Cells(2, 1), QString("MARKED"));
        QCOMPARE(f.window->markedFileCount(), 1);
        QCOMPARE(f.status(), QString("1 files 5,120,000 bytes"));
        QCOMPARE(f.window->gridView()->Row(), 2); // moved down
        QCOMPARE(iconImage(f.button("btDelete")->icon()), full);

        // The Delete key marks like the button; other keys do nothing.
        QTest::keyClick(f.window->gridView(), Qt::Key_Insert);
        QCOMPARE(f.grid().Cells(2, 2), f.grid().Cells(2, 3)); // both still show their times
        QTest::keyClick(f.window->gridView(), Qt::Key_Delete);
        QCOMPARE(f.grid().Cells(2, 2), QString("MARKED"));
        QCOMPARE(f.window->gridView()->Row(), 3);
        // On the last row the current row stays.
        QTest::mouseClick(f.button("btDelete"), Qt::LeftButton);
        QCOMPARE(f.window->gridView()->Row(), 3);
        QCOMPARE(f.status(), QString("3 files 5,693,440 bytes"));

        // Taking a mark back, and marking again.
        f.window->gridView()->setRow(2);
        f.window->gridDblClick();
        QCOMPARE(f.grid().Cells(2, 2), QString("OOPS"));
        QCOMPARE(f.window->gridView()->Row(), 2); // a double click does not move
        QCOMPARE(f.window->markedFileCount(), 2);
        QCOMPARE(f.window->markedPaths(),
                 std::vector<std::string>({f.drive.path("big.bin"), f.drive.path("small.bin")}));
        f.window->gridDblClick();
        QCOMPARE(f.grid().Cells(2, 2), QString("MARKED"));
        QCOMPARE(f.window->markedPaths().back(), f.drive.path("mid.bin"));

        for (int row = 1; row <= 3; ++row)
            f.window->deleteOneFile(row);
        QCOMPARE(f.window->markedFileCount(), 0);
        QCOMPARE(f.status(), QString("0 files 0 bytes"));
        QCOMPARE(iconImage(f.button("btDelete")->icon()), empty);
        QVERIFY(f.window->markedPaths().empty());
        // The result list never shows marks.
        QVERIFY(!f.window->resultLines().join('\n').contains("MARKED"));
        f.window->deleteOneFile(4); // beyond the result: nothing
        QCOMPARE(f.window->markedFileCount(), 0);

        // A new scan forgets the marks, and the line that counted them.
        f.mark(1);
        QCOMPARE(f.status(), QString("1 files 5,120,000 bytes"));
        QVERIFY(f.scan());
        QCOMPARE(f.window->markedFileCount(), 0);
        QVERIFY2(!f.status().endsWith("bytes"), qPrintable(f.status()));

        // Tab leaves the grid for the next control; the current cell stays.
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        ResultGridView* grid = f.window->gridView();
        grid->setFocus();
        grid->setRow(2);
        const QModelIndex current = grid->currentIndex();
        QTest::keyClick(grid, Qt::Key_Tab);
        QVERIFY(!grid->hasFocus());
        QCOMPARE(grid->currentIndex(), current);
    }

    // A name with a tab, a newline and a byte that is not UTF-8 keeps the
    // columns, and marking then deleting it removes exactly that file.
    void oddNameMarkedAndDeletedExactly()
    {
        Fixture f(true);
        const std::string odd = "Odd\tname\nhere\xff.dat";
        const std::string oddPath = f.drive.file("a/" + odd, 300 * 1024);
        const std::string twin = f.drive.file("b/" + odd, 300 * 1024);
        const std::string lookalike = f.drive.file("b/odd?name?here\xef\xbf\xbd.dat", 300 * 1024);
        QVERIFY(f.scan());
        QCOMPARE(f.window->resultRows(), 2); // the look-alike is no duplicate
        const int row = f.rowOf(oddPath);
        QVERIFY(row > 0);
        QCOMPARE(f.grid().Cells(0, row), QString("odd?name?here\uFFFD.dat"));
        QCOMPARE(f.grid().Cells(1, row), QString("  300 K"));
        QCOMPARE(f.grid().Cells(4, row), q(f.drive.path("a/")));
        for (const QString& line : f.window->resultLines())
            QCOMPARE(line.count('\t'), 4);

        f.mark(row);
        QCOMPARE(f.window->markedFileCount(), 1);
        QCOMPARE(f.window->markedPaths(), std::vector<std::string>({oddPath}));
        f.window->show();
        AnswerDeletion confirm;
        f.window->close();
        QCOMPARE(confirm.seen, 1);
        QCOMPARE(f.messages.texts(),
                 QStringList({"Really delete?", "Deleted 1 files for a savings of 307,200 bytes."}));
        QVERIFY(!exists(oddPath));
        QVERIFY(exists(twin));
        QVERIFY(exists(lookalike));
    }

    void searchPathMarkerShownButNeverMarked()
    {
        Fixture f(true);
        const std::string inPath = f.drive.file("bin/tool", 300 * 1024);
        f.drive.file("opt/tool", 300 * 1024);
        f.searchPath.GetSearchPath(QByteArray::fromStdString(f.drive.path("bin")));
        QVERIFY(f.scan());
        const int row = f.rowOf(inPath);
        QVERIFY(row > 0);
        QCOMPARE(f.grid().Cells(4, row), q(f.drive.path("bin/")) + "*(SEARCHPATH)*");
        f.mark(row);
        QCOMPARE(f.window->markedPaths(), std::vector<std::string>({inPath}));
        QCOMPARE(f.window->markedByteCount(), 300 * 1024);
        f.window->deleteOneFile(row);

        Fixture h(false);
        const std::string hog = h.drive.file("bin/tool", 300 * 1024);
        h.searchPath.GetSearchPath(QByteArray::fromStdString(h.drive.path("bin")));
        QVERIFY(h.scan());
        QCOMPARE(h.grid().Cells(3, 1), q(hog) + "*(SEARCHPATH)*");
        h.mark(1);
        QCOMPARE(h.window->markedPaths(), std::vector<std::string>({hog}));
    }

    void markedFileGoneBeforeClosingIsReported()
    {
        Fixture f(false);
        const std::string one = f.drive.file("one.bin", 400 * 1024);
        const std::string two = f.drive.file("two.bin", 300 * 1024);
        QVERIFY(f.scan());
        f.mark(1);
        f.mark(2);
        QCOMPARE(f.window->markedByteCount(), 700 * 1024);
        QVERIFY(::unlink(one.c_str()) == 0);
        f.window->show();
        AnswerDeletion confirm;
        f.window->close();
        QCOMPARE(confirm.heading, QString("The following 2 files will be deleted."));
        QCOMPARE(f.messages.texts(),
                 QStringList({"Really delete?", "Deleted 1 files for a savings of 307,200 bytes.\n\n"
                                                "1 not deleted: 1 already gone\nAlready gone - " +
                                                    q(one)}));
        QVERIFY(!exists(two));
    }

    // Unmarking takes away exactly what marking added, whatever became of
    // the file meanwhile.
    void markResizeUnmarkLeavesNothing()
    {
        Fixture f(false);
        const std::string one = f.drive.file("one.bin", 1000 * 1024);
        f.drive.file("two.bin", 300 * 1024);
        QVERIFY(f.scan());
        f.mark(1);
        QCOMPARE(f.status(), QString("1 files 1,024,000 bytes"));
        QVERIFY(::truncate(one.c_str(), 5000000) == 0);
        f.window->gridView()->setRow(1);
        f.window->gridDblClick();
        QCOMPARE(f.status(), QString("0 files 0 bytes"));
        QCOMPARE(f.window->markedByteCount(), 0);
        QVERIFY(::unlink(one.c_str()) == 0);
        f.window->gridDblClick(); // marked while missing: listed, not counted
        f.window->gridDblClick();
        QCOMPARE(f.status(), QString("0 files 0 bytes"));
        f.window->show();
        f.window->close(); // nothing counted: no confirmation
        QVERIFY(f.messages.texts().isEmpty());
    }

    // A marked file rewritten after the scan is skipped and named.
    void rewrittenMarkedFileIsSkipped()
    {
        Fixture f(false);
        const std::string one = f.drive.file("one.bin", 400 * 1024);
        const std::string two = f.drive.file("two.bin", 300 * 1024);
        QVERIFY(f.scan());
        f.mark(1);
        f.mark(2);
        test::setMtime(one, localTime(2020, 1, 1)); // same size, other content time
        f.window->show();
        AnswerDeletion confirm;
        f.window->close();
        QCOMPARE(f.messages.texts(),
                 QStringList({"Really delete?", "Deleted 1 files for a savings of 307,200 bytes.\n\n"
                                                "1 not deleted: 1 changed since the scan\n"
                                                "Changed since the scan - " +
                                                    q(one)}));
        QVERIFY(exists(one));
        QVERIFY(!exists(two));
    }

    // Every copy of a name marked: a warning first, with the choice to stay.
    void allCopiesMarkedWarnsBeforeTheConfirmation()
    {
        Fixture f(true);
        const std::string a = f.drive.file("x/report.doc", 300 * 1024);
        const std::string b = f.drive.file("y/REPORT.doc", 300 * 1024);
        f.drive.file("x/other.doc", 300 * 1024);
        f.drive.file("y/other.doc", 300 * 1024);
        QVERIFY(f.scan());
        QCOMPARE(f.window->resultRows(), 4);
        f.mark(f.rowOf(a));
        f.mark(f.rowOf(b));
        f.mark(f.rowOf(f.drive.path("x/other.doc")));
        f.window->show();
        f.messages.queueAnswer(Messages::Answer::No);
        f.window->close();
        QCOMPARE(f.messages.texts(),
                 QStringList{"All copies of report.doc are marked\n\nGo on to the deletion anyway?"});
        QVERIFY(f.window->isVisible()); // stays, marks and all
        QCOMPARE(f.window->markedFileCount(), 3);

        f.messages.clear();
        AnswerDeletion confirm(false);
        f.window->close();
        QCOMPARE(f.messages.texts().size(), 1);
        QCOMPARE(confirm.seen, 1);
        QVERIFY(!f.window->isVisible());
        QVERIFY(exists(a) && exists(b));
    }

    void newScanForgetsMarks()
    {
        Fixture f(false);
        const std::string one = f.drive.file("one.bin", 400 * 1024);
        QVERIFY(f.scan());
        f.mark(1);
        QCOMPARE(f.window->markedFileCount(), 1);
        QVERIFY(f.scan());
        QCOMPARE(f.window->markedFileCount(), 0);
        QVERIFY(f.window->markedPaths().empty());
        QCOMPARE(f.grid().Cells(2, 1).contains("MARKED"), false);
        OnModal<TfrmReallyDelete> confirm([](TfrmReallyDelete&) {});
        f.window->show();
        f.window->close();
        QTest::qWait(50);
        QCOMPARE(confirm.seen, 0);
        QVERIFY(exists(one));
    }

    // A scan of a larger tree held at one directory: the scanning state, the
    // status line, Close refused, then Abort: the message at once and the
    // partial result once the walk has stopped.
    void abortDuringAScan()
    {
        Fixture f(false);
        for (int d = 0; d < 200; ++d)
            for (int i = 0; i < 3; ++i)
                f.drive.file("d" + std::to_string(1000 + d) + "/f" + std::to_string(i), 300 * 1024);
        std::atomic<int> directories{0};
        WalkGate gate;
        f.window->setBeforeDirectory([&](const WalkDir&) {
            if (++directories == 60)
                gate.hold();
        });
        f.window->show();
        QSignalSpy done(f.window->runner(), &ScanRunner::finished);
        QTest::mouseClick(f.button("btScan"), Qt::LeftButton);
        QVERIFY(gate.waitUntilHeld());

        QVERIFY(f.button("btAbort")->isVisible());
        for (const char* name : {"btScan", "btClose"})
            QVERIFY2(!f.button(name)->isEnabled(), name);
        QVERIFY(!f.window->drivePanel()->isEnabled());
        QVERIFY(!f.get<QSpinBox>("SpinEdit1")->isEnabled());
        QVERIFY(!f.get<QComboBox>("cbWildCard")->isEnabled());
        QVERIFY(f.button("btDelete")->isHidden());
        QVERIFY_NO_DIFFERENCES(sharedAccelerators(*f.window));
        QTRY_VERIFY(f.status().startsWith(q(f.drive.root())));
        f.window->close();
        QTest::keyClick(f.window.get(), Qt::Key_Escape);
        QVERIFY(f.window->isVisible()); // a scanning window stays open

        QTest::mouseClick(f.button("btAbort"), Qt::LeftButton);
        QCOMPARE(f.messages.texts(), QStringList({"LIST INCOMPLETE ... ABORTED BY USER"}));
        QCOMPARE(f.window->resultRows(), 0); // the result comes after the message
        gate.release();
        QVERIFY(done.wait(10000));
        QVERIFY(f.window->aborted());
        QVERIFY(f.window->resultRows() > 0);
        QVERIFY(f.window->resultRows() < 600);
        QCOMPARE(f.messages.texts().size(), 1);
        QVERIFY(f.button("btScan")->isEnabled());
        QVERIFY(f.button("btDelete")->isVisible());
        QVERIFY(f.button("btAbort")->isHidden());

        // Aborted before anything was collected: the message, then "No files found.".
        f.messages.clear();
        WalkGate everywhere;
        f.window->setBeforeDirectory(everywhere.hook());
        QSignalSpy again(f.window->runner(), &ScanRunner::finished);
        QTest::mouseClick(f.button("btScan"), Qt::LeftButton);
        QVERIFY(everywhere.waitUntilHeld());
        QTest::mouseClick(f.button("btAbort"), Qt::LeftButton);
        everywhere.release();
        QVERIFY(again.wait(10000));
        QCOMPARE(f.messages.texts(), QStringList({"LIST INCOMPLETE ... ABORTED BY USER", "No files found."}));
    }

    void candidateListFull()
    {
        Fixture f(false);
        for (int i = 0; i < 8; ++i)
            f.drive.file("d" + std::to_string(i) + "/f.bin", (300 + i) * 1024);
        f.window->setListLimit(3);
        QVERIFY(f.scan());
        QCOMPARE(f.messages.texts(),
                 QStringList({"Due to Windows resource limitations ... cannot process any more "
                              "files.\n\nTry increasing the file size limits or file match "
                              "and re-scan."}));
        QCOMPARE(f.messages.shown().first().kind, Messages::Kind::Warning);
        QVERIFY(f.window->aborted());
        QCOMPARE(f.window->resultRows(), 3);
    }

    void clipboardPrintAndSortMenu()
    {
        Fixture f(false);
        f.drive.file("new.bin", 300 * 1024, 0644, localTime(2025, 5, 1, 9, 0, 0));
        f.drive.file("old.bin", 900 * 1024, 0644, localTime(2019, 1, 2, 9, 0, 0));
        f.drive.file("Mid.bin", 600 * 1024, 0644, localTime(2022, 7, 3, 9, 0, 0));
        QVERIFY(f.scan());
        const QStringList lines = f.window->resultLines();
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].endsWith("/old.bin"));
        QTest::mouseClick(f.button("btClip"), Qt::LeftButton);
        QCOMPARE(f.clipboard.text(), lines.join("\r\n"));

        QVERIFY(f.button("btSort")->isVisible() || !f.button("btSort")->isHidden());
        QMenu* menu = f.window->sortMenu();
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0]->text(), QString("Sort by &Size"));
        QCOMPARE(items[1]->text(), QString("Sort by &Date"));
        QCOMPARE(items[2]->text(), QString("Sort by &Name"));
        QVERIFY(items[0]->isChecked());

        f.mark(3); // marks move with their rows
        items[1]->trigger();
        QTRY_VERIFY(!f.window->busy());
        QCOMPARE(f.grid().Cells(1, 1), QString("5/1/2025")); // newest first
        QCOMPARE(f.grid().Cells(2, 1), QString("MARKED"));
        QVERIFY(!items[0]->isChecked() && items[1]->isChecked() && !items[2]->isChecked());
        items[2]->trigger();
        QTRY_VERIFY(!f.window->busy());
        QCOMPARE(f.grid().Cells(3, 1), q(f.drive.path("Mid.bin")));
        QCOMPARE(f.grid().Cells(3, 3), q(f.drive.path("old.bin")));
        items[0]->trigger();
        QTRY_VERIFY(!f.window->busy());
        QCOMPARE(f.grid().Cells(0, 1), QString("  900 K"));
        QVERIFY(items[0]->isChecked() && !items[2]->isChecked());
        // Print and clipboard keep the order of the scan.
        QTest::mouseClick(f.button("btClip"), Qt::LeftButton);
        QCOMPARE(f.clipboard.text(), lines.join("\r\n"));

        QTest::mouseClick(f.button("btPrint"), Qt::LeftButton);
        QCOMPARE(f.printing.dialogsShown(), 1);
        QProcess pdftotext;
        pdftotext.start("pdftotext", {q(f.scratch.path("out.pdf")), "-"});
        if (pdftotext.waitForFinished(30000) && pdftotext.exitCode() == 0) {
            const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
            QVERIFY2(
                text.contains("File Hogs larger than 250KB matching *.* on drive(s) " + q(f.drive.root())),
                qPrintable(text));
            QVERIFY(text.contains("Printed : 12/8/2026"));
            QVERIFY(text.contains("old.bin"));
        }
        f.printing.setCancel(true);
        QTest::mouseClick(f.button("btPrint"), Qt::LeftButton);
        QVERIFY(f.messages.shown().isEmpty());
    }

    // The sort runs on a worker: until it is done the grid keeps its order,
    // nothing can be marked and the window stays open; then the current and
    // the marked rows are the same files as before.
    void sortOnTheWorkerKeepsCurrentAndMarkedRows()
    {
        Fixture f(false);
        f.drive.file("a.bin", 300 * 1024, 0644, localTime(2020, 5, 1, 9, 0, 0));
        f.drive.file("b.bin", 900 * 1024, 0644, localTime(2019, 1, 2, 9, 0, 0));
        f.drive.file("c.bin", 600 * 1024, 0644, localTime(2024, 7, 3, 9, 0, 0));
        f.drive.file("d.bin", 700 * 1024, 0644, localTime(2021, 7, 3, 9, 0, 0));
        QVERIFY(f.scan());
        f.mark(2);
        const std::string marked = f.grid().rowPath(2);
        f.window->gridView()->setRow(3);
        const std::string current = f.grid().rowPath(3);
        QStringList before;
        for (int row = 1; row < f.grid().RowCount(); ++row)
            before.append(f.grid().Cells(3, row));

        WalkGate sortGate; // released when it goes: a failed check must not leave the worker held
        f.window->show();
        f.window->setBeforeSort([&] { sortGate.hold(); });
        f.window->sortMenu()->actions()[1]->trigger(); // by date, newest first
        QVERIFY(sortGate.waitUntilHeld());
        QVERIFY(f.window->busy());
        QCOMPARE(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor,
                 Qt::WaitCursor);
        f.window->reject();
        QVERIFY(f.window->isVisible());
        f.window->gridView()->setRow(4);
        f.window->gridDblClick(); // refused while sorting
        f.window->gridView()->setRow(3);
        QTest::qWait(20);
        QStringList during;
        for (int row = 1; row < f.grid().RowCount(); ++row)
            during.append(f.grid().Cells(3, row));
        QCOMPARE(during, before);
        QCOMPARE(f.window->markedPaths(), std::vector<std::string>{marked});

        sortGate.release();
        QTRY_VERIFY(!f.window->busy());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(f.grid().Cells(1, 1), QString("7/3/2024"));
        QVERIFY(f.grid().Cells(1, 1) != f.grid().Cells(1, 4));
        QCOMPARE(f.grid().rowPath(f.window->gridView()->Row()), current);
        QCOMPARE(f.window->gridView()->Row(), f.rowOf(current));
        int markedRows = 0;
        for (int row = 1; row < f.grid().RowCount(); ++row) {
            if (f.grid().Cells(2, row) == "MARKED") {
                ++markedRows;
                QCOMPARE(f.grid().rowPath(row), marked);
            }
        }
        QCOMPARE(markedRows, 1);
        QCOMPARE(f.window->markedPaths(), std::vector<std::string>{marked});
    }

    void sortMenuDoesNothingForDuplicates()
    {
        Fixture f(true);
        f.drive.file("a/x.bin", 300 * 1024, 0644, localTime(2019, 1, 2));
        f.drive.file("b/x.bin", 300 * 1024, 0644, localTime(2025, 1, 2));
        QVERIFY(f.scan());
        QVERIFY(f.button("btSort")->isHidden());
        const QString first = f.grid().Cells(2, 1);
        f.window->Sortbysize1Click(f.window->sortMenu()->actions()[1]);
        QCOMPARE(f.grid().Cells(2, 1), first);
    }

    void browseOpensOnTheRowsFile()
    {
        Fixture f(true);
        f.drive.file("a/twin.txt", 300 * 1024);
        f.drive.file("b/twin.txt", 300 * 1024);
        QVERIFY(f.scan());
        f.get<QComboBox>("cbWildCard")->setEditText("*.txt");
        f.window->gridView()->setRow(2);
        std::string directory;
        QString mask;
        OnModal<TfrmBrowse> browse([&](TfrmBrowse& b) {
            directory = b.directory();
            mask = b.mask();
        });
        QTest::mouseClick(f.button("btBrowse"), Qt::LeftButton);
        QCOMPARE(browse.seen, 1);
        QCOMPARE(directory, f.drive.path("b"));
        QCOMPARE(mask, QString("*.txt"));
    }

    void hiddenFilesAndSpaceOnDiskInFileHogs()
    {
        Fixture f(false);
        auto data = [&](const std::string& relative, int kb) {
            std::ofstream(f.drive.file(relative), std::ios::binary) << std::string(size_t(kb) * 1024, 'x');
            return f.drive.path(relative);
        };
        const std::string report = data("docs/report.txt", 400);
        const std::string blob = data(".cache/deep/blob", 500);
        f.drive.dir("z");
        QCOMPARE(::link(report.c_str(), f.drive.path("z/again").c_str()), 0);
        ScanChoices* choices = f.window->scanChoices();
        QVERIFY(!choices->hiddenBox()->isChecked());
        QVERIFY(choices->apparentButton()->isChecked());

        QVERIFY(f.scan());
        QCOMPARE(f.window->resultRows(), 2); // both names of the report
        QVERIFY(f.rowOf(blob) == 0);
        QCOMPARE(f.grid().Cells(0, 0), QString("Size in K"));

        choices->hiddenBox()->click();
        choices->diskButton()->click();
        QVERIFY(f.scan());
        QCOMPARE(f.window->resultRows(), 2); // the blob, and the report once
        QCOMPARE(f.grid().rowPath(1), blob);
        QCOMPARE(f.grid().rowPath(2), report);
        QCOMPARE(f.grid().Cells(0, 0), QString("On disk in K"));

        Fixture again(false);
        QVERIFY(again.window->scanChoices()->hiddenBox()->isChecked());
        QVERIFY(again.window->scanChoices()->diskButton()->isChecked());
        // The duplicates window keeps its own choices.
        Fixture duplicates(true);
        QVERIFY(!duplicates.window->scanChoices()->hiddenBox()->isChecked());
        again.window->scanChoices()->hiddenBox()->click();
        again.window->scanChoices()->apparentButton()->click();
    }
};

QTEST_MAIN(TfrmDupTest)
#include "TfrmDup_test.moc"
