// The drive panel of the three scanning windows on a given screen: run once
// per screen (KELVANE_TEST_SCREEN = WIDTHxHEIGHT@SCALE, 1280x1024@1 when unset),
// on the offscreen platform with that screen and QT_SCALE_FACTOR.

#include "common/ui/DrivePanel.h"
#include "common/ui/ScanWindow.h"
#include "dirhog/ui/TfrmDirHog.h"
#include "duplic/findduplicates.h"
#include "duplic/ui/TfrmDup.h"
#include "filemod/ui/TfrmMods.h"
#include "support/pinnedsettings.h"
#include "support/windowfixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace kelvane;

namespace {

struct ScreenSetup {
    int width = 1280;
    int height = 1024;
    int scale = 1;
};

ScreenSetup screenSetup()
{
    ScreenSetup setup;
    static const QRegularExpression form(QStringLiteral("^(\\d+)x(\\d+)@(\\d+)$"));
    const auto match = form.match(QString::fromLocal8Bit(qgetenv("KELVANE_TEST_SCREEN")));
    if (match.hasMatch())
        setup = {match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt()};
    return setup;
}

enum class Tool { Duplicates, Hogs, DirHogs, Changed };

std::unique_ptr<ScanWindow> makeWindow(Tool tool, Services& services)
{
    switch (tool) {
    case Tool::Duplicates:
    case Tool::Hogs:
        findDuplicates = tool == Tool::Duplicates;
        return std::make_unique<TfrmDup>(services);
    case Tool::DirHogs:
        return std::make_unique<TfrmDirHog>(services);
    case Tool::Changed:
        return std::make_unique<TfrmMods>(services);
    }
    return nullptr;
}

std::vector<Drive> drivesOf(const QStringList& captions)
{
    std::vector<Drive> drives;
    for (const QString& caption : captions) {
        Drive d;
        d.root = caption.toStdString();
        d.caption = caption;
        d.toolTip = QStringLiteral("/dev/sdz1, ext4");
        drives.push_back(d);
    }
    return drives;
}

// Twenty-five mount paths of 45 characters, as USB disks get them.
QStringList longCaptions()
{
    QStringList captions;
    for (int i = 1; i <= 25; ++i) {
        const QString name = i % 2 ? QStringLiteral("/media/alice/Seagate Expansion Desk 4TB %1")
                                   : QStringLiteral("/media/alice/My Passport Ultra & Backup %1");
        captions << name.arg(i, 2, 10, QLatin1Char('0')).leftJustified(45, QLatin1Char('x'));
    }
    return captions;
}

bool isControl(const QWidget* w)
{
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractItemView*>(w);
}

QRect inWindow(const QWidget* w, const QWidget* window)
{
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

QString describe(const QWidget* w, const QWidget* window)
{
    const QRect r = inWindow(w, window);
    return QStringLiteral("%1 %2,%3 %4x%5")
        .arg(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName())
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height());
}

} // namespace

class DrivePanelGeometryTest : public QObject {
    Q_OBJECT

