#include "duplic/findduplicates.h"
#include "shell/ui/TfrmMain.h"
#include "stats/ui/TfrmStatistics.h"
#include "support/pinnedsettings.h"
#include "support/windowfixture.h"

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <stdexcept>

using namespace kelvane;

class TfrmMainTest : public QObject {
    Q_OBJECT

    using Fixture = test::WindowServices;

    static QPushButton* button(QWidget* w, const char* name) { return w->findChild<QPushButton*>(name); }

private Q_SLOTS:
    void initTestCase() { test::pinSettings(); }

    // Every control's caption, hint and size, the panels stacked in order,
    // and the window's frame.
    void layoutTable()
    {
        Fixture f;
        TfrmMain launcher(f.services);
        const std::vector<test::ControlLine> table = {
            {"", "Kelvane '95 Version 2.0 from Brellwick", {}, true, test::rect(0, 0, 485, 353)},
            {"btDuplicate", "&Duplicate files", {}, true, test::size(185, 28)},
            {"btDuplicateLabel", "Locate and view duplicate files", {}, true, test::clearOf("btDuplicate")},
            {"btFileHog", "&File hogs", {}, true, test::size(185, 28)},
            {"btFileHogLabel",
             "Locate and view file hogs (large files)",
             {},
             true,
             test::clearOf("btFileHog")},
            {"btFiles", "Files &changed", {}, true, test::size(185, 28)},
            {"btFilesLabel",
             "Displays modified files within a range of dates",
             {},
             true,
             test::clearOf("btFiles")},
            {"btDirHogs", "Directory &hogs", {}, true, test::size(185, 28)},
            {"btDirHogsLabel", "Displays large directories", {}, true, test::clearOf("btDirHogs")},
            {"btStatistic", "&Statistics", {}, true, test::size(185, 28)},
            {"btStatisticLabel", "Displays interesting statistics", {}, true, test::clearOf("btStatistic")},
            {"btClose", "E&xit", "Quit and close ", true, test::size(185, 28)},
            {"btReach", "H&ow to reach us", {}, true, test::size(185, 28)},
        };
        launcher.show();
        QVERIFY_NO_DIFFERENCES(test::layoutDifferences(launcher, table));
        QVERIFY_NO_DIFFERENCES(test::sharedAccelerators(launcher));
        int lastTop = -1;
        for (const char* name : {"btDuplicate", "btFileHog", "btFiles", "btDirHogs", "btStatistic"}) {
            const QWidget* panel = button(&launcher, name)->parentWidget();
            QCOMPARE(panel->size(), QSize(463, 51));
            QVERIFY(panel->y() > lastTop); // stacked top to bottom in this order
            lastTop = panel->y();
        }
        QVERIFY(launcher.findChild<QLabel*>("btFilesLabel")->font().bold());
        QCOMPARE(launcher.findChild<QLabel*>("btFilesLabel")->font().pixelSize(), 13);
        QVERIFY(!(launcher.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(launcher.windowFlags() & Qt::WindowMinimizeButtonHint);
    }

    void searchPathListFilledOnce()
    {
        Fixture f;
        qputenv("PATH", "/usr/local/bin:/usr/bin:/opt/Tools/");
        TfrmMain launcher(f.services);
        auto* lb1 = launcher.findChild<QListWidget*>("lb1");
        QVERIFY(lb1 && lb1->isHidden());
        QCOMPARE(lb1->count(), 3);
        QCOMPARE(lb1->item(2)->text(), QString("/opt/Tools/"));
        QVERIFY(f.services.searchPath);
        QVERIFY(f.services.searchPath->inSearchPath(u"/usr/bin"));
    }

    // The mode flag is set on every opening and each opening gets a new window
    // that is gone afterwards.
    void toolWindowsFreshEachTime()
    {
        Fixture f;
        TfrmMain launcher(f.services);
        QStringList captions;
        QList<bool> flags;
        QList<QPointer<QDialog>> windows;
        launcher.setModalRunner([&](QDialog& d) {
            captions << d.windowTitle();
            flags << findDuplicates;
            windows << QPointer<QDialog>(&d);
            QCOMPARE(d.parentWidget(), &launcher);
        });
        button(&launcher, "btDuplicate")->click();
        button(&launcher, "btFileHog")->click();
        button(&launcher, "btDuplicate")->click();
        button(&launcher, "btFiles")->click();
        button(&launcher, "btDirHogs")->click();
        button(&launcher, "btReach")->click();
        QCOMPARE(captions,
                 QStringList({"Find and delete duplicate files", "Find and delete file hogs",
                              "Find and delete duplicate files", "Files changed in a range of dates",
                              "Directory Hogs", "How to contact us"}));
        QCOMPARE(flags.mid(0, 3), QList<bool>({true, false, true}));
        for (const auto& w : windows)
            QVERIFY(w.isNull());
    }

    void errorWhileShownStillFreesTheWindow()
    {
        Fixture f;
        TfrmMain launcher(f.services);
        launcher.show();
        QPointer<QDialog> window;
        launcher.setModalRunner([&](QDialog& d) {
            window = &d;
            throw std::runtime_error("broken");
        });
        button(&launcher, "btDirHogs")->click();
        QVERIFY(window.isNull());
        QCOMPARE(f.messages.texts(), QStringList({"broken"}));
        QVERIFY(launcher.isVisible());
    }

    void exitNoticeAfterTheFirstOfMay1998()
    {
        const QString notice = "This version is more than 2 years old.  You may want to check  with "
                               "Brellwick for a new version.";
        {
            Fixture f;
            f.clock.set(QDateTime(QDate(1998, 5, 1), QTime(0, 0, 0)));
            TfrmMain launcher(f.services);
            launcher.show();
            button(&launcher, "btClose")->click();
            QVERIFY(f.messages.shown().isEmpty());
            QVERIFY(!launcher.isVisible());
        }
        {
            Fixture f;
            f.clock.set(QDateTime(QDate(1998, 5, 1), QTime(0, 0, 1)));
            TfrmMain launcher(f.services);
            launcher.show();
            QSignalSpy closed(&launcher, &TfrmMain::closed);
            button(&launcher, "btClose")->click();
            QCOMPARE(f.messages.texts(), QStringList({notice}));
            QCOMPARE(f.messages.shown().first().kind, Messages::Kind::Plain);
            QVERIFY(!launcher.isVisible());
            QCOMPARE(closed.count(), 1);
        }
        {
            Fixture f; // the close box: no notice
            TfrmMain launcher(f.services);
            launcher.show();
            launcher.close();
            QVERIFY(f.messages.shown().isEmpty());
        }
    }

    void statisticsWindowIsOneWindowThatKeepsItsState()
    {
        Fixture f;
        TfrmMain launcher(f.services);
        TfrmStatistics statistics(f.services);
        launcher.setStatistics(&statistics);
        launcher.show();
        button(&launcher, "btStatistic")->click();
        QVERIFY(statistics.isVisible());
        QVERIFY(launcher.isEnabled()); // not modal
        QCOMPARE(statistics.windowTitle(), QString("File Statistics Not Yet Collected"));
        QStringList pages;
        for (int i = 0; i < statistics.pages()->count(); ++i)
            pages << statistics.pages()->tabText(i);
        QCOMPARE(pages, QStringList({"File Types", "File Sizes", "File Ages", "Disk Space"}));
        statistics.pages()->setCurrentIndex(2);
        button(&statistics, "btCancel")->click();
        QVERIFY(!statistics.isVisible());
        button(&launcher, "btStatistic")->click();
        QVERIFY(statistics.isVisible());
        // Every showing opens on the Disk Space page; the window is the same one.
        QCOMPARE(statistics.pages()->currentIndex(), 3);
    }
};

QTEST_MAIN(TfrmMainTest)
#include "TfrmMain_test.moc"
