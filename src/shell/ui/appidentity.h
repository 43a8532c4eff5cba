#pragma once

#include <QIcon>

namespace kelvane {

// Names the program before QApplication exists: "kelvane" as application
// name (WM_CLASS, the settings file) and the desktop entry's id (the Wayland
// app id, which lets the desktop find the entry and its icon).
void setApplicationIdentity();

// The program's icon in every size it is drawn in.
QIcon applicationIcon();

} // namespace kelvane
