#include "common/commas.h"

#include <QLocale>

namespace kelvane {

QString addCommas(int64_t value)
{
    static const QLocale grouping(QLocale::English, QLocale::UnitedStates);
    return grouping.toString(qlonglong(value));
}

} // namespace kelvane
