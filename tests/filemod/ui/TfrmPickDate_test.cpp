#include "common/ui/services.h"
#include "filemod/ui/MonthCalendar.h"
#include "filemod/ui/TfrmPickDate.h"
#include "support/pinnedsettings.h"
#include "support/windowfixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace kelvane;

namespace {

QString title(const TfrmPickDate& window)
{
    return window.findChild<QLabel*>("TitleLabel")->text();
}

MonthCalendar* calendar(const TfrmPickDate& window)
{
    return window.findChild<MonthCalendar*>("Calendar1");
}

QAbstractItemView* dayGrid(const TfrmPickDate& window)
{
    return calendar(window)->dayGrid();
}

// The cell of a day of the shown month, or an empty cell (of no day) when
// day is 0.
QModelIndex cellOf(const TfrmPickDate& window, int day)
{
    const QAbstractItemModel* model = dayGrid(window)->model();
    for (int row = 1; row < model->rowCount(); ++row) {
        for (int col = 0; col < model->columnCount(); ++col) {
            const QModelIndex index = model->index(row, col);
            const bool inMonth = model->flags(index) & Qt::ItemIsEnabled;
            if (day == 0 ? !inMonth : inMonth && model->data(index).toInt() == day)
                return index;
        }
    }
    return {};
}

void doubleClickCell(const TfrmPickDate& window, const QModelIndex& cell)
{
    QAbstractItemView* grid = dayGrid(window);
    const QPoint at = grid->visualRect(cell).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class TfrmPickDateTest : public QObject {
    Q_OBJECT

    ScriptedMessages messages;
    FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(10, 0))};
    Services services{&messages, nullptr, nullptr, nullptr, &clock, nullptr};

private Q_SLOTS:
    void initTestCase() { test::pinSettings(); }

    void captionsAndCalendar()
    {
        TfrmPickDate window(nullptr, services);
        QCOMPARE(window.windowTitle(), QString("Select a Date"));
        QCOMPARE(title(window), QString("February, 1995"));
        QCOMPARE(window.findChild<QPushButton*>("OkBtn")->text(), QString("&OK"));
        QVERIFY(window.findChild<QPushButton*>("OkBtn")->isDefault());
        QCOMPARE(window.findChild<QPushButton*>("CancelBtn")->text(), QString("&Cancel"));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(window.font().bold());
        QCOMPARE(calendar(window)->firstDayOfWeek(), Qt::Sunday);
        // The title row starts with Sunday.
        QCOMPARE(dayGrid(window)->model()->data(dayGrid(window)->model()->index(0, 0)).toString(),
                 QString("Sun"));
    }

    void setDateShowsItsMonthAndDay()
    {
        TfrmPickDate window(nullptr, services);
        window.setDate(QDate(2027, 3, 15));
        QCOMPARE(title(window), QString("March 2027"));
        QCOMPARE(window.getDate(), QDate(2027, 3, 15));
        QCOMPARE(dayGrid(window)->currentIndex(), cellOf(window, 15));
        // No date: the clock's today.
        window.setDate(QDate());
        QCOMPARE(window.getDate(), QDate(2026, 12, 8));
        QCOMPARE(title(window), QString("December 2026"));
    }

