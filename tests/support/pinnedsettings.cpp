#include "support/pinnedsettings.h"

#include <QLocale>

#include <cstdlib>
#include <ctime>

namespace kelvane::test {

void pinSettings()
{
    ::setenv("TZ", "Europe/Berlin", 1);
    ::tzset();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

} // namespace kelvane::test
