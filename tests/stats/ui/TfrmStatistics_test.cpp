#include "common/commas.h"
#include "common/ui/ScanChoices.h"
#include "stats/statisticstexts.h"
#include "stats/ui/BandPage.h"
#include "stats/ui/DiskSpacePage.h"
#include "stats/ui/Gauge.h"
#include "stats/ui/TfrmStatistics.h"
#include "stats/ui/TypesPage.h"
#include "support/pinnedsettings.h"
#include "support/walkgate.h"
#include "support/windowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QProcess>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>

#include <fstream>
#include <map>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelvane;
using namespace kelvane::test;

namespace {

QString cell(QTableWidget* grid, int row, int column)
{
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

QStringList rowTexts(QTableWidget* grid, int row)
{
    QStringList texts;
    for (int c = 0; c < grid->columnCount(); ++c)
        texts << cell(grid, row, c);
    return texts;
}

QByteArray runTool(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    process.waitForFinished(30000);
    return process.readAllStandardOutput();
}

} // namespace

class TfrmStatisticsTest : public QObject {
    Q_OBJECT

    // Two drives: drive and second.
    struct Fixture : WindowServices {
        Fixture() : WindowServices(2) {}
    };

    static QPushButton* button(QWidget* w, const char* name) { return w->findChild<QPushButton*>(name); }
    static QString text(QWidget* w, const char* name) { return w->findChild<QLabel*>(name)->text(); }
    static int gauge(QWidget* w, const char* name) { return w->findChild<Gauge*>(name)->value(); }

    // Clicks "&Collect statistics" and waits until the collection has ended.
    static bool collect(TfrmStatistics& w)
    {
        return clickAndWait(button(&w, "btOK"), &w, &TfrmStatistics::collectionFinished);
    }

    static void chooseDrive(TfrmStatistics& w, int index)
    {
        auto* box = w.findChild<QComboBox*>("cbDrive");
        box->setCurrentIndex(index);
        Q_EMIT box->activated(index);
    }

private Q_SLOTS:
    void initTestCase() { test::pinSettings(); }

    void failedCollectionIsReportedAndTheWindowRestored()
    {
        Fixture f;
        f.drive.file("a/f.txt", 10);
        f.drive.file("fail/f.txt", 10);
        TfrmStatistics w(f.services);
        w.setBeforeDirectory([](const WalkDir& dir) {
            if (dir.name() == "fail")
                throw std::bad_alloc();
        });
        w.show();
        QVERIFY(collect(w));
        QCOMPARE(f.messages.texts().last(), QString("The scan failed: out of memory."));
        QCOMPARE(f.messages.shown().last().kind, Messages::Kind::Error);
        QVERIFY(!w.collecting());
        QVERIFY(button(&w, "btOK")->isEnabled());
        QCOMPARE(w.statusText(), QString());
        QCOMPARE(QApplication::overrideCursor(), nullptr); // the busy pointer went with the walk
    }

    void unreadableDirectoriesAreCountedOnTheStatusLine()
    {
        Fixture f;
        f.drive.file("kept/f.txt", 10);
        f.drive.file("gone1/f.txt", 10);
        f.drive.file("gone2/f.txt", 10);
        TfrmStatistics w(f.services);
        w.setBeforeDirectory([](const WalkDir& dir) {
            if (dir.name().starts_with("gone"))
                ::rename(dir.path().c_str(), (dir.path() + "-moved").c_str());
        });
        w.show();
        QVERIFY(collect(w));
        QCOMPARE(w.statusText(), QString("Finished - 1 files processed; 2 directories could not be read"));
        const QString tip = w.findChild<QLabel*>("lblStatus")->toolTip();
        QVERIFY2(tip.contains(QString::fromStdString(f.drive.path("gone2"))), qPrintable(tip));
    }

