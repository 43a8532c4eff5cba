#include "common/scanoptions.h"

namespace kelvane {

QString measureName(SizeMeasure measure)
{
    return measure == SizeMeasure::Apparent ? QStringLiteral("Apparent size")
                                            : QStringLiteral("Space on disk");
}

QString sizeHeading(SizeMeasure measure, const QString& apparentHeading)
{
    if (measure == SizeMeasure::Apparent)
        return apparentHeading;
    // "Size in K" becomes "On disk in K".
    if (apparentHeading.startsWith(QStringLiteral("Size")))
        return QStringLiteral("On disk") + apparentHeading.mid(4);
    return QStringLiteral("On disk");
}

QString measuredTitle(SizeMeasure measure, const QString& title)
{
    return measure == SizeMeasure::Apparent ? title : title + QStringLiteral(" (space on disk)");
}

} // namespace kelvane
