#pragma once

// What every window test sets up: the services a window is handed, the
// window itself, its scans and its grid, modal windows answered, and the
// check of a window's controls against its layout table.

#include "common/drivelist.h"
#include "common/resultgrid.h"
#include "common/searchpath.h"
#include "common/ui/ScanRunner.h"
#include "common/ui/TfrmReallyDelete.h"
#include "common/ui/services.h"
#include "support/patientwaits.h"
#include "support/temptree.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kelvane::test {

inline QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

// A window's services, all of them fakes: message boxes answered from a
// script, printing to scratch/out.pdf, a clipboard in memory, temporary
// directories as drives (drive, then second), a clock at 12/8/2026 10:00, an
// empty search path and a scripted folder chooser.
struct WindowServices {
    // drives: how many of drive and second are listed; shortCaptions: named
    // "/t1", "/t2" (as short as mount paths usually are) instead of by path.
    explicit WindowServices(int driveCount = 1, bool shortCaptions = false);

    TempTree drive;
    TempTree second;
    TempTree scratch;
    ScriptedMessages messages;
    PdfPrintService printing{q(scratch.path("out.pdf"))};
    MemoryClipboard clipboard;
    FixedDriveList drives{{}};
    FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(10, 0))};
    SearchPathList searchPath;
    ScriptedFolderChooser folders;
    Services services{&messages, &printing, &clipboard, &drives, &clock, &searchPath, &folders};

    // The caption of drive box index (0 is drive).
    QString caption(int index) const { return drives.drives()[size_t(index)].caption; }
    // Drives captioned as given, all rooted at drive.
    void setDriveCaptions(const QStringList& captions);
};

// Clicks a button and waits until sender emits signal; false when it did not
// come in time.
template <class Sender, class Signal>
bool clickAndWait(QAbstractButton* button, const Sender* sender, Signal signal)
{
    QSignalSpy spy(sender, signal);
    QTest::mouseClick(button, Qt::LeftButton);
    return spy.count() > 0 || spy.wait(30000);
}

// Clicks a start button of a scanning window and waits for the scan's end.
inline bool clickAndWaitForScan(QAbstractButton* button, ScanRunner* runner)
{
    return clickAndWait(button, runner, &ScanRunner::finished);
}

// Rows 1 and below of a result grid: their column col, and the row that
// stands for a real path (0 when none does).
QStringList column(const ResultGrid& grid, int col);
int rowOf(const ResultGrid& grid, const std::string& path);

// The window under test, made from the services (again with open() after
// they were changed).
template <class W> struct WindowFixture : WindowServices {
    using WindowServices::WindowServices;
    std::unique_ptr<W> window;

    W& open()
    {
        window.reset();
        window = std::make_unique<W>(services);
        return *window;
    }
    W& shown()
    {
        open().show();
        return *window;
    }
    template <class T = QWidget> T* get(const char* name) const
    {
        return window->template findChild<T*>(QString::fromLatin1(name));
    }
    QAbstractButton* button(const char* name) const { return get<QAbstractButton>(name); }

    // A scanning window's result grid, and a scan started with its button.
    ResultGrid& grid() const { return *window->gridModel(); }
    bool scan(const char* start) { return clickAndWaitForScan(button(start), window->runner()); }
    int rowOf(const std::string& path) const { return test::rowOf(grid(), path); }
    QStringList column(int col) const { return test::column(grid(), col); }
};

// Runs fn on each modal window of type T that opens while this lives, then
// closes it if fn left it open.
template <class T = QWidget> class OnModal {
public:
    explicit OnModal(std::function<void(T&)> fn) : fn_(std::move(fn))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* active = QApplication::activeModalWidget();
            auto* modal = qobject_cast<T*>(active);
            if (!modal || active == last_)
                return;
            last_ = active;
            ++seen;
            fn_(*modal);
            if (modal->isVisible())
                modal->close();
        });
        timer_.start(10);
    }
    int seen = 0;

private:
    std::function<void(T&)> fn_;
    QPointer<QWidget> last_;
    QTimer timer_;
};