    // Every control's caption, hint, visibility and place, the File Types
    // columns, and what the window shows before any collection.
    void layoutTableBeforeAnyCollection()
    {
        Fixture f;
        TfrmStatistics w(f.services);
        // Row captions reached by their names, the odd ones included; the
        // band pages are behind Disk Space.
        const std::vector<ControlLine> table = {
            {"", "File Statistics Not Yet Collected", {}, true, anywhere()},
            {"PageControl1", {}, {}, true, rect(0, 0, 592, 361)},
            {"cbDrive", "&Drive:", {}, true, anywhere()},
            {"btOK", "&Collect statistics", {}, true, anywhere()},
            {"btPrint", "&Print page", {}, true, anywhere()},
            {"btCancel", "Cancel", {}, true, anywhere()},
            {"Label1", "0 - 16 K", {}, false, anywhere()},
            {"Label9", "Over 16Mb", {}, false, anywhere()},
            {"Label23", "<= 7 days", {}, false, anywhere()},
            {"Label12", "61-120 days", {}, false, anywhere()},
            {"Label17", "Over 4 years", {}, false, anywhere()},
            {"lblSizen5", "", {}, false, anywhere()},
        };
        const std::vector<ColumnLine> columns = {{"Extension", 80, {}},
                                                 {"# Files", 93, {}},
                                                 {"Top Ten #", 80, {}},
                                                 {"Size", 80, {}},
                                                 {"Top Ten Size", 80, {}}};
        // The scan choices strip lies between the buttons and the status bar.
        QCOMPARE(w.size(), QSize(592, 433 + w.scanChoices()->height()));
        QVERIFY(w.findChild<QPushButton*>("btOK")->isDefault());
        QStringList tabs;
        for (int i = 0; i < w.pages()->count(); ++i)
            tabs << w.pages()->tabText(i);
        QCOMPARE(tabs, QStringList({"File Types", "File Sizes", "File Ages", "Disk Space"}));
        auto* box = w.findChild<QComboBox*>("cbDrive");
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->itemText(1), f.caption(1));
        QCOMPARE(w.typesPage()->grid()->rowCount(), 0);
        QCOMPARE(gauge(&w, "gaFAS1"), 0);
        QCOMPARE(gauge(&w, "gaFsN9"), 0);
        QCOMPARE(text(&w, "lblTotal"), QString("9,999,999,999"));
        QCOMPARE(text(&w, "lblPct"), QString("bytes"));

        w.show();
        QVERIFY_NO_DIFFERENCES(layoutDifferences(w, table));
        QVERIFY_NO_DIFFERENCES(columnDifferences(*w.typesPage()->grid(), columns, -1));
        QVERIFY_NO_DIFFERENCES(sharedAccelerators(w));
        QCOMPARE(w.pages()->currentIndex(), int(TfrmStatistics::DiskSpacePageIndex));
        QVERIFY(text(&w, "lblTotal") != QString("9,999,999,999")); // the real drive's capacity
    }

