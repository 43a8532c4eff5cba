#include "common/ui/TfrmBrowse.h"
#include "common/ui/services.h"
#include "support/pinnedsettings.h"
#include "support/temptree.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#include "support/patientwaits.h"

#include <sys/stat.h>

using namespace kelvane;
using kelvane::test::exists;
using kelvane::test::TempTree;

namespace {

QListView* fileList(const QWidget& window)
{
    return window.findChild<QListView*>("FileListBox1");
}
QTreeView* dirTree(const QWidget& window)
{
    return window.findChild<QTreeView*>("DirectoryListBox1");
}
QPushButton* button(const QWidget& window, const char* name)
{
    return window.findChild<QPushButton*>(QString::fromLatin1(name));
}

QFileSystemModel* modelOf(const QAbstractItemView* view)
{
    return qobject_cast<QFileSystemModel*>(view->model());
}

// Names in the file list, sorted.
QStringList listed(const QWidget& window)
{
    const QListView* list = fileList(window);
    QStringList names;
    for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
        names.append(modelOf(list)->fileName(list->model()->index(row, 0, list->rootIndex())));
    names.sort();
    return names;
}

QStringList selected(const QWidget& window)
{
    const QListView* list = fileList(window);
    QStringList names;
    for (const QModelIndex& index : list->selectionModel()->selectedIndexes())
        names.append(modelOf(list)->fileName(index));
    names.sort();
    return names;
}

// Clicks an entry of the file list as the user would.
void clickFile(QWidget& window, const QString& name, Qt::KeyboardModifiers modifiers = {})
{
    QListView* list = fileList(window);
    for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row) {
        const QModelIndex index = list->model()->index(row, 0, list->rootIndex());
        if (modelOf(list)->fileName(index) == name) {
            list->scrollTo(index);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualRect(index).center());
            return;
        }
    }
    QFAIL(qPrintable("not listed: " + name));
}

} // namespace

class TfrmBrowseTest : public QObject {
    Q_OBJECT

    ScriptedMessages messages;
    Services services{&messages, nullptr, nullptr, nullptr, nullptr, nullptr};

    // The window watches every directory on the way from "/"; other tests
    // running at once keep creating and removing trees in /tmp, which keeps
    // the models re-reading it. These trees live where nothing else writes.
    static std::string quietBase()
    {
        static const std::string base = [] {
            const QString dir = QDir::currentPath() + QStringLiteral("/browse-test-trees");
            QDir().mkpath(dir);
            return QFile::encodeName(dir).toStdString();
        }();
        return base;
    }

    // A directory with files of several kinds, and one subdirectory.
    struct Tree {
        TempTree temp{quietBase()};
        std::string dir;
        Tree()
        {
            dir = temp.root();
            temp.file("alpha.txt", 10);
            temp.file("Beta.TXT", 20);
            temp.file("report.doc", 30);
            temp.file("noext", 40);
            temp.file("sub/inner.txt", 5);
        }
        std::string path(const char* name) const { return dir + "/" + name; }
    };

