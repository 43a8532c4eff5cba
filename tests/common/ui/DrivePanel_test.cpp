#include "common/driveloop.h"
#include "common/folderroot.h"
#include "common/scantexts.h"
#include "common/ui/DrivePanel.h"
#include "dirhog/ui/TfrmDirHog.h"
#include "support/pinnedsettings.h"
#include "support/windowfixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace kelvane;

class DrivePanelTest : public QObject {
    Q_OBJECT

    // count drives, each a temporary directory; current is the current one.
    struct Fixture : test::WindowServices {
        std::vector<std::unique_ptr<test::TempTree>> trees;

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
            [&](const Drive& d) { reported << cantOpenDriveText(d.caption); });
        QCOMPARE(walked.size(), size_t(2));
        QCOMPARE(walked[1], tree.root());
        QCOMPARE(reported, QStringList({"Can't open drive " + QString::fromStdString(plainFile)}));
    }

    // "Folder…" takes the place after the last box and counts in the 25: the
    // 25th box is the last folder box, and the button goes.
    void folderBoxesCountInTheTwentyFive()
    {
        Fixture f(24, 0);
        TfrmDirHog window(f.services);
        window.show();
        DrivePanel* panel = window.drivePanel();
        QToolButton* folderButton = panel->folderButton();
        QCOMPARE(folderButton->text(), QString("&Folder\u2026"));
        QVERIFY(folderButton->isVisibleTo(&window));
        // Fifth column, last row: where box 25 goes.
        QCOMPARE(folderButton->x(), panel->box(21)->x());
        QVERIFY(folderButton->y() > panel->box(24)->y());
        QVERIFY(panel->rect().contains(folderButton->geometry()));
        test::TempTree home;
        home.file("a/file.bin", 10);
        std::string why;
        const Drive folder = *folderRoot(home.path("a"), &why);
        QCOMPARE(panel->addBox(folder), 25);
        QVERIFY(panel->box(25)->isChecked());
        QVERIFY(!folderButton->isVisibleTo(&window));
        QCOMPARE(panel->addBox(folder), 25); // the same root keeps its box
        Drive another = folder;
        another.root = home.root();
        QCOMPARE(panel->addBox(another), 0);
        QCOMPARE(panel->selectedDrives().size(), size_t(2));
    }

    // Folders always get their boxes: the drives after the 25th give way.
    void foldersPushOutTheLastDrives()
    {
        Fixture f(25, 0);
        test::TempTree home;
        std::string why;
        f.drives.addFolder(*folderRoot(home.root(), &why));
        TfrmDirHog window(f.services);
        window.show();
        QVERIFY(
            window.drivePanel()->box(25)->toolTip().startsWith(QString::fromStdString(home.root()) + "\n"));
        QVERIFY(!window.drivePanel()->box(25)->isChecked());
        QVERIFY(window.drivePanel()->box(1)->isChecked());
        QVERIFY(!window.drivePanel()->folderButton()->isVisibleTo(&window));
    }

    // A folder that the walk of another ticked root takes in is walked once,
    // as part of it; inside a hidden directory only when hidden ones are walked.
    void folderInsideATickedRootIsWalkedOnce()
    {
        test::TempTree tree;
        tree.file("sub/f.bin", 1);
        tree.file(".hidden/g.bin", 1);
        auto drives = FixedDriveList::fromDirectories({tree.root()}).drives();
        std::string why;
        const Drive sub = *folderRoot(tree.path("sub"), &why);
        const Drive hidden = *folderRoot(tree.path(".hidden"), &why);
        for (const bool enterHidden : {false, true}) {
            std::vector<std::string> walked;
            forEachSelectedDrive(
                {sub, drives[0], hidden, sub},
                [&](const Drive& d) {
                    walked.push_back(d.root);
                    return true;
                },
                {}, {}, enterHidden);
            std::vector<std::string> expected = {tree.root()};
            if (!enterHidden)
                expected.push_back(tree.path(".hidden"));
            QCOMPARE(walked, expected);
        }
    }
};

QTEST_MAIN(DrivePanelTest)
#include "DrivePanel_test.moc"