    void collectionFillsEveryPage()
    {
        Fixture f;
        const int64_t tenDaysAgo = localTime(2026, 11, 28, 12, 0);
        f.drive.file("a.txt", 10, 0644, tenDaysAgo);
        f.drive.file("sub/b.txt", 10, 0644, tenDaysAgo);
        f.drive.file("sub/c.dat", 10, 0644, tenDaysAgo);
        f.drive.file("big.iso", 1000000, 0644, localTime(2025, 6, 1));
        TfrmStatistics w(f.services);
        w.show();
        QVERIFY(collect(w));
        QCOMPARE(f.messages.texts(), QStringList({scanNotice(f.caption(0))}));
        QCOMPARE(f.messages.shown().first().kind, Messages::Kind::Plain);
        const auto space = diskSpace(f.drive.root());
        QVERIFY(space);
        QCOMPARE(text(&w, "lblCluster"), clusterNote(f.caption(0), space->clusterSize));
        QCOMPARE(w.windowTitle(), "Statistics for drive " + f.caption(0) + " completed.");
        QCOMPARE(w.statusText(), QString("Finished - 4 files processed"));
        QVERIFY(button(&w, "btOK")->isEnabled());

        QTableWidget* grid = w.typesPage()->grid();
        QCOMPARE(grid->rowCount(), 3);
        QCOMPARE(rowTexts(grid, 0), QStringList({".DAT", "1", "3", "10", "3"}));
        QCOMPARE(rowTexts(grid, 1), QStringList({".ISO", "1", "", "1,000,000", "1"}));
        QCOMPARE(rowTexts(grid, 2), QStringList({".TXT", "2", "1", "20", "2"}));

        // Three files of 10 bytes and one of 1,000,000: 75 and 25 by count,
        // 0 (truncated) and 99 by bytes.
        QCOMPARE(gauge(&w, "gaFsN1"), 75);
        QCOMPARE(gauge(&w, "gaFsN4"), 25);
        QCOMPARE(gauge(&w, "gaFsS1"), 0);
        QCOMPARE(gauge(&w, "gaFsS4"), 99);
        QCOMPARE(text(&w, "lblSizeN1"), QString("3"));
        QCOMPARE(text(&w, "lblSize1"), QString("30"));
        QCOMPARE(text(&w, "lblSize4"), QString("1,000,000"));
        QCOMPARE(text(&w, "lblSizen5"), QString("0"));
        QCOMPARE(gauge(&w, "gaFaN2"), 75);
        QCOMPARE(gauge(&w, "gaFaN6"), 25);
        QCOMPARE(gauge(&w, "gaFAS1"), 0);
        QCOMPARE(gauge(&w, "gaFaS6"), 99);
        QCOMPARE(text(&w, "lblAgeN2"), QString("3"));
        QCOMPARE(text(&w, "lblAgeS6"), QString("1,000,000"));

        // An empty drive: the numbers and the gauges read 0, nothing is left
        // of the drive before.
        chooseDrive(w, 1);
        QVERIFY(collect(w));
        QCOMPARE(w.statusText(), QString("Finished - 0 files processed"));
        QCOMPARE(grid->rowCount(), 0);
        QCOMPARE(text(&w, "lblSizeN1"), QString("0"));
        for (const char* name : {"gaFsN1", "gaFsN4", "gaFsS4", "gaFaN2", "gaFaN6", "gaFaS6"})
            QVERIFY2(gauge(&w, name) == 0, name);
        QCOMPARE(w.windowTitle(), "Statistics for drive " + f.caption(1) + " completed.");
    }

    // Eleven extensions: .A and .B share the largest count; the byte sums
    // all differ, .K's the largest and .A's the smallest.
    void topTenRankings()
    {
        Fixture f;
        for (int i = 0; i < 11; ++i) {
            const std::string ext(1, char('a' + i));
            const int files = i < 2 ? 12 : 13 - i;
            for (int n = 0; n < files; ++n)
                f.drive.file("f" + std::to_string(n) + "." + ext, n == 0 ? (i + 1) * 1000 : 0);
        }
        TfrmStatistics w(f.services);
        QVERIFY(collect(w));
        QTableWidget* grid = w.typesPage()->grid();
        QCOMPARE(grid->rowCount(), 11);
        QStringList countRanks, sizeRanks;
        for (int r = 0; r < 11; ++r) {
            countRanks << cell(grid, r, 2);
            sizeRanks << cell(grid, r, 4);
        }
        QCOMPARE(countRanks, QStringList({"2", "", "3", "4", "5", "6", "7", "8", "9", "10", ""}));
        QCOMPARE(sizeRanks, QStringList({"", "10", "9", "8", "7", "6", "5", "4", "3", "2", "1"}));
        QCOMPARE(rowTexts(grid, 10), QStringList({".K", "3", "", "11,000", "1"}));
    }

