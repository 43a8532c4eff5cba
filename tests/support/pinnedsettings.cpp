#include "support/pinnedsettings.h"

#include <QLocale>
#include <QTemporaryDir>

#include <cstdlib>
#include <ctime>
#include <string>

namespace kelvane::test {

namespace {

QTemporaryDir& configHome()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kelvane-test-config-XXXXXX"));
    return dir;
}

} // namespace

void pinSettings()
{
    ::setenv("TZ", "Europe/Berlin", 1);
    ::tzset();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ::setenv("XDG_CONFIG_HOME", testConfigHome(), 1);
}

const char* testConfigHome()
{
    static const std::string path = configHome().path().toStdString();
    return path.c_str();
}

} // namespace kelvane::test
