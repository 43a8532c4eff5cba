#include "common/ui/settings.h"

#include <QWidget>

namespace kelvane {

QSettings& appSettings()
{
    // Named here rather than through QCoreApplication, so that every window
    // and test finds the same file.
    static QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("kelvane"),
                              QStringLiteral("kelvane"));
    return settings;
}

void saveWindowSize(const QWidget* window, const QString& group)
{
    appSettings().setValue(group + QStringLiteral("/size"), window->size());
}

void restoreWindowSize(QWidget* window, const QString& group)
{
    const QSize size = appSettings().value(group + QStringLiteral("/size")).toSize();
    if (size.isValid())
        window->resize(size.expandedTo(window->minimumSize()));
}

} // namespace kelvane
