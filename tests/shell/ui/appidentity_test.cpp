// The program's name, desktop id and icon: what the desktop matches windows by.

#include "common/version.h"
#include "shell/ui/appidentity.h"
#include "support/pinnedsettings.h"

#include <QApplication>
#include <QImage>
#include <QtTest>

class AppIdentityTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { kelvane::test::pinSettings(); }

    void namesTheProgramForTheDesktop()
    {
        kelvane::setApplicationIdentity();
        // WM_CLASS and the settings folder come from the application name:
        // one word, no quote and no space.
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("kelvane"));
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral(KELVANE_VERSION));
        // The Wayland app id names the desktop entry.
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral(KELVANE_APP_ID));
        QVERIFY(QStringLiteral(KELVANE_APP_ID).count(QLatin1Char('.')) >= 2);
    }

    void theIconIsDrawnInEverySize()
    {
        const QIcon icon = kelvane::applicationIcon();
        QVERIFY(!icon.isNull());
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
            const QImage image = icon.pixmap(QSize(size, size)).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            // Not blank: the corners are clear, the middle is painted.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QVERIFY(qAlpha(image.pixel(size / 2, size / 2)) > 200);
        }
    }
};

QTEST_MAIN(AppIdentityTest)
#include "appidentity_test.moc"
