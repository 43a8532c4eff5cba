#include "stats/ui/windowpicture.h"

#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QWidget>

namespace kelvane {

bool printWindowPicture(QWidget& window, QPrinter& printer)
{
    const QPixmap picture = window.grab();
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const qreal scale = qreal(printer.resolution()) / window.logicalDpiX();
    const QSizeF size = picture.deviceIndependentSize() * scale;
    painter.drawPixmap(QRectF(QPointF(0, 0), size), picture, QRectF(picture.rect()));
    return painter.end();
}

} // namespace kelvane
