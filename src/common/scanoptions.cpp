#include "common/scanoptions.h"

namespace kelvane {

QString measureName(SizeMeasure measure)
{
    return measure == SizeMeasure::Apparent ? QStringLiteral("Apparent size")
                                            : QStringLiteral("Space on disk");
}

} // namespace kelvane
