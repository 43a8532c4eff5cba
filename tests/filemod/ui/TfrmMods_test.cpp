#include "common/ui/DrivePanel.h"
#include "common/ui/ResultGridView.h"
#include "common/ui/TfrmBrowse.h"
#include "filemod/ui/MonthCalendar.h"
#include "filemod/ui/TfrmMods.h"
#include "filemod/ui/TfrmPickDate.h"
#include "support/pinnedsettings.h"
#include "support/walkgate.h"
#include "support/windowfixture.h"

#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

#include <new>
#include <stdexcept>

using namespace kelvane;
using namespace kelvane::test;

namespace {

int64_t december(int day = 7, int hour = 10)
{
    return localTime(2026, 12, day, hour, 0, 0);
}

} // namespace

class TfrmModsTest : public QObject {
    Q_OBJECT

    using Fixture = WindowFixture<TfrmMods>;

    static QPushButton* button(const QWidget& w, const char* name) { return w.findChild<QPushButton*>(name); }
    static QLineEdit* field(const QWidget& w, const char* name) { return w.findChild<QLineEdit*>(name); }
    static QString status(const QWidget& w) { return w.findChild<QLabel*>("pnlScan")->text(); }
    static ResultGridView* gridView(const TfrmMods& w) { return w.gridView(); }
    static ResultGrid& grid(const TfrmMods& w) { return *w.gridModel(); }

    static void setRange(TfrmMods& window, const QString& start, const QString& end)
    {
        field(window, "dtStart")->setText(start);
        field(window, "dtEnd")->setText(end);
    }

    // Sets the dates, clicks Start and waits for the scan's end.
    static bool scan(TfrmMods& window, const QString& start, const QString& end)
    {
        setRange(window, start, end);
        return clickAndWaitForScan(button(window, "btOK"), window.runner());
    }

    static QStringList column(const TfrmMods& w, int col) { return test::column(grid(w), col); }

    static bool resultButtonsVisible(const TfrmMods& w, bool visible)
    {
        for (const char* name : {"btPrint", "btClip", "btBrowse", "btSort", "btDelete"}) {
            if (button(w, name)->isVisible() != visible)
                return false;
        }
        return true;
    }

private Q_SLOTS:
    void initTestCase() { test::pinSettings(); }

    void failedScanIsReportedAndTheWindowRestored()
    {
        Fixture f;
        f.drive.file("a/f", 10, 0644, december());
        f.drive.file("fail/f", 10, 0644, december());
        TfrmMods& window = f.open();
        window.setBeforeDirectory([](const WalkDir& dir) {
            if (dir.name() == "fail")
                throw std::bad_alloc();
        });
        window.show();
        QVERIFY(scan(window, "12/1/2026", "12/31/2026"));
        QCOMPARE(f.messages.texts(), QStringList({"The scan failed: out of memory."}));
        QCOMPARE(f.messages.shown()[0].kind, Messages::Kind::Error);
        QVERIFY(!window.scanning());
        QVERIFY(!button(window, "btAbort")->isVisible());
        QVERIFY(resultButtonsVisible(window, false));
        for (const char* name : {"btOK", "btClose"})
            QVERIFY2(button(window, name)->isEnabled(), name);
        QVERIFY(field(window, "dtStart")->isEnabled());
    }

    void unreadableDirectoriesAreCountedOnTheStatusLine()
    {
        Fixture f;
        f.drive.file("kept/f", 10, 0644, december());
        f.drive.file("gone1/f", 10, 0644, december());
        f.drive.file("gone2/f", 10, 0644, december());
        TfrmMods& window = f.open();
        window.setBeforeDirectory([](const WalkDir& dir) {
            if (dir.name().starts_with("gone"))
                ::rename(dir.path().c_str(), (dir.path() + "-moved").c_str());
        });
        window.show();
        QVERIFY(scan(window, "12/1/2026", "12/31/2026"));
        QCOMPARE(status(window), QString("Found : 1; 2 directories could not be read"));
        const QString tip = window.findChild<QLabel*>("pnlScan")->toolTip();
        QVERIFY2(tip.contains(QString::fromStdString(f.drive.path("gone1"))), qPrintable(tip));
    }

