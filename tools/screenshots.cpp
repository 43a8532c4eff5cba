// kelvane-screenshots: opens every tool window on a demonstration tree, runs
// its scan and asks scripts/screenshots.sh to take the picture. For each
// window it prints "SHOT NAME WINDOW-ID" and waits for a line on standard input.

#include "common/clock.h"
#include "common/drivelist.h"
#include "common/folderroot.h"
#include "common/searchpath.h"
#include "common/ui/ScanRunner.h"
#include "common/ui/clipboard.h"
#include "common/ui/messages.h"
#include "common/ui/printing.h"
#include "common/ui/services.h"
#include "dirhog/ui/TfrmDirHog.h"
#include "duplic/findduplicates.h"
#include "duplic/ui/TfrmDup.h"
#include "filemod/datefield.h"
#include "filemod/ui/TfrmMods.h"
#include "shell/ui/TfrmMain.h"
#include "shell/ui/appidentity.h"
#include "shell/ui/hintstyle.h"
#include "stats/ui/TfrmStatistics.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <utime.h>

using namespace kelvane;

namespace {

// A home folder as people have them: photos copied twice, music, downloads,
// projects, over a few years.
void makeDemoTree(const QString& root)
{
    struct File {
        const char* path;
        qint64 kb;
        int daysOld;
    };
    const File files[] = {
        {"Photos/2023/beach.jpg", 4200, 520},      {"Photos/2023/sunset.jpg", 3900, 515},
        {"Photos/2024/birthday.jpg", 5100, 240},   {"Photos/2024/garden.jpg", 2800, 200},
        {"Backup/Photos/beach.jpg", 4200, 510},    {"Backup/Photos/sunset.jpg", 3900, 510},
        {"Backup/Photos/birthday.jpg", 5100, 230}, {"Music/Album/01 Opening.flac", 31000, 900},
        {"Music/Album/02 River.flac", 28500, 900}, {"Music/Album/03 Night.flac", 35200, 900},
        {"Music/Singles/River.mp3", 7400, 600},    {"Downloads/debian-12.iso", 640000, 60},
        {"Downloads/River.mp3", 7400, 12},         {"Downloads/setup-tools.tar.gz", 85000, 9},
        {"Downloads/manual.pdf", 2300, 3},         {"Projects/kelvane/build/kelvane", 18500, 1},
        {"Projects/kelvane/README.md", 12, 1},     {"Projects/kelvane/notes.txt", 6, 2},
        {"Projects/site/index.html", 40, 30},      {"Projects/site/logo.png", 350, 30},
        {"Documents/taxes-2024.pdf", 1800, 250},   {"Documents/letter.odt", 60, 5},
        {"Documents/Old/letter.odt", 58, 700},     {"Videos/holiday.mp4", 1450000, 480},
        {"Videos/holiday-edit.mp4", 980000, 470},  {"Documents/recipes.txt", 9, 40},
    };
    const QDateTime now = QDateTime::currentDateTime();
    for (const File& f : files) {
        const QString path = root + QLatin1Char('/') + QLatin1String(f.path);
        QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.resize(f.kb * 1024 + 100); // sparse: takes no room
        file.close();
        const qint64 when = now.addDays(-f.daysOld).addSecs(-3600 * (f.kb % 9)).toSecsSinceEpoch();
        struct utimbuf times {
            time_t(when), time_t(when)
        };
        ::utime(path.toLocal8Bit().constData(), &times);
    }
}

void settle(int ms = 400)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void waitForScan(ScanRunner* runner)
{
    while (runner->running())
        settle(50);
    settle();
}

void shoot(const char* name, QWidget& window)
{
    window.raise();
    window.activateWindow();
    settle(600);
    std::cout << "SHOT " << name << " " << window.winId() << std::endl;
    std::string answer;
    std::getline(std::cin, answer);
}

QPushButton* button(QWidget& window, const char* name)
{
    return window.findChild<QPushButton*>(QString::fromLatin1(name));
}

} // namespace

int main(int argc, char** argv)
{
    setApplicationIdentity();
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication::setApplicationDisplayName(QStringLiteral("Kelvane '95"));
    QApplication::setWindowIcon(applicationIcon());
    QApplication::setStyle(new HintStyle);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[argc - 1]) : QStringLiteral("/tmp/demo");
    makeDemoTree(root);

    ScriptedMessages messages;
    PdfPrintService printing(root + QStringLiteral("/report.pdf"));
    MemoryClipboard clipboard;
    FixedDriveList drives = FixedDriveList::fromDirectories({root.toStdString()});
    // A folder box beside the drive, as "Folder…" adds one.
    std::string why;
    if (const std::optional<Drive> projects =
            folderRoot((root + QStringLiteral("/Projects")).toStdString(), &why))
        drives.addFolder(*projects);
    SystemClock clock;
    SearchPathList searchPath;
    Services services{&messages, &printing, &clipboard, &drives, &clock, &searchPath};

    TfrmMain launcher(services);
    TfrmStatistics statistics(services);
    launcher.setStatistics(&statistics);
    launcher.show();
    shoot("launcher", launcher);

    findDuplicates = true;
    {
        TfrmDup window(services);
        window.show();
        window.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->setValue(0);
        button(window, "btScan")->click();
        waitForScan(window.runner());
        shoot("duplicates", window);
        button(window, "btContent")->click();
        waitForScan(window.runner());
        shoot("duplicates-content", window);
    }
    findDuplicates = false;
    {
        TfrmDup window(services);
        window.show();
        window.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->setValue(1000);
        button(window, "btScan")->click();
        waitForScan(window.runner());
        shoot("filehogs", window);
    }
    {
        TfrmDirHog window(services);
        window.show();
        button(window, "btAll")->click();
        waitForScan(window.runner());
        shoot("dirhogs", window);
    }
    {
        TfrmMods window(services);
        window.show();
        const QDate today = QDate::currentDate();
        window.findChild<QLineEdit*>(QStringLiteral("dtStart"))->setText(dateFieldText(today.addDays(-45)));
        window.findChild<QLineEdit*>(QStringLiteral("dtEnd"))->setText(dateFieldText(today));
        button(window, "btOK")->click();
        waitForScan(window.runner());
        shoot("changed", window);
    }
    {
        statistics.show();
        button(statistics, "btOK")->click();
        settle(1500);
        statistics.pages()->setCurrentIndex(0);
        shoot("statistics", statistics);
    }
    return 0;
}
