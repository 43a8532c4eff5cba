#include "common/displayname.h"
#include "common/ui/TfrmReallyDelete.h"
#include "common/ui/services.h"
#include "support/pinnedsettings.h"
#include "support/temptree.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>

using namespace kelvane;
using kelvane::test::exists;
using kelvane::test::TempTree;

namespace {

QString text(const QWidget& window, const char* label)
{
    return window.findChild<QLabel*>(QString::fromLatin1(label))->text();
}

QPushButton* button(const QWidget& window, const char* name)
{
    return window.findChild<QPushButton*>(QString::fromLatin1(name));
}

} // namespace

class TfrmReallyDeleteTest : public QObject {
    Q_OBJECT

    ScriptedMessages messages;
    Services services{&messages, nullptr, nullptr, nullptr, nullptr, nullptr};

private Q_SLOTS:
    void initTestCase() { test::pinSettings(); }
    void init() { messages.clear(); }

    void captionAndFixedTexts()
    {
        TfrmReallyDelete window(nullptr, services);
        QCOMPARE(window.windowTitle(), QString("Delete the following files:"));
        QCOMPARE(text(window, "Label3"), QString("Savings of :"));
        QVERIFY(text(window, "Label2").startsWith("WARNING: The file(s) that you selected"));
        QVERIFY(window.findChild<QLabel*>("Label2")->font().bold());
        QCOMPARE(button(window, "BitBtn1")->toolTip(), QString("Go ahead and delete these files"));
        QCOMPARE(button(window, "BitBtn2")->toolTip(), QString("Do not delete the files"));
        QVERIFY(button(window, "BitBtn1")->isDefault());
        QCOMPARE(window.minimumSize(), window.maximumSize());
    }

