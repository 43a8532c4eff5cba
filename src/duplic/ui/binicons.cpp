#include "duplic/ui/binicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kelvane {

namespace {

constexpr int kSize = 32;

QPixmap drawBin(bool full)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (full) {
        // Crumpled paper above the rim.
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(QColor(250, 250, 240));
        p.drawEllipse(QRectF(7, 3, 10, 8));
        p.drawEllipse(QRectF(14, 2, 11, 9));
        p.setBrush(QColor(210, 225, 250));
        p.drawEllipse(QRectF(10, 5, 9, 7));
    }
    // The body: a tapered pail with ribs.
    QPainterPath body;
    body.moveTo(5, 10);
    body.lineTo(27, 10);
    body.lineTo(24, 30);
    body.lineTo(8, 30);
    body.closeSubpath();
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(QColor(150, 160, 170));
    p.drawPath(body);
    p.setPen(QPen(QColor(90, 100, 110), 1.2));
    for (const qreal x : {11.0, 16.0, 21.0})
        p.drawLine(QPointF(x, 13), QPointF(x + (x - 16) * 0.15, 27));
    // The rim.
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(QColor(180, 190, 200));
    p.drawRoundedRect(QRectF(3.5, 8.5, 25, 3.5), 1.5, 1.5);
    return pixmap;
}

} // namespace

QIcon emptyBinIcon()
{
    return QIcon(drawBin(false));
}

QIcon fullBinIcon()
{
    return QIcon(drawBin(true));
}

} // namespace kelvane
