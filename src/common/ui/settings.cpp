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

QVariant rememberedValue(const QString& key, const QVariant& fallback)
{
    return appSettings().value(key, fallback);
}

void rememberValue(const QString& key, const QVariant& value)
{
    appSettings().setValue(key, value);
    appSettings().sync();
}

bool moveToTrashChosen()
{
    return rememberedValue(QStringLiteral("Deleting/moveToTrash"), false).toBool();
}

void setMoveToTrashChosen(bool chosen)
{
    rememberValue(QStringLiteral("Deleting/moveToTrash"), chosen);
}

void saveWindowSize(const QWidget* window, const QString& group)
{
    rememberValue(group + QStringLiteral("/size"), window->size());
}

void restoreWindowSize(QWidget* window, const QString& group)
{
    const QSize size = rememberedValue(group + QStringLiteral("/size")).toSize();
    if (size.isValid())
        window->resize(size.expandedTo(window->minimumSize()));
}

} // namespace kelvane