    using Fixture = test::WindowServices;

private Q_SLOTS:
    void initTestCase()
    {
        test::pinSettings();
        const ScreenSetup setup = screenSetup();
        const QScreen* screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->geometry().size(), QSize(setup.width / setup.scale, setup.height / setup.scale));
    }

    // Every window with every kind of drive list: the panel and each box stay
    // inside the window, the window on the screen, and neither the panel nor its
    // label covers another control; each caption is whole or cut in the
    // middle, never clipped; "&" is shown as it is; and where the captions fit
    // as designed, boxes and panel keep the designed places and sizes.
    void panelStaysInsideAndClear_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<int>("designBoxWidth"); // 0: captions that do not fit as designed

        const QStringList ampersands = {"/", "/mnt/R&D", "/srv/A&B shares", "/media/bob/Tom & Jerry"};
        QStringList designed;
        for (int i = 0; i < 25; ++i)
            designed << QStringLiteral("/");
        const QList<QPair<Tool, const char*>> tools = {{Tool::Duplicates, "duplicates"},
                                                       {Tool::Hogs, "file hogs"},
                                                       {Tool::DirHogs, "directory hogs"},
                                                       {Tool::Changed, "files changed"}};
        for (const auto& [tool, name] : tools) {
            const int design = tool == Tool::Duplicates || tool == Tool::Hogs ? 41 : 35;
            QTest::addRow("%s, 25 long", name) << int(tool) << longCaptions() << 0;
            QTest::addRow("%s, ampersands", name) << int(tool) << ampersands << 0;
            QTest::addRow("%s, as designed", name) << int(tool) << designed << design;
            QTest::addRow("%s, one", name) << int(tool) << QStringList{"/"} << design;
            QTest::addRow("%s, long folder", name)
                << int(tool)
                << QStringList{"/", "/home",
                               "/home/alice/Projects/R&D/2026 budget review/Quarterly reports & drafts"}
                << 0;
        }
    }

    void panelStaysInsideAndClear()
    {
        QFETCH(int, tool);
        QFETCH(QStringList, captions);
        QFETCH(int, designBoxWidth);
        Fixture f;
        f.drives = FixedDriveList(drivesOf(captions), 0);
        const std::unique_ptr<ScanWindow> window = makeWindow(Tool(tool), f.services);
        ScanWindow& w = *window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        const QRect screen = w.screen()->availableGeometry();
        QVERIFY2(
            screen.contains(w.geometry()),
            qPrintable(
                QStringLiteral("window %1,%2 %3x%4").arg(w.x()).arg(w.y()).arg(w.width()).arg(w.height())));
        DrivePanel* panel = w.drivePanel();
        const QRect panelRect = inWindow(panel, &w);
        QVERIFY2(w.rect().contains(panelRect), qPrintable(describe(panel, &w)));
        const QWidget* label4 = w.findChild<QLabel*>(QStringLiteral("Label4"));
        const QRect labelRect = inWindow(label4, &w);
        QVERIFY(w.rect().contains(labelRect));

        for (int i = 1; i <= int(captions.size()); ++i) {
            QCheckBox* box = panel->box(i);
            QVERIFY(box->isVisibleTo(&w));
            QVERIFY2(panelRect.contains(inWindow(box, &w)), qPrintable(describe(box, &w)));
            QVERIFY2(box->sizeHint().width() <= box->width(), qPrintable(describe(box, &w)));
            const QString caption = captions[i - 1];
            const QString shown = panel->shownCaption(i);
            if (shown != caption) {
                const qsizetype cut = shown.indexOf(QChar(0x2026));
                QVERIFY2(cut > 0 && caption.startsWith(shown.left(cut)) &&
                             caption.endsWith(shown.mid(cut + 1)),
                         qPrintable(shown));
            }
            QVERIFY(box->toolTip().startsWith(caption));
            QCOMPARE(box->text().count(QLatin1Char('&')), 2 * shown.count(QLatin1Char('&')));
        }
        for (int i = int(captions.size()) + 1; i <= DrivePanel::kBoxes; ++i)
            QVERIFY(!panel->box(i)->isVisibleTo(&w));
        // "Folder…" in the place after the last box, clear of every box, while one is free.
        const QToolButton* folderButton = panel->folderButton();
        QCOMPARE(folderButton->isVisibleTo(&w), captions.size() < DrivePanel::kBoxes);
        if (folderButton->isVisibleTo(&w)) {
            const QRect buttonRect = inWindow(folderButton, &w);
            QVERIFY2(panelRect.contains(buttonRect), qPrintable(describe(folderButton, &w)));
            QVERIFY(folderButton->sizeHint().width() <= folderButton->width());
            for (int i = 1; i <= int(captions.size()); ++i)
                QVERIFY2(!inWindow(panel->box(i), &w).intersects(buttonRect),
                         qPrintable(describe(panel->box(i), &w) + " under " + describe(folderButton, &w)));
        }

        for (const QWidget* other : w.findChildren<QWidget*>()) {
            if (!isControl(other) || !other->isVisibleTo(&w) || other == panel ||
                panel->isAncestorOf(other) || other == label4 || other->isAncestorOf(panel))
                continue;
            const QRect r = inWindow(other, &w);
            QVERIFY2(!r.intersects(panelRect), qPrintable(describe(other, &w) + " under the drive panel"));
            QVERIFY2(!r.intersects(labelRect), qPrintable(describe(other, &w) + " under the drives label"));
        }

        if (designBoxWidth > 0) {
            QCOMPARE(panel->height(), 127);
            QCOMPARE(panel->width(), designBoxWidth == 41 ? 205 : 199);
            for (int i = 1; i <= int(captions.size()); ++i) {
                const int column = (i - 1) / 5, row = (i - 1) % 5;
                QCOMPARE(panel->box(i)->geometry(), QRect(8 + 38 * column, 6 + 24 * row, designBoxWidth, 17));
            }
        }
    }

    // "&" in a mount path is no accelerator: Alt with the next letter leaves
    // the box as it is.
    void ampersandIsNoAccelerator()
    {
        Fixture f;
        f.drives = FixedDriveList(drivesOf({"/", "/mnt/R&D"}), 0);
        findDuplicates = true;
        TfrmDup w(f.services);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCheckBox* box = w.drivePanel()->box(2);
        QCOMPARE(w.drivePanel()->shownCaption(2), QString("/mnt/R&D"));
        QVERIFY(!box->isChecked());
        QTest::keyClick(&w, Qt::Key_D, Qt::AltModifier);
        QVERIFY(!box->isChecked());
        QVERIFY(box->shortcut().isEmpty());
    }
};

int main(int argc, char** argv)
{
    const ScreenSetup setup = screenSetup();
    // A screen of the given size for the offscreen platform.
    test::TempTree config;
    const QString path = QString::fromStdString(config.path("screen.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 2;
    file.write(QStringLiteral("{\"screens\": [{\"name\": \"test\", \"x\": 0, \"y\": 0, \"width\": %1, "
                              "\"height\": %2, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}")
                   .arg(setup.width)
                   .arg(setup.height)
                   .toUtf8());
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).toLocal8Bit());
    if (setup.scale != 1)
        qputenv("QT_SCALE_FACTOR", QByteArray::number(setup.scale));
    QApplication app(argc, argv);
    DrivePanelGeometryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DrivePanelGeometry_test.moc"