    // Every control's caption, hint, visibility and place, the columns, and
    // what the window starts with.
    void layoutTable()
    {
        Fixture f;
        f.setDriveCaptions({"/home"}); // short, as a mount path would be
        TfrmMods& window = f.open();
        const std::vector<ControlLine> table = {
            {"", "Files changed in a range of dates", {}, true, anywhere()},
            {"Panel1", {}, {}, true, height(171)},
            {"Label1", "Show files modified/created between these two dates:", {}, true, anywhere()},
            {"Label2", "S&tarting Date:", {}, true, anywhere()},
            {"dtStart", "S&tarting Date:", {}, true, anywhere()},
            {"popStartDate", {}, "Popup Calendar", true, anywhere()},
            {"Label3", "&Ending Date:", {}, true, anywhere()},
            {"dtEnd", "&Ending Date:", {}, true, anywhere()},
            {"popEndDate", {}, "Popup Calendar", true, anywhere()},
            {"Label4", "D&rives:", {}, true, clearOf("Label1")},
            {"Label4", "D&rives:", {}, true, clearOf("popStartDate")},
            {"pnlDrives", {}, {}, true, fromRight(10)},
            {"btOK", "&Start", "Start scanning for files", true, left(3)},
            {"btClose", "Close", "Close window", true, after("btOK")},
            {"btDelete", "&Mark", "Mark files for deletion", false, after("btClose")},
            {"btAbort", "&Abort", "Abort scan", false, sameAs("btDelete")},
            {"btPrint", "&Print", "Print list of files", false, after("btDelete")},
            {"btClip", "C&lipboard", "Copy list of files to clipboard", false, after("btPrint")},
            {"btBrowse", "&Browse", "Browse file and directory", false, after("btClip")},
            {"btSort", "S&ort", "Sort columns ", false, after("btBrowse")},
            {"grid", {}, "Double click to mark for deletion", true, at(0, 171)},
            {"pnlChoices", {}, {}, true, between("grid", "pnlBase")},
        };
        const std::vector<ColumnLine> columns = {{"Name", 155, {}},
                                                 {"Date", 65, "12/28/2026"},
                                                 {"Time", 65, "11:58:58 PM"},
                                                 {"Day", 28, "Wed"},
                                                 {"Directory", 0, ""}};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int s = std::max(1, window.logicalDpiX() / 96);
        QCOMPARE(window.minimumWidth(), window.findChild<QWidget*>("Panel1")->width() + 3 * s);
        QCOMPARE(window.minimumHeight(), 171 * 2 * s);
        for (const QSize size : {window.size(), window.minimumSize(), QSize(900, 500)}) {
            window.resize(size);
            QVERIFY_NO_DIFFERENCES(layoutDifferences(window, table));
            QVERIFY_NO_DIFFERENCES(columnDifferences(*window.gridView(), columns, 20));
        }
        QVERIFY_NO_DIFFERENCES(sharedAccelerators(window));
        QVERIFY(button(window, "btOK")->isDefault());

        // Fresh: both dates today from the clock, nothing found yet.
        QCOMPARE(field(window, "dtStart")->text(), QString("12/8/2026"));
        QCOMPARE(field(window, "dtEnd")->text(), QString("12/8/2026"));
        QVERIFY(button(window, "btOK")->isEnabled());
        QCOMPARE(status(window), QString());
    }

    // Long mount paths widen the drive panel and the top panel with it, but
    // the minimum never exceeds the screen.
    void minimumWidthFitsTheScreen()
    {
        Fixture f;
        QStringList captions;
        for (int i = 0; i < 25; ++i)
            captions << QStringLiteral("/media/a-very-long-mount-path-name/and-more-%1").arg(i);
        f.setDriveCaptions(captions);
        TfrmMods& window = f.shown();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int screenWidth = window.screen()->availableGeometry().width();
        QVERIFY(window.minimumWidth() <= screenWidth - 10);
        QVERIFY(window.width() <= screenWidth - 10);
        const QWidget* panel = window.findChild<QWidget*>("Panel1");
        QCOMPARE(panel->width() + 3, window.minimumWidth());
        QVERIFY(window.rect().contains(window.drivePanel()->geometry()));
    }