    // Opens the window on dir as a caller does, without the modal loop.
    static void open(TfrmBrowse& window, const std::string& dir, const std::string& file, const QString& mask)
    {
        QVERIFY(window.setDirectory(dir));
        if (!file.empty())
            QVERIFY(window.selectFile(file));
        window.setMask(mask);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

private Q_SLOTS:
    void initTestCase() { test::pinSettings(); }
    void init()
    {
        messages.clear();
        messages.setWhileAsked(nullptr);
    }

    void opensOnDirectoryWithFileSelected()
    {
        Tree t;
        TfrmBrowse window(nullptr, services);
        open(window, t.dir, "report.doc", "*.*");

        QCOMPARE(window.windowTitle(), QString("Browse through directories"));
        // "*.*" lists every file, also one without a dot.
        QTRY_COMPARE(listed(window), QStringList({"Beta.TXT", "alpha.txt", "noext", "report.doc"}));
        QTRY_COMPARE(selected(window), QStringList({"report.doc"}));
        QCOMPARE(window.findChild<QLabel*>("lblWildcard")->text(), QString("Files matching : *.*"));
        QVERIFY(window.findChild<QLabel*>("lblWildcard")->font().bold());
        QCOMPARE(fileList(window)->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(fileList(window)->toolTip(), QString("Press CTRL and click to select multiple files"));
        QCOMPARE(button(window, "btDelete")->toolTip(), QString("Delete all selected files"));
        QCOMPARE(button(window, "BitBtn1")->text(), QString("Close"));
        QVERIFY(!button(window, "btDelete")->isEnabled());
        QCOMPARE(window.focusWidget(), button(window, "BitBtn1"));

        // The tree shows the path from "/" down, opened, with the directory current.
        QTreeView* tree = dirTree(window);
        const QModelIndex current = tree->currentIndex();
        QCOMPARE(modelOf(tree)->filePath(current), QString::fromStdString(t.dir));
        for (QModelIndex up = current.parent(); up.isValid(); up = up.parent())
            QVERIFY(tree->isExpanded(up));
        QVERIFY(messages.shown().isEmpty());
    }

    void fileGivenAsPathSelectsInItsDirectory()
    {
        Tree t;
        TfrmBrowse window(nullptr, services);
        open(window, "/", t.path("sub/inner.txt"), "*.*");
        QCOMPARE(window.directory(), t.dir + "/sub");
        // The tree loads from "/": slow on a busy machine.
        QTRY_COMPARE_WITH_TIMEOUT(selected(window), QStringList({"inner.txt"}), 30000);
    }

    void nothingSelectedWithoutFile()
    {
        Tree t;
        TfrmBrowse window(nullptr, services);
        open(window, t.dir, "", "*.*");
        QTRY_COMPARE(listed(window).size(), 4);
        QVERIFY(selected(window).isEmpty());
        // Choosing from the keyboard counts as a click.
        QVERIFY(!button(window, "btDelete")->isEnabled());
        QTest::keyClick(fileList(window), Qt::Key_Down);
        QVERIFY(button(window, "btDelete")->isEnabled());
    }

    void maskListsMatchingFilesIgnoringCase()
    {
        Tree t;
        TfrmBrowse window(nullptr, services);
        open(window, t.dir, "", "*.TXT");
        QCOMPARE(window.findChild<QLabel*>("lblWildcard")->text(), QString("Files matching : *.TXT"));
        QTRY_COMPARE(listed(window), QStringList({"Beta.TXT", "alpha.txt"}));
        // Several patterns, separated by ";".
        window.setMask("*.doc;noext");
        QTRY_COMPARE(listed(window), QStringList({"noext", "report.doc"}));
    }

    // A file the mask hides is still listed and selected: the mask becomes its
    // name, taken literally.
    void hiddenByMaskFileBecomesTheMask()
    {
        Tree t;
        t.temp.file("a[1]*.log", 1);
        t.temp.file("a1x.log", 1);
        TfrmBrowse window(nullptr, services);
        QVERIFY(window.setDirectory(t.dir));
        window.setMask("*.txt");
        QVERIFY(window.selectFile("a[1]*.log"));
        QCOMPARE(window.mask(), QString("a[1]*.log"));
        window.show();
        QCOMPARE(window.findChild<QLabel*>("lblWildcard")->text(), QString("Files matching : a[1]*.log"));
        QTRY_COMPARE(listed(window), QStringList({"a[1]*.log"}));
        QTRY_COMPARE(selected(window), QStringList({"a[1]*.log"}));
    }

    void deleteEnabledByClickOnly()
    {
        Tree t;
        TfrmBrowse window(nullptr, services);
        open(window, t.dir, "alpha.txt", "*.*");
        QTRY_COMPARE(selected(window), QStringList({"alpha.txt"}));
        QPushButton* del = button(window, "btDelete");
        QVERIFY(!del->isEnabled()); // a selection made by the caller does not count

        clickFile(window, "noext");
        QVERIFY(del->isEnabled());
        QCOMPARE(selected(window), QStringList({"noext"}));

        // No leaves everything as it was.
        messages.queueAnswer(Messages::Answer::No);
        QTest::mouseClick(del, Qt::LeftButton);
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.texts()[0].endsWith("Really delete 1 files?"));
        QVERIFY(exists(t.path("noext")));
        QVERIFY(del->isEnabled());
        QCOMPARE(listed(window).size(), 4);
    }

    void deletesExactlyTheSelectedFiles()
    {
        Tree t;
        TfrmBrowse window(nullptr, services);
        open(window, t.dir, "", "*.*");
        QTRY_COMPARE(listed(window).size(), 4);
        clickFile(window, "alpha.txt");
        clickFile(window, "noext", Qt::ControlModifier);
        clickFile(window, "report.doc", Qt::ControlModifier);
        QCOMPARE(selected(window), QStringList({"alpha.txt", "noext", "report.doc"}));

        QTest::mouseClick(button(window, "btDelete"), Qt::LeftButton);
        QCOMPARE(messages.texts().size(), 2);
        QCOMPARE(messages.texts()[0],
                 QString("The files you selected to delete may belong to valid working applications.  "
                         "If you are not sure about these files do NOT delete them.  "
                         "Really delete 3 files?"));
        QCOMPARE(messages.shown()[0].kind, Messages::Kind::Question);
        // The Trash is offered, off unless chosen before.
        QCOMPARE(messages.shown()[0].choice, QString("Move to Trash instead of deleting"));
        QVERIFY(!messages.shown()[0].checked);
        QVERIFY(messages.texts()[1].startsWith("Deleted 3 files for a savings of "));
        QVERIFY(!exists(t.path("alpha.txt")));
        QVERIFY(!exists(t.path("noext")));
        QVERIFY(!exists(t.path("report.doc")));
        QVERIFY(exists(t.path("Beta.TXT")));
        QVERIFY(exists(t.path("sub/inner.txt")));
        QVERIFY(!button(window, "btDelete")->isEnabled());
        QTRY_COMPARE(listed(window), QStringList({"Beta.TXT"}));
        QVERIFY(selected(window).isEmpty());
    }

    // A refused file stays on disk and so stays listed; the ending names it.
    void readOnlyFileStaysAndIsNamed()
    {
        Tree t;
        t.temp.file("locked.txt", 1, 0444);
        TfrmBrowse window(nullptr, services);
        open(window, t.dir, "", "*.txt");
        QTRY_COMPARE(listed(window), QStringList({"Beta.TXT", "alpha.txt", "locked.txt"}));
        clickFile(window, "alpha.txt");
        clickFile(window, "locked.txt", Qt::ControlModifier);
        QTest::mouseClick(button(window, "btDelete"), Qt::LeftButton);

        QCOMPARE(messages.texts().size(), 2);
        QVERIFY(messages.texts()[1].endsWith("\n\n1 not deleted: 1 read-only\nRead-only - " +
                                             QString::fromStdString(t.path("locked.txt"))));
        QCOMPARE(messages.shown()[1].kind, Messages::Kind::Warning);
        QVERIFY(!exists(t.path("alpha.txt")));
        QVERIFY(exists(t.path("locked.txt")));
        QTRY_COMPARE(listed(window), QStringList({"Beta.TXT", "locked.txt"}));
        QVERIFY(!button(window, "btDelete")->isEnabled());
    }

    // A file replaced while the question is open is another file: it stays,
    // and so does whatever a name swapped for a link would lead to.
    void fileSwappedWhileAskedIsLeftAlone()
    {
        Tree t;
        const std::string secret = t.temp.file("elsewhere/secret.txt", 3);
        TfrmBrowse window(nullptr, services);
        open(window, t.dir, "", "*.txt");
        QTRY_COMPARE(listed(window), QStringList({"Beta.TXT", "alpha.txt"}));
        clickFile(window, "alpha.txt");
        clickFile(window, "Beta.TXT", Qt::ControlModifier);
        messages.setWhileAsked([&](const QString&) {
            ::unlink(t.path("alpha.txt").c_str());
            t.temp.file("alpha.txt", 10); // same size, another file
            ::unlink(t.path("Beta.TXT").c_str());
            t.temp.symlink("Beta.TXT", "elsewhere/secret.txt");
        });
        QTest::mouseClick(button(window, "btDelete"), Qt::LeftButton);
        QCOMPARE(messages.texts().size(), 2);
        // The files are named in the list's row order, which a busy model may
        // not have sorted yet: the lines are compared as a set.
        QStringList lines = messages.texts()[1].split(QLatin1Char('\n'));
        QCOMPARE(lines.mid(0, 3), QStringList({"Deleted 0 files for a savings of 0 bytes.", "",
                                               "2 not deleted: 2 changed since the scan"}));
        lines = lines.mid(3);
        lines.sort();
        QCOMPARE(lines,
                 QStringList({"Changed since the scan - " + QString::fromStdString(t.path("Beta.TXT")),
                              "Changed since the scan - " + QString::fromStdString(t.path("alpha.txt"))}));
        QVERIFY(exists(t.path("alpha.txt")));
        QVERIFY(exists(secret));
    }

    void nothingSelectedAsksForSelection()
    {
        Tree t;
        TfrmBrowse window(nullptr, services);
        open(window, t.dir, "", "*.*");
        QTRY_COMPARE(listed(window).size(), 4);
        // A click below the entries counts as a click but selects nothing.
        QListView* list = fileList(window);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, list->viewport()->height() - 3));
        QVERIFY(button(window, "btDelete")->isEnabled());
        QVERIFY(selected(window).isEmpty());
        QTest::mouseClick(button(window, "btDelete"), Qt::LeftButton);

