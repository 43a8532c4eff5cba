#include "filemod/ui/buttonimages.h"

#include <QPainter>
#include <QPixmap>

namespace kelvane {

namespace {

constexpr int kSize = 16;

QPixmap blank()
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawCan(QPainter& p)
{
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(QColor(176, 176, 176));
    p.drawRect(3, 5, 9, 10); // body
    p.drawRect(2, 3, 11, 2); // lid
    p.drawLine(6, 7, 6, 13);
    p.drawLine(9, 7, 9, 13);
}

QIcon trash(bool full)
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    if (full) {
        // Paper sticking out above the open lid.
        p.setPen(QPen(QColor(64, 64, 64), 1));
        p.setBrush(Qt::white);
        p.drawRect(4, 0, 4, 4);
        p.setBrush(QColor(255, 240, 160));
        p.drawRect(8, 1, 4, 3);
    }
    drawCan(p);
    return QIcon(pixmap);
}

} // namespace

QIcon emptyTrashIcon()
{
    return trash(false);
}

QIcon fullTrashIcon()
{
    return trash(true);
}

QIcon calendarIcon()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(Qt::white);
    p.drawRect(1, 2, 13, 12);
    p.fillRect(2, 3, 12, 3, QColor(180, 30, 30));
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col)
            p.fillRect(3 + col * 3, 7 + row * 2, 2, 1, QColor(64, 64, 64));
    }
    return QIcon(pixmap);
}

} // namespace kelvane