    void rowsInWalkOrderWithTheirTexts()
    {
        Fixture f;
        f.drive.file("f3", 10, 0644, december(7, 14));
        f.drive.file("A/f2", 10, 0644, december(1, 0));
        f.drive.file("A/B/F1.TXT", 10, 0644, localTime(2026, 12, 31, 23, 59, 0));
        f.drive.file("A/after", 10, 0644, localTime(2027, 1, 1, 0, 0, 0));
        f.drive.file(".hidden", 10, 0644, december());
        f.drive.file(".dir/inside", 10, 0644, december());
        TfrmMods& window = f.shown();
        QVERIFY(scan(window, "12/1/2026", "12/31/2026"));

        QCOMPARE(column(window, 0), QStringList({"F1.TXT", "f2", "f3"}));
        QCOMPARE(column(window, 1), QStringList({"12/31/2026", "12/1/2026", "12/7/2026"}));
        QCOMPARE(column(window, 2), QStringList({"11:59:00 PM", "12:00:00 AM", "2:00:00 PM"}));
        QCOMPARE(column(window, 3), QStringList({"Thu", "Tue", "Mon"}));
        const QString root = QString::fromStdString(f.drive.root());
        QCOMPARE(column(window, 4), QStringList({root + "/A/B", root + "/A", root}));
        QCOMPARE(grid(window).rowPath(1), f.drive.path("A/B/F1.TXT"));
        QCOMPARE(grid(window).RowCount(), 4);
        QCOMPARE(status(window), QString("Found : 3"));
        QVERIFY(resultButtonsVisible(window, true));
        QVERIFY_NO_DIFFERENCES(sharedAccelerators(window));
        QVERIFY(!button(window, "btAbort")->isVisible());
        QVERIFY(button(window, "btOK")->isEnabled());
        QVERIFY(field(window, "dtStart")->isEnabled());
        QVERIFY(f.messages.shown().isEmpty());
        QCOMPARE(window.resultLines(),
                 QStringList({"f1.txt        \t12/31/2026\t11:59:00 PM\tThu\t" + root + "/A/B",
                              "f2            \t12/1/2026\t12:00:00 AM\tTue\t" + root + "/A",
                              "f3            \t12/7/2026\t2:00:00 PM\tMon\t" + root}));
    }

    void startAfterEndFindsNothing()
    {
        Fixture f;
        f.drive.file("f", 10, 0644, december());
        TfrmMods& window = f.shown();
        QVERIFY(scan(window, "12/8/2026", "12/7/2026"));
        QCOMPARE(f.messages.texts(), QStringList({"No files found."}));
        QCOMPARE(f.messages.shown()[0].kind, Messages::Kind::Information);
        QCOMPARE(status(window), QString("Found : 0"));
        QCOMPARE(window.resultRows(), 0);
        QVERIFY(resultButtonsVisible(window, false));
        QVERIFY(window.resultLines().isEmpty());
    }

    void before1980OnlyWhenItsFirstDayIsInRange()
    {
        Fixture f;
        f.drive.file("old", 10, 0644, localTime(1975, 6, 1, 9, 30));
        TfrmMods& window = f.shown();
        QVERIFY(scan(window, "1/2/1980", "12/31/2030"));
        QCOMPARE(window.resultRows(), 0);
        QVERIFY(scan(window, "12/31/1979", "1/1/1980"));
        QCOMPARE(window.resultRows(), 1);
        QCOMPARE(grid(window).Cells(1, 1), QString("1/1/1980"));
        QCOMPARE(grid(window).Cells(2, 1), QString("12:00:00 PM"));
        QCOMPARE(grid(window).Cells(3, 1), QString("Tue"));
    }

