#include "common/ui/busypointer.h"

#include <QApplication>

namespace kelvane {

BusyPointer::BusyPointer(Qt::CursorShape shape)
{
    QApplication::setOverrideCursor(shape);
}

BusyPointer::~BusyPointer()
{
    QApplication::restoreOverrideCursor();
}

} // namespace kelvane