    void diskSpacePage()
    {
        Fixture f;
        f.drive.file("x.txt", 1, 0644, localTime(2026, 12, 1));
        std::map<std::string, std::optional<DiskSpace>> answers = {
            {f.drive.root(), DiskSpace{3000, 1000, 512}}, {f.second.root(), DiskSpace{1000000, 500000, 512}}};
        TfrmStatistics w(f.services);
        w.setDiskSpaceQuery([&](const Drive& d) { return answers.at(d.root); });
        w.show();
        // A third free.
        QCOMPARE(w.diskSpacePage()->freeShareBar()->value(), 33);
        QVERIFY(!w.diskSpacePage()->freeShareBar()->isTextVisible());
        QCOMPARE(text(&w, "lblPct"), QString("bytes (33 %) "));
        QCOMPARE(text(&w, "lblPct2"), QString("bytes (67 %) "));
        QCOMPARE(text(&w, "lblTotal"), QString("3,000"));
        QCOMPARE(text(&w, "lblFree"), QString("1,000"));
        QCOMPARE(text(&w, "lblUsed"), QString("2,000"));
        QCOMPARE(text(&w, "lblReserved"), QString("0"));
        QCOMPARE(text(&w, "lblPct3"), QString("bytes (0 %) "));
        QCOMPARE(text(&w, "lblFreeC"), "Free Space on Drive " + f.caption(0) + ": ");
        QCOMPARE(text(&w, "Label26"), "Used Space on Drive " + f.caption(0) + ": ");
        QVERIFY(collect(w));
        QCOMPARE(text(&w, "lblCluster"), clusterNote(f.caption(0), 512));

        // Another drive chosen on File Ages: Disk Space follows only once shown.
        w.pages()->setCurrentIndex(TfrmStatistics::FileAges);
        chooseDrive(w, 1);
        QCOMPARE(text(&w, "lblTotal"), QString("3,000"));
        w.pages()->setCurrentIndex(TfrmStatistics::DiskSpacePageIndex);
        QCOMPARE(text(&w, "lblTotal"), QString("1,000,000"));
        QCOMPARE(w.diskSpacePage()->freeShareBar()->value(), 50);
        QCOMPARE(text(&w, "lblAgeN1"), QString("1"));
        QCOMPARE(w.windowTitle(), "Statistics for drive " + f.caption(0) + " completed.");
        // Chosen while Disk Space is active: read at once.
        chooseDrive(w, 0);
        QCOMPARE(text(&w, "lblTotal"), QString("3,000"));

        // A drive that does not answer: the page keeps its texts, and a
        // collection stops at the message with only the cluster note emptied.
        answers[f.second.root()] = std::nullopt;
        chooseDrive(w, 1);
        QCOMPARE(text(&w, "lblTotal"), QString("3,000"));
        f.messages.clear();
        const QString status = w.statusText();
        button(&w, "btOK")->click();
        QCOMPARE(f.messages.texts(), QStringList({"Error: There is no disk in drive " + f.caption(1)}));
        QCOMPARE(f.messages.shown().first().kind, Messages::Kind::Plain);
        QCOMPARE(text(&w, "lblCluster"), QString());
        QVERIFY(!w.collecting());
        QCOMPARE(w.statusText(), status);
        QCOMPARE(w.windowTitle(), "Statistics for drive " + f.caption(0) + " completed.");
    }

    // The root-reserved blocks are a line of their own and a grey part of
    // the bar; used is what df calls used.
    void reservedSpaceIsItsOwnLine()
    {
        Fixture f;
        TfrmStatistics w(f.services);
        DiskSpace space;
        space.capacity = 10000 * 4096;
        space.free = 8500 * 4096;
        space.reserved = 500 * 4096;
        space.clusterSize = 4096;
        w.setDiskSpaceQuery([&](const Drive&) { return space; });
        w.show();
        QCOMPARE(text(&w, "lblUsed"), QString("4,096,000"));
        QCOMPARE(text(&w, "lblPct2"), QString("bytes (10 %) "));
        QCOMPARE(text(&w, "lblReserved"), QString("2,048,000"));
        QCOMPARE(text(&w, "lblPct3"), QString("bytes (5 %) "));
        QCOMPARE(text(&w, "lblReservedC"), "Reserved for root on Drive " + f.caption(0) + ": ");
        QCOMPARE(w.diskSpacePage()->freeShareBar()->value(), 85);
        QCOMPARE(w.diskSpacePage()->freeShareBar()->secondPart(), 5);
        const QImage bar = w.diskSpacePage()->freeShareBar()->grab().toImage();
        QCOMPARE(bar.pixelColor(bar.width() * 87 / 100, bar.height() / 2), QColor(Qt::gray));
        QCOMPARE(bar.pixelColor(bar.width() * 95 / 100, bar.height() / 2), QColor(Qt::blue));
    }