    // Start checks both dates before anything else, and the window stays idle.
    void invalidDatesStopStart_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focused");
        QTest::newRow("start") << "12/45/2026"
                               << "12/8/2026"
                               << "Invalid start date"
                               << "dtStart";
        QTest::newRow("end") << "12/8/2026"
                             << "soon"
                             << "Invalid ending date"
                             << "dtEnd";
        QTest::newRow("both") << ""
                              << "x"
                              << "Invalid start date"
                              << "dtStart";
    }

    void invalidDatesStopStart()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, message);
        QFETCH(QString, focused);
        Fixture f;
        f.drive.file("f", 10, 0644, december());
        TfrmMods& window = f.shown();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        setRange(window, start, end);
        button(window, "btOK")->click();
        QCOMPARE(f.messages.texts(), QStringList({message}));
        QCOMPARE(f.messages.shown()[0].kind, Messages::Kind::Error);
        QVERIFY(!window.scanning());
        QVERIFY(button(window, "btOK")->isEnabled());
        QVERIFY(!button(window, "btAbort")->isVisible());
        QCOMPARE(QApplication::focusWidget(), field(window, focused.toLatin1().constData()));
    }

    void leavingAFieldChecksItsDate()
    {
        Fixture f;
        TfrmMods& window = f.shown();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QLineEdit* start = field(window, "dtStart");
        start->setFocus();
        start->setText("31/12/2026");
        field(window, "dtEnd")->setFocus();
        QCOMPARE(f.messages.texts(), QStringList({"Invalid start date"}));
        QCOMPARE(QApplication::focusWidget(), start);

        // A start later than the end is accepted here.
        start->setText("12/31/2026");
        QLineEdit* end = field(window, "dtEnd");
        end->setFocus();
        QCOMPARE(QApplication::focusWidget(), end);
        end->setText("2026");
        gridView(window)->setFocus();
        QCOMPARE(f.messages.texts(), QStringList({"Invalid start date", "Invalid ending date"}));
        QCOMPARE(QApplication::focusWidget(), end);

        // Start clicked with the mouse from the bad field: one message, not two.
        f.messages.clear();
        QTest::mouseClick(button(window, "btOK"), Qt::LeftButton);
        QCOMPARE(f.messages.texts(), QStringList({"Invalid ending date"}));
        QVERIFY(!window.scanning());
        QCOMPARE(QApplication::focusWidget(), end);
        // Enter in the field starts too, and says it again.
        f.messages.clear();
        QTest::keyClick(end, Qt::Key_Return);
        QCOMPARE(f.messages.texts(), QStringList({"Invalid ending date"}));
        QVERIFY(!window.scanning());
    }

    void scanningStateThenAbortKeepsWhatWasFound()
    {
        Fixture f;
        f.drive.file("f3", 10, 0644, december());
        f.drive.file("A/f2", 10, 0644, december());
        f.drive.file("A/B/f1", 10, 0644, december());
        f.drive.file("Z/f4", 10, 0644, december());
        TfrmMods& window = f.open();
        window.setWalkThreads(1);
        WalkGate gate("Z");
        window.setBeforeDirectory(gate.hook());
        window.show();
        setRange(window, "12/1/2026", "12/31/2026");
        QSignalSpy done(window.runner(), &ScanRunner::finished);
        QTest::mouseClick(button(window, "btOK"), Qt::LeftButton);
        QVERIFY(gate.waitUntilHeld());

        // The scanning state: only Abort works, the window stays open.
        QVERIFY(window.scanning());
        QVERIFY(button(window, "btAbort")->isVisible());
        for (const char* name : {"btOK", "btClose"})
            QVERIFY(!button(window, name)->isEnabled());
        QVERIFY(!field(window, "dtStart")->isEnabled());
        QVERIFY(!field(window, "dtEnd")->isEnabled());
        QVERIFY(!window.findChild<QToolButton*>("popStartDate")->isEnabled());
        QVERIFY(!window.drivePanel()->isEnabled());
        QVERIFY(resultButtonsVisible(window, false));
        QVERIFY_NO_DIFFERENCES(sharedAccelerators(window));
        QTRY_VERIFY(status(window).startsWith(QString::fromStdString(f.drive.root())));
        window.reject();
        QVERIFY(window.isVisible());

        QTest::mouseClick(button(window, "btAbort"), Qt::LeftButton);
        gate.release();
        QVERIFY(done.wait(10000));
        QCOMPARE(f.messages.texts(), QStringList({"LIST INCOMPLETE ... ABORTED BY USER"}));
        QCOMPARE(f.messages.shown()[0].kind, Messages::Kind::Plain);
        QCOMPARE(column(window, 0), QStringList({"f1", "f2", "f3"}));
        const QStringList lines = window.resultLines();
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.last(), QString(" LIST INCOMPLETE ... ABORTED BY USER"));
        QCOMPARE(status(window), QString("Found : 3"));
        QVERIFY(resultButtonsVisible(window, true));
        QVERIFY(!window.scanning());
        QVERIFY(button(window, "btClose")->isEnabled());

        // The clipboard carries the notice too.
        QTest::mouseClick(button(window, "btClip"), Qt::LeftButton);
        QVERIFY(f.clipboard.text().endsWith("\r\n LIST INCOMPLETE ... ABORTED BY USER"));
    }

    void abortBeforeAnyResult()
    {
        Fixture f;
        f.drive.file("A/f", 10, 0644, december());
        TfrmMods& window = f.open();
        WalkGate gate;
        window.setBeforeDirectory(gate.hook());
        window.show();
        setRange(window, "12/1/2026", "12/31/2026");
        QSignalSpy done(window.runner(), &ScanRunner::finished);
        QTest::mouseClick(button(window, "btOK"), Qt::LeftButton);
        QVERIFY(gate.waitUntilHeld());
        QTest::mouseClick(button(window, "btAbort"), Qt::LeftButton);
        gate.release();
        QVERIFY(done.wait(10000));
        QCOMPARE(window.resultLines(), QStringList({" LIST INCOMPLETE ... ABORTED BY USER"}));
        QCOMPARE(status(window), QString("Found : 0"));
        QVERIFY(resultButtonsVisible(window, true));
        QVERIFY(!f.messages.texts().contains("No files found."));
    }

    void fullListStopsWithAWarning()
    {
        Fixture f;
        for (const char* name : {"a", "b", "c", "d"})
            f.drive.file(name, 10, 0644, december());
        TfrmMods& window = f.open();
        window.setListLimit(3);
        window.show();
        QVERIFY(scan(window, "12/1/2026", "12/31/2026"));
        QCOMPARE(f.messages.texts(),
                 QStringList({"Resource limit reached ... cannot process any more files.\r"
                              "Try increasing the file threshold."}));
        QCOMPARE(f.messages.shown()[0].kind, Messages::Kind::Warning);
        QCOMPARE(column(window, 0), QStringList({"a", "b", "c"}));
        QCOMPARE(window.resultLines().size(), 3);
        QCOMPARE(status(window), QString("Found : 3"));
        QVERIFY(resultButtonsVisible(window, true));
    }

    void markingCountsAndToggles()
    {
        Fixture f;
        f.drive.file("a", 100, 0644, december());
        f.drive.file("b", 200, 0644, december());
        f.drive.file("c", 300, 0644, december());
        TfrmMods& window = f.shown();
        QVERIFY(scan(window, "12/1/2026", "12/31/2026"));
        const QIcon empty = button(window, "btDelete")->icon();
        gridView(window)->setRow(1);
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(button(window, "btDelete"), Qt::LeftButton);
        QCOMPARE(status(window), QString("3 files 600 bytes"));
        QCOMPARE(column(window, 2), QStringList({"MARKED", "MARKED", "MARKED"}));
        // Mark on the last row stays there.
        QCOMPARE(gridView(window)->Row(), 3);
        QVERIFY(button(window, "btDelete")->icon().cacheKey() != empty.cacheKey());

        gridView(window)->setRow(2);
        window.gridDblClick();
        QCOMPARE(status(window), QString("2 files 400 bytes"));
        QCOMPARE(grid(window).Cells(2, 2), QString("OOPS"));
        QCOMPARE(gridView(window)->Row(), 2);
        QCOMPARE(window.markedPaths(), std::vector<std::string>({f.drive.path("a"), f.drive.path("c")}));

        // The empty row after a new scan, and rows beyond the results, are not marked.
        window.deleteOneFile(0);
        window.deleteOneFile(4);
        QCOMPARE(window.markedFileCount(), 2);
    }

    void vanishedFilesLeaveTheCountersRight()
    {
        Fixture f;
        const std::string a = f.drive.file("a", 100, 0644, december());
        const std::string b = f.drive.file("b", 200, 0644, december());
        TfrmMods& window = f.shown();
        QVERIFY(scan(window, "12/1/2026", "12/31/2026"));
        ::unlink(a.c_str());
        window.deleteOneFile(1); // missing: listed, not counted
        QCOMPARE(status(window), QString("0 files 0 bytes"));
        QCOMPARE(window.markedPaths().size(), size_t(1));
        window.deleteOneFile(2);
        QCOMPARE(status(window), QString("1 files 200 bytes"));
        // Gone after marking: unmarking takes back what marking counted.
        ::unlink(b.c_str());
        window.deleteOneFile(2);
        QCOMPARE(status(window), QString("0 files 0 bytes"));
        QCOMPARE(window.markedPaths(), std::vector<std::string>({a}));
        // Nothing counted: closing asks nothing.
        window.close();
        QVERIFY(f.messages.texts().isEmpty());
    }

    void sortMenuKeepsMarksAndTheListOrder()
    {
        Fixture f;
        f.drive.file("b/zeta", 10, 0644, december(3));
        f.drive.file("a/Alpha", 10, 0644, december(20));
        f.drive.file("mid", 10, 0644, december(10));
        TfrmMods& window = f.shown();
        QVERIFY(scan(window, "12/1/2026", "12/31/2026"));
        QCOMPARE(column(window, 0), QStringList({"Alpha", "zeta", "mid"}));
        const QStringList walkOrder = window.resultLines();
        window.deleteOneFile(2); // zeta

        QMenu* menu = window.sortMenu();
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0]->text(), QString("Sort by &Name"));
        QCOMPARE(items[1]->text(), QString("Sort by &Date"));
        QCOMPARE(items[2]->text(), QString("Sort by D&irectory"));
        QVERIFY(items[0]->isChecked());

        QTest::mouseClick(button(window, "btSort"), Qt::LeftButton);
        QTRY_VERIFY(menu->isVisible());
        items[1]->trigger();
        QTRY_VERIFY(!window.busy());
        menu->close();
        QCOMPARE(column(window, 1), QStringList({"12/20/2026", "12/10/2026", "12/3/2026"}));
        QVERIFY(items[1]->isChecked());
        QVERIFY(!items[0]->isChecked());
        QCOMPARE(grid(window).Cells(2, 3), QString("MARKED"));
        QCOMPARE(grid(window).rowPath(3), f.drive.path("b/zeta"));

        items[2]->trigger();
        QTRY_VERIFY(!window.busy());
        const QString root = QString::fromStdString(f.drive.root());
        QCOMPARE(column(window, 4), QStringList({root, root + "/a", root + "/b"}));
        items[0]->trigger();
        QTRY_VERIFY(!window.busy());
        QCOMPARE(column(window, 0), QStringList({"Alpha", "mid", "zeta"}));
        QCOMPARE(grid(window).Cells(2, 3), QString("MARKED"));

        // Unmarking the moved row finds it by its own path.
        window.deleteOneFile(3);
        QCOMPARE(window.markedFileCount(), 0);

        // Print and Clipboard keep the walk order.
        QTest::mouseClick(button(window, "btClip"), Qt::LeftButton);
        QCOMPARE(f.clipboard.text(), walkOrder.join("\r\n"));
        QTest::mouseClick(button(window, "btPrint"), Qt::LeftButton);
        QCOMPARE(f.printing.dialogsShown(), 1);
        QVERIFY(QFile::exists(QString::fromStdString(f.scratch.path("out.pdf"))));
    }

    void newScanForgetsMarks()
    {
        Fixture f;
        f.drive.file("a", 100, 0644, december());
        f.drive.file("b", 200, 0644, december());
        TfrmMods& window = f.shown();
        QVERIFY(scan(window, "12/1/2026", "12/31/2026"));
        window.deleteOneFile(1);
        window.deleteOneFile(2);
        window.sortMenu()->actions()[1]->trigger();
        QTRY_VERIFY(!window.busy());
        QVERIFY(scan(window, "12/1/2026", "12/31/2026"));
        QCOMPARE(window.markedFileCount(), 0);
        QCOMPARE(window.markedByteCount(), 0);
        QVERIFY(window.markedPaths().empty());
        QVERIFY(window.sortMenu()->actions()[0]->isChecked());
        QVERIFY(!window.sortMenu()->actions()[1]->isChecked());
        QCOMPARE(column(window, 2), QStringList({"10:00:00 AM", "10:00:00 AM"}));
        OnModal<> handler([](QWidget&) {});
        window.close();
        QCOMPARE(handler.seen, 0);
        QVERIFY(exists(f.drive.path("a")));
    }

    void closingHandsTheMarkedFilesToTheConfirmation()
    {
        Fixture f;
        f.drive.file("keep", 10, 0644, december());
        const std::string odd = f.drive.file("odd\tname\xff", 50, 0644, december());
        const std::string plain = f.drive.file("plain", 70, 0644, december());
        TfrmMods& window = f.shown();
        QVERIFY(scan(window, "12/1/2026", "12/31/2026"));
        QCOMPARE(column(window, 0), QStringList({"keep", "odd?name\xef\xbf\xbd", "plain"}));
        window.deleteOneFile(2);
        window.deleteOneFile(3);
        QCOMPARE(status(window), QString("2 files 120 bytes"));
        AnswerDeletion confirm;
        QTest::mouseClick(button(window, "btClose"), Qt::LeftButton);
        QCOMPARE(confirm.seen, 1);
        QCOMPARE(confirm.heading, QString("The following 2 files will be deleted."));
        QCOMPARE(f.messages.texts(),
                 QStringList({"Really delete?", "Deleted 2 files for a savings of 120 bytes."}));
        QVERIFY(!window.isVisible());
        QVERIFY(!exists(odd));
        QVERIFY(!exists(plain));
        QVERIFY(exists(f.drive.path("keep")));
    }

    void browseOpensOnTheRowsFile()
    {
        Fixture f;
        f.drive.file("sub/target.txt", 10, 0644, december());
        f.drive.file("sub/other.txt", 10, 0644, december());
        TfrmMods& window = f.shown();
        QVERIFY(scan(window, "12/1/2026", "12/31/2026"));
        gridView(window)->setRow(2);
        QCOMPARE(grid(window).Cells(0, 2), QString("target.txt"));
        std::string shownDir;
        QString shownMask;
        OnModal<TfrmBrowse> handler([&](TfrmBrowse& browse) {
            shownDir = browse.directory();
            shownMask = browse.mask();
        });
        QTest::mouseClick(button(window, "btBrowse"), Qt::LeftButton);
        QCOMPARE(handler.seen, 1);
        QCOMPARE(shownDir, f.drive.path("sub"));
        QCOMPARE(shownMask, QString("*.*"));

        // A file gone since the scan: an error, and no browse window.
        ::unlink(f.drive.path("sub/target.txt").c_str());
        QTest::mouseClick(button(window, "btBrowse"), Qt::LeftButton);
        QCOMPARE(handler.seen, 1);
        QCOMPARE(f.messages.texts(), QStringList({"Invalid file name - " +
                                                  QString::fromStdString(f.drive.path("sub/target.txt"))}));
    }

    void calendarButtonsMoveTheOtherField()
    {
        Fixture f;
        TfrmMods& window = f.shown();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        setRange(window, "12/8/2026", "12/10/2026");
        auto stepAndOk = [](int key) {
            return [key](TfrmPickDate& picker) {
                QTest::keyClick(picker.findChild<MonthCalendar*>()->dayGrid(), Qt::Key(key));
                QTest::mouseClick(picker.findChild<QPushButton*>("OkBtn"), Qt::LeftButton);
            };
        };
        {
            // A start picked after the end: the end follows.
            OnModal<TfrmPickDate> handler(stepAndOk(Qt::Key_PageDown));
            QTest::mouseClick(window.findChild<QToolButton*>("popStartDate"), Qt::LeftButton);
            QCOMPARE(handler.seen, 1);
        }
        QCOMPARE(field(window, "dtStart")->text(), QString("1/8/2027"));
        QCOMPARE(field(window, "dtEnd")->text(), QString("1/8/2027"));
        QCOMPARE(field(window, "dtStart")->selectedText(), QString("1/8/2027"));
        {
            // An end picked before the start: the start follows.
            OnModal<TfrmPickDate> handler(stepAndOk(Qt::Key_PageUp));
            QTest::mouseClick(window.findChild<QToolButton*>("popEndDate"), Qt::LeftButton);
        }
        QCOMPARE(field(window, "dtEnd")->text(), QString("12/8/2026"));
        QCOMPARE(field(window, "dtStart")->text(), QString("12/8/2026"));
        {
            // Cancel leaves the field alone.
            OnModal<TfrmPickDate> handler([](TfrmPickDate& picker) {
                QTest::keyClick(picker.findChild<MonthCalendar*>()->dayGrid(), Qt::Key_PageDown);
                QTest::mouseClick(picker.findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
            });
            QTest::mouseClick(window.findChild<QToolButton*>("popEndDate"), Qt::LeftButton);
        }
        QCOMPARE(field(window, "dtEnd")->text(), QString("12/8/2026"));
        {
            // An emptied field starts from today.
            field(window, "dtStart")->clear();
            QDate shown;
            OnModal<TfrmPickDate> handler([&](TfrmPickDate& picker) { shown = picker.getDate(); });
            QTest::mouseClick(window.findChild<QToolButton*>("popStartDate"), Qt::LeftButton);
            QCOMPARE(shown, QDate(2026, 12, 8));
        }
        QCOMPARE(field(window, "dtStart")->text(), QString("12/8/2026"));
        QVERIFY(f.messages.texts().isEmpty());
    }
};

QTEST_MAIN(TfrmModsTest)
#include "TfrmMods_test.moc"
