#include "common/memoryrelease.h"
#include "common/stamptext.h"
#include "common/ui/services.h"
#include "common/version.h"
#include "shell/commandline.h"
#include "shell/ui/TfrmMain.h"
#include "shell/ui/appidentity.h"
#include "shell/ui/hintstyle.h"
#include "stats/ui/TfrmStatistics.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    // --help and --version need no display: answered before Qt opens one.
    const kelvane::ShellCommandLine commandLine = kelvane::parseShellCommandLine(argc, argv);
    if (commandLine.exitStatus >= 0) {
        std::fputs(commandLine.text.c_str(), commandLine.exitStatus == 0 ? stdout : stderr);
        return commandLine.exitStatus;
    }
    const bool hasDisplay =
        std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
    if (!hasDisplay) {
        std::fprintf(stderr, "Kelvane needs a graphical display: start it from a desktop session "
                             "(DISPLAY or WAYLAND_DISPLAY set), or under xvfb-run.\n");
        return 1;
    }
    kelvane::setApplicationIdentity();
    kelvane::returnFreedMemoryPromptly();
    QApplication app(argc, argv);
    kelvane::prepareStampTexts();
    // No display name: Qt would append it to every window title.
    QApplication::setWindowIcon(kelvane::applicationIcon());
    QApplication::setStyle(new kelvane::HintStyle);

    kelvane::Services& services = kelvane::systemServices();
    services.drives->setStartFolders(commandLine.folders);
    kelvane::TfrmMain launcher(services);
    kelvane::TfrmStatistics statistics(services);
    launcher.setStatistics(&statistics);
    QObject::connect(&launcher, &kelvane::TfrmMain::closed, &app, &QApplication::quit);
    launcher.show();
    return app.exec();
}