    void headingAndSavings_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<qint64>("savings");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("savingsText");
        QTest::newRow("nothing") << 1 << qint64(0) << "The following 1 files will be deleted."
                                 << "0 bytes";
        QTest::newRow("no separator") << 3 << qint64(999) << "The following 3 files will be deleted."
                                      << "999 bytes";
        QTest::newRow("millions") << 3 << qint64(1234567) << "The following 3 files will be deleted."
                                  << "1,234,567 bytes";
        QTest::newRow("beyond 32 bits") << 2 << qint64(9876543210) << "The following 2 files will be deleted."
                                        << "9,876,543,210 bytes";
    }

    void headingAndSavings()
    {
        QFETCH(int, files);
        QFETCH(qint64, savings);
        TfrmReallyDelete window(nullptr, services);
        std::vector<std::string> paths;
        for (int i = 0; i < files; ++i)
            paths.push_back("/nowhere/f" + std::to_string(i));
        window.setPaths(paths);
        window.setSavings(savings);
        window.show();
        QTEST(text(window, "Label1"), "heading");
        QTEST(text(window, "lblSavings"), "savingsText");
        QVERIFY(messages.shown().isEmpty());
    }

    void listKeepsMarkingOrderAndShownTexts()
    {
        TfrmReallyDelete window(nullptr, services);
        window.setPaths({"/b/z", "/a/y"});
        auto* list = window.findChild<QListWidget*>("ListBox1");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QString("/b/z"));
        QCOMPARE(list->item(1)->text(), QString("/a/y"));
        // Texts from the caller are shown as given; a count that does not fit is ignored.
        window.setPaths({"/b/z", "/a/y"}, {"first", "second"});
        QCOMPARE(list->item(1)->text(), QString("second"));
        window.setPaths({"/b/z", "/a/y"}, {"only one"});
        QCOMPARE(list->item(0)->text(), QString("/b/z"));
    }

    void yesDeletesAndReportsEachFailure()
    {
        TempTree tree;
        const std::string one = tree.file("one.txt", 10);
        const std::string missing = tree.path("gone.txt");
        const std::string locked = tree.file("locked.txt", 10, 0444);
        const std::string two = tree.file("two.txt", 10);
        TfrmReallyDelete window(nullptr, services);
        window.setPaths({one, missing, locked, two});
        window.setSavings(30);
        window.show();
        QTest::mouseClick(button(window, "BitBtn1"), Qt::LeftButton);

        // One ending: what went, then what stayed and why.
        QCOMPARE(messages.texts(),
                 QStringList({"Really delete?", "Deleted 2 files for a savings of 20 bytes.\n\n"
                                                "2 not deleted: 1 already gone, 1 read-only\n"
                                                "Already gone - " +
                                                    QString::fromStdString(missing) + "\nRead-only - " +
                                                    QString::fromStdString(locked)}));
        QCOMPARE(messages.shown()[0].kind, Messages::Kind::Question);
        QCOMPARE(messages.shown()[1].kind, Messages::Kind::Warning);
        QVERIFY(!exists(one));
        QVERIFY(!exists(two));
        QVERIFY(exists(locked));
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }

    void noDeletesNothing()
    {
        TempTree tree;
        const std::string one = tree.file("one.txt", 10);
        const std::string two = tree.file("two.txt", 10);
        messages.queueAnswer(Messages::Answer::No);
        TfrmReallyDelete window(nullptr, services);
        window.setPaths({one, two});
        window.show();
        QTest::mouseClick(button(window, "BitBtn1"), Qt::LeftButton);

        QCOMPARE(messages.texts(), QStringList({"Really delete?", "Not deleted"}));
        QCOMPARE(messages.shown()[1].kind, Messages::Kind::Plain);
        QVERIFY(exists(one));
        QVERIFY(exists(two));
        QVERIFY(!window.isVisible());
    }

    // Cancel button, Esc and the close box all leave quietly.
    void cancelDeletesNothingAndSaysNothing_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Cancel button") << 0;
        QTest::newRow("Esc") << 1;
        QTest::newRow("close box") << 2;
    }

    void cancelDeletesNothingAndSaysNothing()
    {
        QFETCH(int, how);
        TempTree tree;
        const std::string one = tree.file("one.txt", 10);
        TfrmReallyDelete window(nullptr, services);
        window.setPaths({one});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (how == 0)
            QTest::mouseClick(button(window, "BitBtn2"), Qt::LeftButton);
        else if (how == 1)
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            window.close();

        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QVERIFY(messages.shown().isEmpty());
        QVERIFY(exists(one));
    }

    // The real bytes are deleted, never a path rebuilt from the shown text.
    void oddNameDeletedExactly()
    {
        TempTree tree;
        const std::string odd = tree.file("a\tb\nc\xff", 5);
        const std::string lookalike = tree.file("a?b?c\xef\xbf\xbd", 5);
        TfrmReallyDelete window(nullptr, services);
        window.setPaths({odd});
        window.show();
        auto* list = window.findChild<QListWidget*>("ListBox1");
        QCOMPARE(list->item(0)->text(), displayName(lookalike));
        QTest::mouseClick(button(window, "BitBtn1"), Qt::LeftButton);

        QCOMPARE(messages.texts(),
                 QStringList({"Really delete?", "Deleted 1 files for a savings of 5 bytes."}));
        QVERIFY(!exists(odd));
        QVERIFY(exists(lookalike));
    }

    // "Move to Trash": off at first, remembered once chosen; the files land in
    // the home Trash and the ending says their space is not freed yet.
    void moveToTrashIsARememberedChoice()
    {
        TempTree tree;
        const QByteArray oldData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(tree.path("data")));
        const std::string one = tree.file("one.txt", 10);
        const std::string two = tree.file("two.txt", 20);
        {
            TfrmReallyDelete window(nullptr, services);
            auto* trash = window.findChild<QCheckBox*>("cbTrash");
            QVERIFY(trash && !trash->isChecked());
            QCOMPARE(trash->text(), QString("Move to &Trash instead of deleting"));
            window.setPaths({one, two});
            window.show();
            trash->setChecked(true);
            QTest::mouseClick(button(window, "BitBtn1"), Qt::LeftButton);
        }
        QCOMPARE(messages.texts(), QStringList({"Really move to Trash?",
                                                "Moved to Trash: 2 files, 30 bytes. That space is freed only "
                                                "when the Trash is emptied."}));
        QVERIFY(!exists(one) && !exists(two));
        QVERIFY(exists(tree.path("data/Trash/files/one.txt")));
        QVERIFY(exists(tree.path("data/Trash/info/two.txt.trashinfo")));

        TfrmReallyDelete again(nullptr, services);
        QVERIFY(again.findChild<QCheckBox*>("cbTrash")->isChecked());
        again.findChild<QCheckBox*>("cbTrash")->setChecked(false);
        messages.queueAnswer(Messages::Answer::No);
        again.BitBtn1Click();
        QCOMPARE(messages.texts().last(), QString("Not deleted"));
        QVERIFY(!TfrmReallyDelete(nullptr, services).findChild<QCheckBox*>("cbTrash")->isChecked());
        if (oldData.isEmpty())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", oldData);
    }

    // The caller's whole protocol, with the window modal.
    void confirmAndDeleteRunsModally()
    {
        TempTree tree;
        const std::string one = tree.file("one.txt", 10);
        test::AnswerDeletion confirm;
        TfrmReallyDelete::confirmAndDelete(nullptr, services, {MarkedFile{one, {}, 10, -1}}, 10);

        QCOMPARE(confirm.seen, 1);
        QCOMPARE(confirm.heading, QString("The following 1 files will be deleted."));
        QCOMPARE(messages.texts(),
                 QStringList({"Really delete?", "Deleted 1 files for a savings of 10 bytes."}));
        QVERIFY(!exists(one));
    }
};

QTEST_MAIN(TfrmReallyDeleteTest)
#include "TfrmReallyDelete_test.moc"
