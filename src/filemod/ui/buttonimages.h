#pragma once

#include <QIcon>

namespace kelvane {

// Small pictures of the files-changed window's buttons, drawn here so that
// they look the same with or without an icon theme.
QIcon emptyTrashIcon();
QIcon fullTrashIcon();
QIcon calendarIcon();

} // namespace kelvane
