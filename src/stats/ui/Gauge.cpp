#include "stats/ui/Gauge.h"

#include <QPainter>

#include <algorithm>

namespace kelvane {

Gauge::Gauge(const QColor& fill, const QColor& background, QWidget* parent)
    : QProgressBar(parent), fill_(fill), background_(background)
{
    setRange(0, 100);
    setValue(0);
    setFormat(QStringLiteral("%p%"));
}

void Gauge::setSecondPart(int value, const QColor& colour)
{
    second_ = std::clamp(value, 0, maximum() - minimum());
    secondColour_ = colour;
    update();
}

void Gauge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(inside, background_);
    const int span = maximum() - minimum();
    const int filledWidth = span > 0 ? int(qint64(inside.width()) * (value() - minimum()) / span) : 0;
    const QRect filled(inside.topLeft(), QSize(filledWidth, inside.height()));
    painter.fillRect(filled, fill_);
    if (second_ > 0 && span > 0) {
        const int secondWidth = int(qint64(inside.width()) * second_ / span);
        painter.fillRect(QRect(filled.topRight() + QPoint(1, 0), QSize(secondWidth, inside.height())),
                         secondColour_);
    }
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);
    if (!isTextVisible())
        return;
    // The text is drawn twice, each time clipped to one part of the bar, so
    // that it stays readable where the fill runs through it.
    const QString label = text();
    painter.setClipRect(filled);
    painter.setPen(Qt::white);
    painter.drawText(inside, Qt::AlignCenter, label);
    painter.setClipRegion(QRegion(inside).subtracted(QRegion(filled)));
    painter.setPen(Qt::black);
    painter.drawText(inside, Qt::AlignCenter, label);
}

} // namespace kelvane
