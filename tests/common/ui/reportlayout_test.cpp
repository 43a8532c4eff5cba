#include "common/ui/reportlayout.h"
#include "support/pinnedsettings.h"

#include <QtTest>

using kelvane::ReportFragment;
using kelvane::ReportLayout;
using kelvane::ReportMetrics;
using kelvane::ReportRow;

namespace {

// Every character 10 pixels wide except 'W', which is wider than any page here.
ReportMetrics metrics(int pageWidth = 100, int pageHeight = 100)
{
    return {pageWidth, pageHeight, 10, 80, [](QStringView text) {
                int width = 0;
                for (const QChar c : text)
                    width += c == QLatin1Char('W') ? 150 : 10;
                return width;
            }};
}

QStringList texts(const QList<ReportRow>& rows)
{
    QStringList result;
    for (const ReportRow& row : rows) {
        QString text;
        for (const ReportFragment& fragment : row.fragments)
            text += fragment.text;
        result.append(text);
    }
    return result;
}

} // namespace

class ReportLayoutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { kelvane::test::pinSettings(); }

    void tabsMoveToTheNextStop()
    {
        ReportLayout layout(metrics(200));
        QCOMPARE(layout.addLine(QStringLiteral("ab\tc")).value(0).fragments,
                 (QList<ReportFragment>{{0, 0, QStringLiteral("ab")}, {80, 0, QStringLiteral("c")}}));
        // Text that ends on a stop still moves on to the following one.
        QCOMPARE(layout.addLine(QStringLiteral("abcdefgh\tc")).value(0).fragments.value(1),
                 (ReportFragment{160, 12, QStringLiteral("c")}));
        QCOMPARE(layout.addLine(QStringLiteral("\t\tc")).value(0).fragments,
                 (QList<ReportFragment>{{160, 24, QStringLiteral("c")}}));
    }

    void aTabPastTheRightEdgeContinuesOnTheNextRow()
    {
        ReportLayout layout(metrics(150));
        const QList<ReportRow> rows = layout.addLine(QStringLiteral("abcdefghi\tx"));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].fragments, (QList<ReportFragment>{{0, 0, QStringLiteral("abcdefghi")}}));
        QCOMPARE(rows[1].fragments, (QList<ReportFragment>{{0, 12, QStringLiteral("x")}}));
    }

    void aTabOntoTheRightEdgeBreaksBeforeTheText()
    {
        ReportLayout layout(metrics(160));
        const QList<ReportRow> rows = layout.addLine(QStringLiteral("abcdefghi\txy"));
        QCOMPARE(texts(rows), (QStringList{QStringLiteral("abcdefghi"), QStringLiteral("xy")}));
        QCOMPARE(rows[1].fragments.value(0).x, 0);
    }

    void longTextBreaksAfterTheLastCharacterThatFits()
    {
        ReportLayout layout(metrics());
        const QList<ReportRow> rows = layout.addLine(QStringLiteral("abcdefghij klmnopqrstuvwxy"));
        QCOMPARE(texts(rows), (QStringList{QStringLiteral("abcdefghij"), QStringLiteral(" klmnopqrs"),
                                           QStringLiteral("tuvwxy")}));
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(rows[i].fragments.value(0).y, 12 * i);
        // Text after a tab fills up the row before it breaks.
        QCOMPARE(texts(layout.addLine(QStringLiteral("a\tbcdefg"))),
                 (QStringList{QStringLiteral("abc"), QStringLiteral("defg")}));
    }

    void aCharacterWiderThanThePageStandsAlone()
    {
        ReportLayout layout(metrics());
        QCOMPARE(texts(layout.addLine(QStringLiteral("aWWb"))),
                 (QStringList{QStringLiteral("a"), QStringLiteral("W"), QStringLiteral("W"),
                              QStringLiteral("b")}));
    }

    void aSurrogatePairIsNeverSplit()
    {
        ReportLayout layout(metrics());
        const QString line =
            QStringLiteral("abcdefghi") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("z");
        QCOMPARE(texts(layout.addLine(line)),
                 (QStringList{QStringLiteral("abcdefghi"),
                              QString::fromUcs4(U"\U0001F600") + QStringLiteral("z")}));
    }

    void emptyAndTextRowsAdvanceDifferently()
    {
        ReportLayout layout(metrics());
        const QList<ReportRow> empty = layout.addLine(QString());
        QCOMPARE(empty.size(), 1);
        QVERIFY(empty[0].fragments.isEmpty());
        layout.addLine(QStringLiteral("a"));
        layout.addLine(QString());
        QCOMPARE(layout.addLine(QStringLiteral("b")).value(0).fragments.value(0).y, 10 + 12 + 10);
    }

    // Text rows of height 12 on a page of 100: after the seventh (position 84)
    // fewer than 24 pixels remain, so the eighth row starts a page.
    void aTextRowTooCloseToTheBottomEndsThePage()
    {
        ReportLayout layout(metrics());
        for (int i = 0; i < 7; ++i) {
            const QList<ReportRow> rows = layout.addLine(QStringLiteral("x"));
            QVERIFY(!rows[0].newPageBefore);
            QCOMPARE(rows[0].fragments.value(0).y, 12 * i);
        }
        // The break waits for the next row, so a report ending here has no blank page.
        const QList<ReportRow> next = layout.addLine(QStringLiteral("y"));
        QVERIFY(next[0].newPageBefore);
        QCOMPARE(next[0].fragments.value(0).y, 0);
        QVERIFY(!layout.addLine(QStringLiteral("z"))[0].newPageBefore);
    }

    void aWrappedLineBreaksThePageBetweenItsRows()
    {
        ReportLayout layout(metrics());
        for (int i = 0; i < 6; ++i)
            layout.addLine(QStringLiteral("x"));
        const QList<ReportRow> rows = layout.addLine(QString(25, QLatin1Char('a')));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].fragments.value(0).y, 72);
        QVERIFY(!rows[0].newPageBefore);
        QVERIFY(rows[1].newPageBefore);
        QCOMPARE(rows[1].fragments.value(0).y, 0);
        QVERIFY(!rows[2].newPageBefore);
        QCOMPARE(rows[2].fragments.value(0).y, 12);
    }

    // Empty rows only break the page once the position is past the bottom.
    void emptyRowsBreakOnlyPastTheBottom()
    {
        ReportLayout layout(metrics());
        for (int i = 0; i < 6; ++i)
            layout.addLine(QStringLiteral("x")); // position 72
        for (int i = 0; i < 3; ++i)              // 82, 92, 102
            QVERIFY(!layout.addLine(QString())[0].newPageBefore);
        QVERIFY(layout.addLine(QString())[0].newPageBefore);

        // Reaching the bottom exactly (70) is not past it; the next row (80) is.
        ReportLayout exact(metrics(100, 70));
        for (int i = 0; i < 8; ++i)
            QVERIFY(!exact.addLine(QString())[0].newPageBefore);
        QVERIFY(exact.addLine(QString())[0].newPageBefore);
    }

    void aTextRowAfterEmptyRowsUsesItsOwnRule()
    {
        ReportLayout layout(metrics());
        for (int i = 0; i < 6; ++i)
            layout.addLine(QStringLiteral("x")); // position 72
        layout.addLine(QString());               // 82: an empty row fits
        const QList<ReportRow> text = layout.addLine(QStringLiteral("t"));
        QVERIFY(!text[0].newPageBefore);
        QCOMPARE(text[0].fragments.value(0).y, 82);
        QVERIFY(layout.addLine(QStringLiteral("u"))[0].newPageBefore);
    }
};

QTEST_MAIN(ReportLayoutTest)
#include "reportlayout_test.moc"
