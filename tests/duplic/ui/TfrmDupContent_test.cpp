// The duplicates window's Content check: Scan's name groups split by bytes.

#include "common/ui/ResultGridView.h"
#include "duplic/findduplicates.h"
#include "duplic/ui/TfrmDup.h"
#include "support/pinnedsettings.h"
#include "support/walkgate.h"
#include "support/windowfixture.h"

#include <QLabel>
#include <QSpinBox>

#include <fcntl.h>
#include <unistd.h>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// The duplicates window, any size of file counted.
struct Fixture : WindowFixture<TfrmDup> {
    Fixture()
    {
        findDuplicates = true;
        open();
        get<QSpinBox>("SpinEdit1")->setValue(0);
    }

    std::string write(const std::string& relative, const std::string& content)
    {
        const size_t slash = relative.rfind('/');
        if (slash != std::string::npos)
            drive.dir(relative.substr(0, slash));
        const std::string path = drive.path(relative);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            [[maybe_unused]] const ssize_t n = ::write(fd, content.data(), content.size());
            ::close(fd);
        }
        return path;
    }
};

} // namespace

class TfrmDupContentTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { test::pinSettings(); }

    void groupsSplitByContentAndActedOnAsScan()
    {
        Fixture f;
        const std::string a(300000, 'a'), b(300000, 'b');
        f.write("one/readme.txt", a);
        f.write("two/README.TXT", a);
        f.write("three/readme.txt", b);
        f.write("four/ReadMe.txt", b);
        f.write("five/readme.txt", std::string(300000, 'c'));
        f.write("six/photo.jpg", a); // the same bytes under another name
        f.write("seven/photo.jpg", std::string(300000, 'p'));
        f.drive.dir("eight");
        QVERIFY(::link(f.drive.path("one/readme.txt").c_str(), f.drive.path("eight/readme.txt").c_str()) ==
                0);
        // One time for all, so that Scan orders each name by directory.
        for (const char* name : {"one/readme.txt", "two/README.TXT", "three/readme.txt", "four/ReadMe.txt",
                                 "five/readme.txt", "six/photo.jpg", "seven/photo.jpg"})
            test::setMtime(f.drive.path(name), test::localTime(2024, 3, 5, 14, 37, 58));

        QVERIFY(f.scan("btScan"));
        QCOMPARE(f.window->resultRows(), 8); // by name only

        QVERIFY(f.scan("btContent"));
        const QStringList lines = f.window->resultLines();
        QCOMPARE(lines.size(), 5);
        // eight/ and one/ hold one file: shown once, at its first row.
        QCOMPARE(f.grid().rowPath(1), f.drive.path("eight/readme.txt"));
        QCOMPARE(f.grid().rowPath(2), f.drive.path("two/README.TXT"));
        QCOMPARE(lines[2], QString());
        QCOMPARE(f.grid().rowPath(3), std::string());
        QCOMPARE(f.grid().rowPath(4), f.drive.path("four/ReadMe.txt"));
        QCOMPARE(f.grid().rowPath(5), f.drive.path("three/readme.txt"));
        QCOMPARE(lines[0], "readme.txt    \t  292 K\t3/5/2024\t2:37:58 PM\t" + q(f.drive.path("eight/")));
        QVERIFY(!f.button("btDelete")->isHidden());
        QVERIFY(f.messages.shown().isEmpty());

        QTest::mouseClick(f.button("btClip"), Qt::LeftButton);
        QCOMPARE(f.clipboard.text(), lines.join("\r\n"));

        // Marking as Scan; the row between two groups is nobody's.
        f.window->gridView()->setRow(3);
        QTest::mouseClick(f.button("btDelete"), Qt::LeftButton);
        QCOMPARE(f.window->markedFileCount(), 0);
        QCOMPARE(f.grid().Cells(3, 3), QString());
        QCOMPARE(f.window->gridView()->Row(), 4);
        QTest::mouseClick(f.button("btDelete"), Qt::LeftButton);
        QCOMPARE(f.window->markedFileCount(), 1);
        QCOMPARE(f.window->markedByteCount(), 300000);
        QCOMPARE(f.window->markedPaths(), std::vector<std::string>{f.drive.path("four/ReadMe.txt")});
        QCOMPARE(f.grid().Cells(3, 4), QString("MARKED"));

        QTest::mouseClick(f.button("btPrint"), Qt::LeftButton);
        QCOMPARE(f.printing.dialogsShown(), 1);
        QVERIFY(f.messages.shown().isEmpty());
    }

    void fileChangedWhileComparedIsLeftOutAndSaid()
    {
        Fixture f;
        const std::string same(5000, 's');
        f.write("a/x.dat", same);
        f.write("b/x.dat", same);
        const std::string changing = f.write("c/x.dat", same);
        f.window->setBeforeContentRead([&](ContentStep step, const std::string& path) {
            if (step == ContentStep::Heads && path == changing)
                test::setMtime(changing, 1'000'000'000); // edited between the scan and the read
        });
        QVERIFY(f.scan("btContent"));
        QCOMPARE(f.window->resultRows(), 2);
        QCOMPARE(f.grid().rowPath(1), f.drive.path("a/x.dat"));
        QCOMPARE(f.grid().rowPath(2), f.drive.path("b/x.dat"));
        QCOMPARE(f.window->findChild<QLabel*>("pnlSel")->text(),
                 QString("1 files changed or could not be read while compared; left out"));
    }

    void abortWhileComparing()
    {
        Fixture f;
        for (int i = 0; i < 6; ++i) {
            f.write("a/file" + std::to_string(i), std::string(10000 + size_t(i), char('a' + i)));
            f.write("b/file" + std::to_string(i), std::string(10000 + size_t(i), char('a' + i)));
        }
        WalkGate gate; // every read waits: nothing is proven before the abort
        f.window->setBeforeContentRead([&](ContentStep step, const std::string&) {
            if (step == ContentStep::Whole)
                gate.hold();
        });
        f.window->show();
        QSignalSpy done(f.window->runner(), &ScanRunner::finished);
        QTest::mouseClick(f.button("btContent"), Qt::LeftButton);
        QVERIFY(gate.waitUntilHeld());
        QTRY_VERIFY(f.window->findChild<QLabel*>("pnlSel")->text().startsWith("Comparing contents: "));
        QVERIFY(!f.button("btContent")->isEnabled());
        QTest::mouseClick(f.button("btAbort"), Qt::LeftButton);
        gate.release();
        QVERIFY(done.wait(10000));
        QVERIFY(f.window->aborted());
        // Nothing was proven before the abort: the notice, then "No files found.".
        QCOMPARE(f.messages.texts(), QStringList({"LIST INCOMPLETE ... ABORTED BY USER", "No files found."}));
        QVERIFY(f.button("btContent")->isEnabled());

        f.messages.clear();
        f.window->setBeforeContentRead({});
        QVERIFY(f.scan("btContent"));
        QCOMPARE(f.window->resultRows(), 6 * 3 - 1);
    }
};

QTEST_MAIN(TfrmDupContentTest)
#include "TfrmDupContent_test.moc"
