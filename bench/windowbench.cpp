// kelvane-windowbench: the file-hogs window with a million rows. Scans a tree
// at limit 0 in the window (off screen unless a display is asked for), sorts
// the result by each key, closes the window, and prints a Markdown table:
// rows, bytes per row, how long each step took, the longest stall of the
// window's thread during it (a 10 ms timer records its own lateness), and the
// resident memory before the scan, with the rows, and after closing.
//
//   kelvane-windowbench TREE

#include "common/clock.h"
#include "common/drivelist.h"
#include "common/memoryrelease.h"
#include "common/resultgrid.h"
#include "common/searchpath.h"
#include "common/ui/ScanRunner.h"
#include "common/ui/clipboard.h"
#include "common/ui/messages.h"
#include "common/ui/printing.h"
#include "common/ui/services.h"
#include "duplic/findduplicates.h"
#include "duplic/ui/TfrmDup.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <string>
#include <unistd.h>

using namespace kelvane;

namespace {

double residentMiB()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The longest lateness of a 10 ms timer on the window's thread since reset().
class StallMeter {
public:
    StallMeter()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(kInterval);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            longest_ = std::max(longest_, now - last_ - kInterval);
            last_ = now;
        });
        clock_.start();
        timer_.start();
    }
    void reset()
    {
        last_ = clock_.elapsed();
        longest_ = 0;
    }
    qint64 longest() const { return longest_; }

private:
    static constexpr int kInterval = 10;
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

// Runs the event loop until done() says so.
void waitUntil(const std::function<bool()>& done)
{
    while (!done())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

struct Step {
    const char* name;
    double seconds;
    qint64 stallMs;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kelvane-windowbench TREE\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window remembers its size limit (0 here): in a folder of its own,
    // not in the user's settings.
    QTemporaryDir settingsHome;
    if (!settingsHome.isValid()) {
        std::fprintf(stderr, "kelvane-windowbench: cannot make a temporary folder for the settings\n");
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsHome.path()));
    returnFreedMemoryPromptly(); // as the program does
    QApplication app(argc, argv);
    const std::string tree = argv[1];

    ScriptedMessages messages;
    MemoryClipboard clipboard;
    PdfPrintService printing(QStringLiteral("/dev/null"));
    FixedDriveList drives = FixedDriveList::fromDirectories({tree});
    SystemClock clock;
    SearchPathList searchPath;
    Services services{&messages, &printing, &clipboard, &drives, &clock, &searchPath};

    findDuplicates = false;
    auto* window = new TfrmDup(services);
    window->show();
    StallMeter meter;
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const double before = residentMiB();

    std::vector<Step> steps;
    QElapsedTimer elapsed;
    window->findChild<QSpinBox*>(QStringLiteral("SpinEdit1"))->setValue(0);
    meter.reset();
    elapsed.start();
    window->findChild<QPushButton*>(QStringLiteral("btScan"))->click();
    waitUntil([&] { return !window->busy(); });
    steps.push_back({"scan and fill", elapsed.elapsed() / 1000.0, meter.longest()});
    const int rows = window->resultRows();
    const double filled = residentMiB();
    const size_t gridBytes = window->gridModel()->rowBytes();

    const std::pair<const char*, const char*> sorts[] = {
        {"sort by date", "SortbyDate1"}, {"sort by name", "SortbyName1"}, {"sort by size", "Sortbysize1"}};
    for (const auto& [name, action] : sorts) {
        QAction* item = window->sortMenu()->findChild<QAction*>(QString::fromLatin1(action));
        meter.reset();
        elapsed.restart();
        window->Sortbysize1Click(item);
        waitUntil([&] { return !window->busy() && item->isChecked(); });
        steps.push_back({name, elapsed.elapsed() / 1000.0, meter.longest()});
    }

    meter.reset();
    elapsed.restart();
    window->reject();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    steps.push_back({"close", elapsed.elapsed() / 1000.0, meter.longest()});
    const double after = residentMiB();
    if (qEnvironmentVariableIsSet("KELVANE_MALLOC_STATS")) {
        malloc_trim(0);
        std::fprintf(stderr, "after another trim: %.1f MiB\n", residentMiB());
        std::system(("awk '/^[0-9a-f]+-/ {m=$0} /^Rss:/ && $2 > 2000 {print $2, m}' /proc/" +
                     std::to_string(::getpid()) + "/smaps >&2")
                        .c_str());
        malloc_stats();
    }
    const bool closed = !window->isVisible();
    delete window;

    std::printf("Rows: %d; grid storage %.1f MiB, %.0f bytes per row (resident growth with the rows: "
                "%.0f bytes per row).\n\n",
                rows, double(gridBytes) / (1024.0 * 1024.0), rows ? double(gridBytes) / rows : 0.0,
                rows ? (filled - before) * 1024.0 * 1024.0 / rows : 0.0);
    std::printf("| Step | Time (s) | Longest stall of the window's thread (ms) |\n| --- | ---: | ---: |\n");
    for (const Step& s : steps)
        std::printf("| %s | %.2f | %lld |\n", s.name, s.seconds, static_cast<long long>(s.stallMs));
    std::printf("\nResident memory: %.1f MiB before the scan, %.1f MiB with the rows, %.1f MiB after "
                "closing the window%s.\n",
                before, filled, after, closed ? "" : " (the window did not close)");
    return closed && rows > 0 ? 0 : 1;
}
