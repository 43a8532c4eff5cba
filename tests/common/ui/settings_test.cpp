// What the windows remember between runs: each run is a new window reading
// the settings file the last one wrote.

#include "common/clock.h"
#include "common/drivelist.h"
#include "common/searchpath.h"
#include "common/ui/DrivePanel.h"
#include "common/ui/clipboard.h"
#include "common/ui/messages.h"
#include "common/ui/printing.h"
#include "common/ui/services.h"
#include "common/ui/settings.h"
#include "duplic/findduplicates.h"
#include "duplic/ui/TfrmDup.h"
#include "stats/ui/TfrmStatistics.h"
#include "support/pinnedsettings.h"
#include "support/temptree.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QSpinBox>
#include <QtTest>

using namespace kelvane;
using kelvane::test::TempTree;

namespace {

struct Fixture {
    TempTree a, b, c;
    ScriptedMessages messages;
    PdfPrintService printing{QString::fromStdString(a.path("out.pdf"))};
    MemoryClipboard clipboard;
    FixedDriveList drives = FixedDriveList::fromDirectories({a.root(), b.root(), c.root()}, 0);
    FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(10, 0))};
    SearchPathList searchPath;
    Services services{&messages, &printing, &clipboard, &drives, &clock, &searchPath};
};

QList<bool> ticks(const TfrmDup& window)
{
    QList<bool> ticked;
    for (int i = 1; i <= 3; ++i)
        ticked << window.drivePanel()->box(i)->isChecked();
    return ticked;
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::pinSettings(); }
    void init() { appSettings().clear(); }

    void theSettingsFileIsTheUsersConfigFile()
    {
        QCOMPARE(appSettings().fileName(),
                 QString::fromLocal8Bit(test::testConfigHome()) + QStringLiteral("/kelvane/kelvane.conf"));
    }

    void aToolWindowRemembersLimitPatternDrivesAndSize()
    {
        Fixture f;
        findDuplicates = false;
        QSize size;
        {
            TfrmDup window(f.services);
            window.show();
            QCOMPARE(ticks(window), (QList<bool>{true, false, false})); // the current drive, at first
            window.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->setValue(1200);
            window.findChild<QComboBox*>(QStringLiteral("cbWildCard"))->setEditText(QStringLiteral("*.iso"));
            window.drivePanel()->box(1)->setChecked(false);
            window.drivePanel()->box(2)->setChecked(true);
            window.drivePanel()->box(3)->setChecked(true);
            size = window.minimumSize() + QSize(37, 23);
            window.resize(size);
            window.reject();
        }
        appSettings().sync();
        QVERIFY(QFile::exists(appSettings().fileName()));
        {
            TfrmDup window(f.services);
            window.show();
            QCOMPARE(window.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->value(), 1200);
            QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("cbWildCard"))->currentText(),
                     QStringLiteral("*.iso"));
            QCOMPARE(ticks(window), (QList<bool>{false, true, true}));
            QCOMPARE(window.size(), size);
        }
        // The duplicates tool keeps its own choices.
        findDuplicates = true;
        TfrmDup duplicates(f.services);
        duplicates.show();
        QCOMPARE(duplicates.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->value(), 250);
        QCOMPARE(duplicates.findChild<QComboBox*>(QStringLiteral("cbWildCard"))->currentText(),
                 QStringLiteral("*.*"));
        QCOMPARE(ticks(duplicates), (QList<bool>{true, false, false}));
    }

    // Drives that are no longer there leave the current drive ticked.
    void rememberedDrivesThatAreGoneAreIgnored()
    {
        findDuplicates = false;
        {
            Fixture f;
            TfrmDup window(f.services);
            window.show();
            window.drivePanel()->box(3)->setChecked(true);
            window.reject();
        }
        Fixture other;
        TfrmDup window(other.services);
        window.show();
        QCOMPARE(ticks(window), (QList<bool>{true, false, false}));
    }

    void statisticsRemembersItsDrive()
    {
        Fixture f;
        {
            TfrmStatistics window(f.services);
            window.show();
            auto* combo = window.findChild<QComboBox*>(QStringLiteral("cbDrive"));
            QCOMPARE(combo->currentIndex(), 0);
            combo->setCurrentIndex(2);
            Q_EMIT combo->activated(2);
        }
        TfrmStatistics window(f.services);
        window.show();
        QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("cbDrive"))->currentIndex(), 2);
    }
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