    // A drive unmounted while the window lists it: its mount point is a bare
    // directory of the parent file system now, and neither its space nor its
    // files may pass for the drive's.
    void unmountedDriveIsNotCollected()
    {
        Fixture f;
        f.second.file("parent-file.txt", 10);
        std::vector<Drive> list = f.drives.drives();
        list[1].rootDev += 1; // listed on another file system than its directory is on now
        FixedDriveList drives(list, 0);
        f.services.drives = &drives;
        TfrmStatistics w(f.services);
        w.show();
        const QString total = text(&w, "lblTotal");
        chooseDrive(w, 1);
        QCOMPARE(text(&w, "lblTotal"), total);
        QCOMPARE(text(&w, "lblFreeC"), "Free Space on Drive " + f.caption(0) + ": ");
        f.messages.clear();
        button(&w, "btOK")->click();
        QCOMPARE(f.messages.texts(), QStringList({"Error: There is no disk in drive " + f.caption(1)}));
        QVERIFY(!w.collecting());
        QCOMPARE(w.typesPage()->grid()->rowCount(), 0);
        QCOMPARE(w.windowTitle(), QString("File Statistics Not Yet Collected"));
    }

    void cancelDuringACollection()
    {
        Fixture f;
        for (int i = 0; i < 25; ++i)
            f.drive.file("r" + std::to_string(i) + ".txt", 100);
        for (int i = 0; i < 5; ++i)
            f.drive.file("sub/s" + std::to_string(i) + ".sub", 100);
        TfrmStatistics w(f.services);
        WalkGate gate;
        w.setBeforeDirectory(gate.hook());
        w.show();
        QSignalSpy finished(&w, &TfrmStatistics::collectionFinished);
        button(&w, "btOK")->click();
        QTRY_COMPARE(gate.waiting(), 1);
        // The root's files are counted; the status follows a few times a second.
        QTRY_COMPARE(w.statusText(), QString("Processing files ... standby : 20"));
        QVERIFY(w.collecting());
        QVERIFY(!button(&w, "btOK")->isEnabled());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        button(&w, "btCancel")->click();
        QVERIFY(w.isVisible()); // Cancel stops the collection, not the window
        gate.release();
        QVERIFY(finished.wait(20000));
        QCOMPARE(w.windowTitle(), "File Statistics for drive " + f.caption(0) + " incomplete ... aborted.");
        QCOMPARE(w.statusText(), QString("Finished - 25 files processed INCOMPLETE ... ABORTED"));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        // The pages show what was gathered: the root's files only.
        QTableWidget* grid = w.typesPage()->grid();
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(rowTexts(grid, 0), QStringList({".TXT", "25", "1", "2,500", "1"}));
        QCOMPARE(text(&w, "lblSizeN1"), QString("25"));
        QCOMPARE(gauge(&w, "gaFsN1"), 100);
        QVERIFY(button(&w, "btOK")->isEnabled());
        button(&w, "btCancel")->click();
        QVERIFY(!w.isVisible());
    }

    void hiddenAndShownAgainKeepsItsResults()
    {
        Fixture f;
        f.drive.file("one.txt", 20000, 0644, localTime(2026, 10, 1));
        f.drive.file("two.doc", 5, 0644, localTime(2026, 12, 7));
        TfrmStatistics w(f.services);
        w.show();
        QVERIFY(collect(w));
        w.pages()->setCurrentIndex(TfrmStatistics::FileTypes);
        const QString caption = w.windowTitle();
        const QString status = w.statusText();
        QTableWidget* grid = w.typesPage()->grid();
        const QStringList firstRow = rowTexts(grid, 0);
        QTest::keyClick(&w, Qt::Key_Escape); // ESC is Cancel
        QVERIFY(!w.isVisible());
        w.show();
        QCOMPARE(w.pages()->currentIndex(), int(TfrmStatistics::DiskSpacePageIndex));
        QCOMPARE(w.windowTitle(), caption);
        QCOMPARE(w.statusText(), status);
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(rowTexts(grid, 0), firstRow);
        QCOMPARE(text(&w, "lblSizeN2"), QString("1"));
        QCOMPARE(text(&w, "lblAgeN4"), QString("1"));
        QCOMPARE(gauge(&w, "gaFaN1"), 50);
    }

    void driveRootThatCannotBeOpened()
    {
        Fixture f;
        const std::string gone = f.scratch.path("gone");
        FixedDriveList drives = FixedDriveList::fromDirectories({gone});
        f.services.drives = &drives;
        TfrmStatistics w(f.services);
        w.setDiskSpaceQuery([](const Drive&) { return DiskSpace{1000, 500, 4096}; });
        QVERIFY(collect(w));
        const QString caption = drives.drives().front().caption;
        QCOMPARE(f.messages.texts(), QStringList({scanNotice(caption), "Can't open drive " + caption}));
        QCOMPARE(f.messages.shown().last().kind, Messages::Kind::Error);
        QCOMPARE(w.statusText(), QString("Finished - 0 files processed"));
        QCOMPARE(w.windowTitle(), "Statistics for drive " + caption + " completed.");
    }