// Answers the delete confirmation with OK (or with Cancel), keeping its heading.
struct AnswerDeletion : OnModal<TfrmReallyDelete> {
    explicit AnswerDeletion(bool ok = true)
        : OnModal([this, ok](TfrmReallyDelete& d) {
              heading = d.findChild<QLabel*>(QStringLiteral("Label1"))->text();
              QTest::mouseClick(
                  d.findChild<QPushButton*>(ok ? QStringLiteral("BitBtn1") : QStringLiteral("BitBtn2")),
                  Qt::LeftButton);
          })
    {
    }
    QString heading;
};

// One line of a window's layout table: a control, its caption (for an input
// field, its label's caption), hint, whether it shows when the window is idle
// and where it lies, in design pixels (at 96 dpi) or next to another control.
struct Place {
    enum Kind {
        Anywhere,
        Left,
        At,
        Rect,
        Size,
        After,
        SameAs,
        ClearOf,
        FromRight,
        AtBottom,
        Between,
        Height
    };
    Kind kind = Anywhere;
    int x = 0, y = 0, w = 0, h = 0;
    const char* other = nullptr;
    const char* below = nullptr;
};
inline const auto anywhere = [] { return Place{}; };
inline const auto left = [](int x) { return Place{Place::Left, x}; };
inline const auto at = [](int x, int y) { return Place{Place::At, x, y}; };
inline const auto rect = [](int x, int y, int w, int h) { return Place{Place::Rect, x, y, w, h}; };
inline const auto size = [](int w, int h) { return Place{Place::Size, 0, 0, w, h}; };
// gap pixels right of other, at its height.
inline const auto after = [](const char* other, int gap = 3) {
    return Place{Place::After, gap, 0, 0, 0, other};
};
inline const auto sameAs = [](const char* other) { return Place{Place::SameAs, 0, 0, 0, 0, other}; };
// Right of all of other (which is left of it).
inline const auto clearOf = [](const char* other) { return Place{Place::ClearOf, 0, 0, 0, 0, other}; };
// Its right edge gap pixels from its parent's.
inline const auto fromRight = [](int gap) { return Place{Place::FromRight, gap}; };
// Along its parent's bottom edge, h pixels high.
inline const auto atBottom = [](int h) { return Place{Place::AtBottom, 0, 0, 0, h}; };
// From the bottom of above to the top of below, across the window.
inline const auto between = [](const char* above, const char* below) {
    return Place{Place::Between, 0, 0, 0, 0, above, below};
};
inline const auto height = [](int h) { return Place{Place::Height, 0, 0, 0, h}; };

struct ControlLine {
    const char* name; // object name; "" for the window itself (caption: its title)
    QString caption;  // null: not checked
    QString hint;     // null: not checked
    bool shown;       // visible while the window is idle, before any scan
    Place place;
};

// Checks every line of table against window (compared at the window's
// current size): caption, accessible name (the caption without "&"), hint,
// visibility and place. Returns what differs, one line each.
QStringList layoutDifferences(QWidget& window, const std::vector<ControlLine>& table);

// Captions of controls that share an accelerator key with one before them
// ("first / second"), among those shown and enabled now.
QStringList sharedAccelerators(const QWidget& window);

// The columns of a grid view: their titles, and widths of exactly the design
// width (at 96 dpi) when widest is null, else at least it and wider than the
// text widest (when not empty); the last column takes the rest but for
// lastGap design pixels (with lastGap -1 it is one like the others).
struct ColumnLine {
    QString title;
    int width;      // design width; 0 for the last column
    QString widest; // null: exactly width
};
QStringList columnDifferences(const QTableView& view, const std::vector<ColumnLine>& table, int lastGap);

} // namespace kelvane::test

// Passes when a list of differences is empty, else fails naming them.
#define QVERIFY_NO_DIFFERENCES(differences)                                                                  \
    do {                                                                                                     \
        const QStringList found_ = (differences);                                                            \
        QVERIFY2(found_.isEmpty(), qPrintable(found_.join(QStringLiteral("; "))));                           \
    } while (false)
