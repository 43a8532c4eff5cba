#include "shell/commandline.h"

#include "common/folderroot.h"
#include "common/terminaltext.h"
#include "common/ui/DrivePanel.h"
#include "common/version.h"

#include <QCommandLineParser>
#include <QStringList>

namespace kelvane {

namespace {

const char kUsage[] = "usage: kelvane [--help | --version] [QT OPTION]... [FOLDER]...\n";

const char kHelp[] = "\n"
                     "Kelvane, a desktop disk-space utility: duplicate files, file hogs,\n"
                     "directory hogs, files changed between two dates and drive statistics.\n"
                     "Each FOLDER is offered as a ticked box beside the drives in every\n"
                     "scanning window. Every scan without windows is in kelvane-cli.\n"
                     "\n"
                     "options:\n"
                     "  -h, --help         show this help and exit\n"
                     "  -V, --version      show the version and exit\n"
                     "  -platform NAME     Qt's platform plugin (xcb, wayland, offscreen)\n"
                     "                     and Qt's other standard options (-style, -reverse, ...)\n"
                     "\n"
                     "exit status: 0 when the launcher is closed, 1 without a display,\n"
                     "2 usage error\n";

// The bytes of the argument that reads as text: names that are not valid in
// the locale's encoding keep their bytes.
std::string argumentBytes(const QString& text, int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (QString::fromLocal8Bit(argv[i]) == text)
            return argv[i];
    }
    return text.toLocal8Bit().toStdString();
}

void readFolders(const QStringList& arguments, int argc, char** argv, ShellCommandLine* result)
{
    if (arguments.size() > DrivePanel::kBoxes) {
        result->exitStatus = 2;
        result->text = "kelvane: at most " + std::to_string(DrivePanel::kBoxes) + " folders (" +
                       std::to_string(arguments.size()) + " given)\n" + kUsage;
        return;
    }
    for (const QString& argument : arguments) {
        const std::string path = argumentBytes(argument, argc, argv);
        std::string why;
        std::optional<Drive> folder = folderRoot(path, &why);
        if (!folder) {
            result->exitStatus = 2;
            result->text = "kelvane: " + terminalSafe(path) + ": " + why + "\n" + kUsage;
            result->folders.clear();
            return;
        }
        result->folders.push_back(std::move(*folder));
    }
}

} // namespace

ShellCommandLine parseShellCommandLine(int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    // Qt's own options are single-dash words: "-platform offscreen".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("V"), QStringLiteral("version")}, QString());
    parser.addOption(help);
    parser.addOption(version);
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                             "qwindowicon", "qwindowtitle", "display", "geometry", "style", "stylesheet",
                             "session", "name", "title", "visual", "qmljsdebugger"})
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"})
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString()));

    ShellCommandLine result;
    const bool parsed = parser.parse(args);
    if (parser.isSet(help)) {
        result.exitStatus = 0;
        result.text = std::string(kUsage) + kHelp;
    } else if (parser.isSet(version)) {
        result.exitStatus = 0;
        result.text = std::string("kelvane ") + KELVANE_VERSION + "\n";
    } else if (!parsed) {
        result.exitStatus = 2;
        result.text = "kelvane: " + parser.errorText().toStdString() + "\n" + kUsage;
    } else {
        readFolders(parser.positionalArguments(), argc, argv, &result);
    }
    return result;
}

} // namespace kelvane