    void monthStepsClampTheDay_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QDate>("expected");
        QTest::addColumn<QString>("expectedTitle");
        QTest::newRow("31 Jan 2027 forward")
            << QDate(2027, 1, 31) << 1 << QDate(2027, 2, 28) << "February 2027";
        QTest::newRow("31 Jan 2028 forward")
            << QDate(2028, 1, 31) << 1 << QDate(2028, 2, 29) << "February 2028";
        QTest::newRow("15 Jan 2027 back")
            << QDate(2027, 1, 15) << -1 << QDate(2026, 12, 15) << "December 2026";
        QTest::newRow("31 Mar 2027 back")
            << QDate(2027, 3, 31) << -1 << QDate(2027, 2, 28) << "February 2027";
        QTest::newRow("31 Mar 2100 back")
            << QDate(2100, 3, 31) << -1 << QDate(2100, 2, 28) << "February 2100";
        QTest::newRow("31 Mar 2000 back")
            << QDate(2000, 3, 31) << -1 << QDate(2000, 2, 29) << "February 2000";
        QTest::newRow("December forward") << QDate(2026, 12, 31) << 1 << QDate(2027, 1, 31) << "January 2027";
    }

    void monthStepsClampTheDay()
    {
        QFETCH(QDate, from);
        QFETCH(int, steps);
        TfrmPickDate window(nullptr, services);
        window.setDate(from);
        const char* button = steps > 0 ? "NextMonthBtn" : "PrevMonthBtn";
        QTest::mouseClick(window.findChild<QToolButton*>(button), Qt::LeftButton);
        QTEST(window.getDate(), "expected");
        QTEST(title(window), "expectedTitle");
    }

    void pageKeysStepMonthsWithoutModifiers()
    {
        TfrmPickDate window(nullptr, services);
        window.setDate(QDate(2026, 11, 30));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        dayGrid(window)->setFocus();
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(dayGrid(window), Qt::Key_PageDown);
        QCOMPARE(window.getDate(), QDate(2027, 2, 28));
        QCOMPARE(title(window), QString("February 2027"));

        // With Ctrl, Shift or Alt nothing happens, not even the calendar's own step.
        for (const Qt::KeyboardModifier held : {Qt::ControlModifier, Qt::ShiftModifier, Qt::AltModifier}) {
            QTest::keyClick(dayGrid(window), Qt::Key_PageUp, held);
            QTest::keyClick(dayGrid(window), Qt::Key_PageDown, held);
        }
        QCOMPARE(window.getDate(), QDate(2027, 2, 28));

        // Also with the focus on a button.
        window.findChild<QPushButton*>("CancelBtn")->setFocus();
        QTest::keyClick(window.findChild<QPushButton*>("CancelBtn"), Qt::Key_PageUp);
        QCOMPARE(window.getDate(), QDate(2027, 1, 28));
        QVERIFY(window.isVisible());
    }

    void arrowKeysStayInTheMonth()
    {
        TfrmPickDate window(nullptr, services);
        window.setDate(QDate(2027, 3, 31));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        dayGrid(window)->setFocus();
        QTest::keyClick(dayGrid(window), Qt::Key_Left);
        QCOMPARE(window.getDate(), QDate(2027, 3, 30));
        QTest::keyClick(dayGrid(window), Qt::Key_Right);
        QTest::keyClick(dayGrid(window), Qt::Key_Right);
        QCOMPARE(window.getDate(), QDate(2027, 3, 31));
        QCOMPARE(title(window), QString("March 2027"));
    }

    void doubleClickClosesWithOk()
    {
        TfrmPickDate window(nullptr, services);
        window.setDate(QDate(2027, 3, 15));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        doubleClickCell(window, cellOf(window, 20));
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(window.getDate(), QDate(2027, 3, 20));
    }

    void doubleClickOnAnEmptyCellKeepsTheDate()
    {
        TfrmPickDate window(nullptr, services);
        window.setDate(QDate(2027, 3, 15));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QModelIndex empty = cellOf(window, 0);
        QVERIFY(empty.isValid());
        doubleClickCell(window, empty);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(window.getDate(), QDate(2027, 3, 15));
    }

    // The caller's protocol: OK gives the date; Cancel, Esc and the close box give nothing.
    void pickReturnsOnlyWhatOkConfirms_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("picked");
        QTest::newRow("OK") << "ok" << true;
        QTest::newRow("Enter") << "enter" << true;
        QTest::newRow("Cancel") << "cancel" << false;
        QTest::newRow("Esc") << "esc" << false;
        QTest::newRow("close box") << "close" << false;
    }

    void pickReturnsOnlyWhatOkConfirms()
    {
        QFETCH(QString, how);
        QFETCH(bool, picked);
        test::OnModal<TfrmPickDate> answer([how](TfrmPickDate& window) {
            QTest::keyClick(window.findChild<MonthCalendar*>()->dayGrid(), Qt::Key_PageDown);
            if (how == "ok")
                QTest::mouseClick(window.findChild<QPushButton*>("OkBtn"), Qt::LeftButton);
            else if (how == "enter")
                QTest::keyClick(window.findChild<MonthCalendar*>()->dayGrid(), Qt::Key_Return);
            else if (how == "cancel")
                QTest::mouseClick(window.findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
            else if (how == "esc")
                QTest::keyClick(&window, Qt::Key_Escape);
            else
                window.close();
        });
        const std::optional<QDate> result = TfrmPickDate::pick(nullptr, services, QDate(2027, 1, 31));
        QCOMPARE(answer.seen, 1);
        QCOMPARE(result.has_value(), picked);
        if (picked)
            QCOMPARE(*result, QDate(2027, 2, 28));
    }
};

QTEST_MAIN(TfrmPickDateTest)
#include "TfrmPickDate_test.moc"