        QCOMPARE(messages.texts(),
                 QStringList({"Select a file or files to delete first.  You may select multiple "
                              "files by pressing the CTRL key while clicking the left mouse "
                              "button."}));
        QCOMPARE(messages.shown()[0].kind, Messages::Kind::Plain);
        QCOMPARE(listed(window).size(), 4);
    }

    void clickingADirectoryShowsItsFiles()
    {
        Tree t;
        TfrmBrowse window(nullptr, services);
        open(window, t.dir, "", "*.*");
        QTreeView* tree = dirTree(window);
        const QString sub = QString::fromStdString(t.dir + "/sub");
        QModelIndex index;
        QTRY_VERIFY((index = modelOf(tree)->index(sub)).isValid() && tree->isExpanded(index.parent()));
        tree->scrollTo(index);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());

        QCOMPARE(window.directory(), t.dir + "/sub");
        QTRY_COMPARE(listed(window), QStringList({"inner.txt"}));
    }

    // Qt's model cannot show a name that is not UTF-8; whatever it lists is
    // deleted by its real bytes, and the unlisted file is never touched.
    void oddNames()
    {
        TempTree temp{quietBase()};
        const std::string dir = temp.dir("odd");
        const std::string invalid = temp.file("odd/x\xff", 1);
        const std::string twin = temp.file("odd/x\xef\xbf\xbd", 1);
        const std::string tabbed = temp.file("odd/tab\there", 1);
        TfrmBrowse window(nullptr, services);
        QVERIFY(window.setDirectory(dir));
        QVERIFY(window.selectFile("x\xff")); // exists, but cannot be shown: nothing is selected
        window.setMask("*.*");
        window.show();
        QTRY_COMPARE(listed(window),
                     QStringList({QString::fromUtf8("tab\there"), QString::fromUtf8("x\uFFFD")}));
        QVERIFY(selected(window).isEmpty());

        clickFile(window, QString::fromUtf8("tab\there"));
        clickFile(window, QString::fromUtf8("x\uFFFD"), Qt::ControlModifier);
        QTest::mouseClick(button(window, "btDelete"), Qt::LeftButton);
        QVERIFY(!exists(tabbed));
        QVERIFY(!exists(twin));
        QVERIFY(exists(invalid));
        QTRY_VERIFY(listed(window).isEmpty());
    }

    void directoryNotUtf8IsRefused()
    {
        TempTree temp{quietBase()};
        const std::string dir = temp.dir("d\xff");
        temp.dir("d\xef\xbf\xbd");
        test::OnModal<> opened([](QWidget&) {});
        QVERIFY(!TfrmBrowse::browse(nullptr, services, dir, "", "*.*"));
        QCOMPARE(opened.seen, 0);
        QCOMPARE(messages.texts(),
                 QStringList({"Invalid path - " + QString::fromUtf8(temp.root()) + "/d\uFFFD"}));
    }

    void missingFileKeepsWindowClosed()
    {
        Tree t;
        test::OnModal<> opened([](QWidget&) {});
        QVERIFY(!TfrmBrowse::browse(nullptr, services, t.dir, "missing.txt", "*.*"));
        QCOMPARE(messages.texts(),
                 QStringList({"Invalid file name - " + QString::fromStdString(t.path("missing.txt"))}));
        QCOMPARE(messages.shown()[0].kind, Messages::Kind::Error);
        QCOMPARE(opened.seen, 0);
    }

    // The caller's whole protocol, with the window modal.
    void browseShowsModallyWithFileSelected()
    {
        Tree t;
        QStringList seen;
        test::OnModal<TfrmBrowse> answer([&](TfrmBrowse& window) {
            QTRY_COMPARE(selected(window), QStringList({"report.doc"}));
            seen = selected(window);
            QTest::keyClick(&window, Qt::Key_Escape);
        });
        QVERIFY(TfrmBrowse::browse(nullptr, services, t.dir, "report.doc", "*.*"));
        QCOMPARE(seen, QStringList({"report.doc"}));
        QVERIFY(messages.shown().isEmpty());
        QVERIFY(exists(t.path("report.doc")));
    }
};

QTEST_MAIN(TfrmBrowseTest)
#include "TfrmBrowse_test.moc"
