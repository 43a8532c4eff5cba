#include "shell/ui/appidentity.h"

#include "common/version.h"

#include <QGuiApplication>

// The icons are compiled into the window library; a static library's
// resources are registered only when something asks for them.
static void registerIcons()
{
    Q_INIT_RESOURCE(icons);
}

namespace kelvane {

void setApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("kelvane"));
    QCoreApplication::setApplicationName(QStringLiteral("kelvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KELVANE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(KELVANE_APP_ID));
}

QIcon applicationIcon()
{
    registerIcons();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/kelvane-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace kelvane
