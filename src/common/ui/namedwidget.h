#pragma once

#include <QLatin1String>
#include <QRect>

namespace kelvane {

// A newly made widget with its object name (what tests find it by) and, when
// given, its place in its parent: a design rectangle times scale.
template <class Widget>
Widget* named(Widget* widget, const char* name, const QRect& design = QRect(), int scale = 1)
{
    widget->setObjectName(QLatin1String(name));
    if (design.isValid())
        widget->setGeometry(design.x() * scale, design.y() * scale, design.width() * scale,
                            design.height() * scale);
    return widget;
}

} // namespace kelvane
