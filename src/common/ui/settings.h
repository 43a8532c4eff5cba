#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

class QWidget;

namespace kelvane {

// The choices Kelvane remembers between runs, in one file:
// ~/.config/kelvane/kelvane.conf ($XDG_CONFIG_HOME respected). Each window
// keeps its keys under a group of its own ("FileHogs/limitKB").
QSettings& appSettings();

// One remembered value by key, fallback when none is kept; remembering
// writes the file at once, so a crash later loses nothing.
QVariant rememberedValue(const QString& key, const QVariant& fallback = {});
void rememberValue(const QString& key, const QVariant& value);

// "Move to Trash" in the confirmations that delete; off unless chosen.
bool moveToTrashChosen();
void setMoveToTrashChosen(bool chosen);

// A window's size, kept under group/"size"; restoring ignores a size below
// the window's minimum and keeps the window's own size when none is kept.
void saveWindowSize(const QWidget* window, const QString& group);
void restoreWindowSize(QWidget* window, const QString& group);

} // namespace kelvane