    void printPage()
    {
        Fixture f;
        TfrmStatistics w(f.services);
        w.show();
        const QString pdf = QString::fromStdString(f.scratch.path("out.pdf"));
        f.printing.setCancel(true);
        button(&w, "btPrint")->click();
        QCOMPARE(f.printing.dialogsShown(), 1);
        QVERIFY(!QFile::exists(pdf));

        f.printing.setCancel(false);
        button(&w, "btPrint")->click();
        QVERIFY(QFile::exists(pdf));
        const QString info = QString::fromUtf8(runTool("pdfinfo", {pdf}));
        // The job carries this page's name (a reused printer keeps none of an earlier job's).
        QVERIFY2(
            info.contains(QRegularExpression("^Title:\\s+File Statistics Not Yet Collected - Disk Space$",
                                             QRegularExpression::MultilineOption)),
            qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression("^Pages:\\s+1$", QRegularExpression::MultilineOption)),
                 qPrintable(info));
        // One picture of the whole client area, printed at the screen's
        // resolution: the same size on paper as on the screen.
        const QStringList images = QString::fromUtf8(runTool("pdfimages", {"-list", pdf})).split('\n');
        QVERIFY2(images.size() >= 3, qPrintable(images.join('\n')));
        const QStringList columns = images[2].simplified().split(' ');
        QCOMPARE(columns.value(3), QString::number(w.width()));
        QCOMPARE(columns.value(4), QString::number(w.height()));
        QCOMPARE(columns.value(12), QString::number(w.logicalDpiX()));
        QVERIFY(f.messages.shown().isEmpty());
    }

    void hiddenFoldersAndSpaceOnDisk()
    {
        Fixture f;
        std::ofstream(f.drive.file("docs/report.txt"), std::ios::binary) << std::string(40000, 'x');
        QCOMPARE(::link(f.drive.path("docs/report.txt").c_str(), f.drive.path("docs/copy.txt").c_str()), 0);
        f.drive.file(".cache/deep/blob", 5000);
        f.drive.file(".config/rc", 10);
        f.drive.file(".dotfile", 10);
        {
            TfrmStatistics w(f.services);
            w.show();
            ScanChoices* choices = w.scanChoices();
            QCOMPARE(choices->hiddenBox()->text(), QString("Include hidden files and folders"));
            QVERIFY(choices->apparentButton()->isChecked());
            QVERIFY(collect(w));
            QCOMPARE(w.statusText(), QString("Finished - 3 files processed"));
            QCOMPARE(w.typesPage()->grid()->horizontalHeaderItem(3)->text(), QString("Size"));

            choices->hiddenBox()->click();
            choices->diskButton()->click();
            QVERIFY(collect(w));
            // blob, rc, .dotfile and the report once under its first name
            QCOMPARE(w.statusText(), QString("Finished - 4 files processed"));
            QCOMPARE(w.typesPage()->grid()->horizontalHeaderItem(3)->text(), QString("On disk"));
            QTableWidget* grid = w.typesPage()->grid();
            struct stat st;
            QCOMPARE(::stat(f.drive.path("docs/report.txt").c_str(), &st), 0);
            bool found = false;
            for (int row = 0; row < grid->rowCount(); ++row) {
                if (rowTexts(grid, row).first() == ".TXT") {
                    found = true;
                    QCOMPARE(rowTexts(grid, row)[1], QString("1"));
                    QCOMPARE(rowTexts(grid, row)[3], addCommas(int64_t(st.st_blocks) * 512));
                }
            }
            QVERIFY(found);
        }
        TfrmStatistics again(f.services);
        QVERIFY(again.scanChoices()->hiddenBox()->isChecked());
        QVERIFY(again.scanChoices()->diskButton()->isChecked());
        again.scanChoices()->hiddenBox()->click();
        again.scanChoices()->apparentButton()->click();
    }
};

QTEST_MAIN(TfrmStatisticsTest)
#include "TfrmStatistics_test.moc"
