#include "common/driveloop.h"
#include "common/ui/DrivePanel.h"
#include "common/ui/services.h"
#include "dirhog/ui/TfrmDirHog.h"
#include "support/pinnedsettings.h"
#include "support/temptree.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace kelvane;

class DrivePanelTest : public QObject {
    Q_OBJECT

    struct Fixture {
        std::vector<std::unique_ptr<test::TempTree>> trees;
        ScriptedMessages messages;
        PdfPrintService printing{"/dev/null"};
        MemoryClipboard clipboard;
        FixedDriveList drives{{}};
        FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(10, 0))};
        Services services{&messages, &printing, &clipboard, &drives, &clock, nullptr};

        explicit Fixture(int count, int current)
        {
            std::vector<std::string> roots;
            for (int i = 0; i < count; ++i) {
                trees.push_back(std::make_unique<test::TempTree>());
                roots.push_back(trees.back()->root());
            }
            drives = FixedDriveList::fromDirectories(roots, current);
        }
    };

private Q_SLOTS:
    void initTestCase() { test::pinSettings(); }

    void oneBoxPerDriveCurrentTicked()
    {
        Fixture f(3, 1);
        TfrmDirHog window(f.services);
        DrivePanel* panel = window.drivePanel();
        QCOMPARE(panel->objectName(), QString("pnlDrives"));
        QCOMPARE(panel->height(), 127);
        for (int i = 1; i <= 3; ++i) {
            QVERIFY(!panel->box(i)->isHidden());
            QCOMPARE(panel->box(i)->text(), QString::fromStdString(f.trees[size_t(i - 1)]->root()));
            QCOMPARE(panel->box(i)->isChecked(), i == 2);
        }
        for (int i = 4; i <= 25; ++i)
            QVERIFY(panel->box(i)->isHidden());
        // Column by column: cb1 to cb5 share a column, cb6 starts the next.
        QCOMPARE(panel->box(2)->x(), panel->box(1)->x());
        QVERIFY(panel->box(2)->y() > panel->box(1)->y());
        QCOMPARE(panel->selectedDrives().size(), size_t(1));
        QCOMPARE(panel->selectedDrives()[0].root, f.trees[1]->root());
        // Long captions fit: boxes and panel widen.
        QVERIFY(panel->box(1)->width() >= panel->box(1)->sizeHint().width());
        QVERIFY(panel->width() >= panel->box(1)->width() * 1 + 8);
        QCOMPARE(panel->x() + panel->width(), window.width() - 10);
    }

    void startButtonsFollowTheTicks()
    {
        Fixture f(3, 0);
        TfrmDirHog window(f.services);
        window.show();
        auto* top = window.findChild<QPushButton*>("btTop");
        auto* all = window.findChild<QPushButton*>("btAll");
        QVERIFY(top->isEnabled() && all->isEnabled());
        QTest::mouseClick(window.drivePanel()->box(1), Qt::LeftButton);
        QVERIFY(!window.drivePanel()->box(1)->isChecked());
        QVERIFY(!top->isEnabled());
        QVERIFY(!all->isEnabled());
        QTest::mouseClick(window.drivePanel()->box(3), Qt::LeftButton);
        QVERIFY(top->isEnabled() && all->isEnabled());
        QCOMPARE(window.drivePanel()->selectedDrives()[0].root, f.trees[2]->root());
    }

    void noBoxForThe26thDrive()
    {
        Fixture f(26, 25);
        TfrmDirHog window(f.services);
        for (int i = 1; i <= 25; ++i)
            QVERIFY(!window.drivePanel()->box(i)->isHidden());
        // The current drive is the 26th: no box, nothing ticked, nothing to start.
        QVERIFY(!window.drivePanel()->anyChecked());
        QVERIFY(!window.findChild<QPushButton*>("btTop")->isEnabled());
    }

    // Drives that do not answer are skipped silently; a root that answers but
    // cannot be opened is reported and the rest still walked.
    void selectedDrivesLoop()
    {
        test::TempTree tree;
        const std::string plainFile = tree.file("not-a-directory", 1);
        const auto list = FixedDriveList::fromDirectories(
            {tree.path("missing"), plainFile, tree.root(), tree.path("missing2")});
        std::vector<std::string> walked;
        QStringList reported;
        forEachSelectedDrive(
            list.drives(),
            [&](const Drive& d) {
                walked.push_back(d.root);
                return QDir(QString::fromStdString(d.root)).exists();
            },
            [&](const Drive& d) { reported << cantOpenDriveText(d); });
        QCOMPARE(walked.size(), size_t(2));
        QCOMPARE(walked[1], tree.root());
        QCOMPARE(reported, QStringList({"Can't open drive " + QString::fromStdString(plainFile)}));
    }
};

QTEST_MAIN(DrivePanelTest)
#include "DrivePanel_test.moc"
