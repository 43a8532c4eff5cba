#include "common/ui/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kelvane {

void SystemClipboard::setText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

QString SystemClipboard::text() const
{
    return QGuiApplication::clipboard()->text();
}

} // namespace kelvane
