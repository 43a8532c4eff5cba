#include "common/clock.h"
#include "common/ui/messages.h"
#include "common/ui/printing.h"
#include "common/ui/reportprinter.h"
#include "support/pinnedsettings.h"
#include "support/temptree.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFontMetrics>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

#include <cmath>
#include <optional>

using kelvane::FixedClock;
using kelvane::Messages;
using kelvane::PdfPrintService;
using kelvane::ScriptedMessages;
using kelvane::test::TempTree;

namespace {

const QString failureText = QStringLiteral("Error printing report ... quitting");
const QString title = QStringLiteral("Directory hogs on drive C");

// A word of the printed PDF, in points from the top left of the sheet.
struct Word {
    double xMin;
    double yMin;
    double xMax;
    QString text;
};

// One printed row: the words that share a baseline.
struct Row {
    double y = 0;
    QList<Word> words;
    QString text() const
    {
        QStringList texts;
        for (const Word& word : words)
            texts.append(word.text);
        return texts.join(QLatin1Char(' '));
    }
};

using Page = QList<Row>;

QByteArray runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

QStringList layoutText(const QString& pdf)
{
    QString text =
        QString::fromUtf8(runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, "-"}));
    text.remove(QLatin1Char('\f'));
    QStringList lines = text.split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

int pageCount(const QString& pdf)
{
    const QString info = QString::fromUtf8(runTool(QStringLiteral("pdfinfo"), {pdf}));
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pages.match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// Every page of the PDF with its words grouped into rows, top to bottom.
QList<Page> pagesOf(const QString& pdf)
{
    QList<Page> pages;
    QXmlStreamReader xml(runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, "-"}));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page")) {
            pages.append(Page());
        } else if (xml.name() == QLatin1String("word") && !pages.isEmpty()) {
            const auto attributes = xml.attributes();
            const Word word{attributes.value("xMin").toDouble(), attributes.value("yMin").toDouble(),
                            attributes.value("xMax").toDouble(), xml.readElementText()};
            Page& page = pages.last();
            if (page.isEmpty() || std::abs(page.last().y - word.yMin) > 0.5)
                page.append(Row{word.yMin, {}});
            page.last().words.append(word);
        }
    }
    return pages;
}

QStringList rowTexts(const QList<Page>& pages)
{
    QStringList texts;
    for (const Page& page : pages)
        for (const Row& row : page)
            texts.append(row.text());
    return texts;
}

FixedClock printingClock()
{
    return FixedClock(QDateTime(QDate(2026, 12, 7), QTime(14, 37, 58)));
}

// Font sizes of the printer in points, the unit of the PDF words.
struct PrinterSizes {
    QRectF area; // the printable area on the sheet
    double tabWidth;
    double lineStep; // a row with text
    double charWidth;
};

PrinterSizes sizesOf(QPrinter& printer)
{
    const QFontMetrics font(QApplication::font(), &printer);
    const double toPoints = 72.0 / printer.resolution();
    return {printer.pageLayout().paintRect(QPageLayout::Point), 8 * font.averageCharWidth() * toPoints,
            (font.height() + 2) * toPoints, font.horizontalAdvance(QLatin1Char('x')) * toPoints};
}

// A PDF printer whose page breaks fail from a given one on; it notes the pointer
// shape at each break.
class FailingPrinter : public QPrinter {
public:
    FailingPrinter(const QString& pdf, int failFrom) : QPrinter(QPrinter::HighResolution), failFrom_(failFrom)
    {
        setOutputFormat(QPrinter::PdfFormat);
        setOutputFileName(pdf);
    }
    bool newPage() override
    {
        const QCursor* cursor = QApplication::overrideCursor();
        shapes.append(cursor ? std::optional(cursor->shape()) : std::nullopt);
        return shapes.size() < failFrom_ && QPrinter::newPage();
    }
    QList<std::optional<Qt::CursorShape>> shapes;

private:
    qsizetype failFrom_;
};

} // namespace

class ReportPrinterTest : public QObject {
    Q_OBJECT

private:
    // Prints lines through the test print service into a fresh PDF; returns its path.
    QString print(const TempTree& tree, const QStringList& lines, ScriptedMessages& messages)
    {
        const QString pdf = QString::fromStdString(tree.path("report.pdf"));
        PdfPrintService printing(pdf);
        const FixedClock clock = printingClock();
        kelvane::printReport(*printing.choosePrinter(nullptr, QStringLiteral("test")), lines, title, clock,
                             messages, nullptr);
        return pdf;
    }

    PrinterSizes sizes()
    {
        PdfPrintService printing(QString::fromStdString(tree_.path("probe.pdf")));
        return sizesOf(*printing.choosePrinter(nullptr, QStringLiteral("test")));
    }

    TempTree tree_;

private Q_SLOTS:
    void initTestCase() { kelvane::test::pinSettings(); }

    void printsTitleDateBlankLinesAndTheLinesInOrder()
    {
        TempTree tree;
        ScriptedMessages messages;
        const QStringList lines{QStringLiteral("zeta"), QStringLiteral("alpha"), QStringLiteral("mid dle")};
        const QString pdf = print(tree, lines, messages);
        QVERIFY(messages.shown().isEmpty());

        const QStringList text = layoutText(pdf);
        QCOMPARE(text.size(), 7);
        QCOMPARE(text[0], title);
        QCOMPARE(text[1].simplified(), QStringLiteral("Printed : 12/7/2026 2:37:58 PM"));
        QCOMPARE(text[2], QString());
        QCOMPARE(text[3], QString());
        QCOMPARE(text.mid(4), lines);

        // Two spaces between date and time: twice the gap between time and "PM".
        const Row printed = pagesOf(pdf).value(0).value(1);
        QCOMPARE(printed.words.size(), 5);
        const double dateGap = printed.words[3].xMin - printed.words[2].xMax;
        const double spaceGap = printed.words[4].xMin - printed.words[3].xMax;
        QVERIFY2(std::abs(dateGap - 2 * spaceGap) < 0.5, qPrintable(QString::number(dateGap)));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void rowsStartAtTheTopLeftOfThePrintableAreaAndEmptyLinesAreShorter()
    {
        TempTree tree;
        ScriptedMessages messages;
        const QList<Page> pages = pagesOf(print(tree, {QStringLiteral("first")}, messages));
        const PrinterSizes size = sizes();
        QCOMPARE(pages.size(), 1);
        const Page& page = pages[0];
        QCOMPARE(page.size(), 3);
        QVERIFY(std::abs(page[0].words[0].xMin - size.area.left()) < 0.5);
        QVERIFY(std::abs(page[0].y - size.area.top()) < 1.0);
        QVERIFY(std::abs(page[1].y - page[0].y - size.lineStep) < 0.05);
        // Two empty lines advance by the bare font height each.
        const double emptyStep = size.lineStep - 2 * 72.0 / 1200;
        QVERIFY(std::abs(page[2].y - page[1].y - size.lineStep - 2 * emptyStep) < 0.05);
    }

    void anEmptyListPrintsTheHeaderOnly()
    {
        TempTree tree;
        ScriptedMessages messages;
        const QString pdf = print(tree, {}, messages);
        QVERIFY(messages.shown().isEmpty());
        QCOMPARE(pageCount(pdf), 1);
        QCOMPARE(rowTexts(pagesOf(pdf)),
                 (QStringList{title, QStringLiteral("Printed : 12/7/2026 2:37:58 PM")}));
    }

    void aTabMovesTheNextFieldToTheFirstStopAfterIt()
    {
        TempTree tree;
        ScriptedMessages messages;
        const QStringList lines{QStringLiteral("/a\t1"), QStringLiteral("/usr/bin\t22"),
                                QStringLiteral("/b/cd\t333"), QStringLiteral("/usr/local/share/doc\t4444"),
                                QStringLiteral("/home/someone/projects/kelvane\t55555")};
        const QList<Page> pages = pagesOf(print(tree, lines, messages));
        const PrinterSizes size = sizes();
        const Page rows = pages.value(0).mid(2);
        QCOMPARE(rows.size(), lines.size());

        QList<int> stops;
        for (const Row& row : rows) {
            QCOMPARE(row.words.size(), 2);
            const Word& path = row.words[0];
            const Word& number = row.words[1];
            const int stop = int((path.xMax - size.area.left()) / size.tabWidth) + 1;
            QVERIFY2(std::abs(number.xMin - (size.area.left() + stop * size.tabWidth)) < 0.5,
                     qPrintable(row.text()));
            stops.append(stop);
        }
        // Short paths share the first column; the long ones go further along.
        QCOMPARE(stops.mid(0, 3), (QList<int>{1, 1, 1}));
        QVERIFY(stops[3] > 1 && stops[4] > stops[3]);
    }

    void aLineWiderThanThePageContinuesAtTheLeftEdge()
    {
        TempTree tree;
        ScriptedMessages messages;
        const QString wide = QString(300, QLatin1Char('x')) + QStringLiteral("END");
        const QList<Page> pages = pagesOf(print(tree, {wide, QStringLiteral("after")}, messages));
        const PrinterSizes size = sizes();
        const Page rows = pages.value(0).mid(2);
        QVERIFY(rows.size() >= 3);

        QString joined;
        for (qsizetype i = 0; i + 1 < rows.size(); ++i) {
            QCOMPARE(rows[i].words.size(), 1);
            QVERIFY(std::abs(rows[i].words[0].xMin - size.area.left()) < 0.5);
            joined += rows[i].words[0].text;
        }
        QCOMPARE(joined, wide);
        // Broken after the last character that fits: not even one more would.
        const double room = size.area.right() - rows[0].words[0].xMax;
        QVERIFY2(room >= 0 && room < size.charWidth, qPrintable(QString::number(room)));
        QCOMPARE(rows.last().text(), QStringLiteral("after"));
    }

    void aTabPastTheRightEdgeContinuesAtTheLeftOfTheNextRow()
    {
        TempTree tree;
        ScriptedMessages messages;
        const PrinterSizes size = sizes();
        const int tabs = int(size.area.width() / size.tabWidth) + 1;
        const QString line =
            QStringLiteral("abc") + QString(tabs, QLatin1Char('\t')) + QStringLiteral("tail");
        const Page rows = pagesOf(print(tree, {line}, messages)).value(0).mid(2);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].text(), QStringLiteral("abc"));
        QCOMPARE(rows[1].text(), QStringLiteral("tail"));
        QVERIFY(std::abs(rows[1].words[0].xMin - size.area.left()) < 0.5);
        QVERIFY(std::abs(rows[1].y - rows[0].y - size.lineStep) < 0.05);
    }

    void aLongListGoesOnOverSeveralPagesWithoutHeaders()
    {
        TempTree tree;
        ScriptedMessages messages;
        QStringList lines;
        for (int i = 0; i < 200; ++i)
            lines.append(QStringLiteral("entry%1").arg(i, 3, 10, QLatin1Char('0')));
        const QString pdf = print(tree, lines, messages);
        QVERIFY(messages.shown().isEmpty());
        const QList<Page> pages = pagesOf(pdf);
        const PrinterSizes size = sizes();

        QVERIFY(pages.size() >= 3);
        // No blank sheet at the end.
        QCOMPARE(pageCount(pdf), pages.size());
        QVERIFY(!pages.last().isEmpty());
        QCOMPARE(rowTexts(pages).mid(2), lines);
        QCOMPARE(rowTexts(pages).count(title), 1);

        for (qsizetype p = 0; p < pages.size(); ++p) {
            const Page& page = pages[p];
            if (p > 0)
                QVERIFY(std::abs(page.first().y - size.area.top()) < 1.0);
            if (p + 1 == pages.size())
                continue;
            // The last row is the one after which fewer than two rows' heights remain.
            const double below = size.area.bottom() - page.last().y - size.lineStep;
            QVERIFY2(below < 2 * size.lineStep + 0.05 && below >= size.lineStep - 0.05,
                     qPrintable(QString::number(below)));
        }
    }

    void aPrinterThatCannotStartShowsOneErrorAndPrintsNothing()
    {
        TempTree tree;
        ScriptedMessages messages;
        const QString pdf = QString::fromStdString(tree.path("missing/report.pdf"));
        PdfPrintService printing(pdf);
        const FixedClock clock = printingClock();
        kelvane::printReport(*printing.choosePrinter(nullptr, QStringLiteral("test")), {QStringLiteral("a")},
                             title, clock, messages, nullptr);
        QCOMPARE(messages.shown().size(), 1);
        QCOMPARE(messages.shown()[0].kind, Messages::Kind::Error);
        QCOMPARE(messages.shown()[0].text, failureText);
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(QApplication::overrideCursor(), nullptr);

        // The next print starts afresh.
        messages.clear();
        const QString good = print(tree, {QStringLiteral("a")}, messages);
        QVERIFY(messages.shown().isEmpty());
        QCOMPARE(layoutText(good).value(4), QStringLiteral("a"));
    }

    void aFailedPageBreakEndsTheJobWithThePagesAlreadyComposed()
    {
        TempTree tree;
        ScriptedMessages messages;
        const QString pdf = QString::fromStdString(tree.path("report.pdf"));
        FailingPrinter printer(pdf, 1);
        QStringList lines;
        for (int i = 0; i < 200; ++i)
            lines.append(QStringLiteral("row%1").arg(i));
        const FixedClock clock = printingClock();
        kelvane::printReport(printer, lines, title, clock, messages, nullptr);

        QCOMPARE(messages.texts(), QStringList{failureText});
        QCOMPARE(printer.shapes.size(), 1);
        QCOMPARE(printer.shapes[0], std::optional(Qt::WaitCursor));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        // The first page was released: header and the lines that fitted.
        QCOMPARE(pageCount(pdf), 1);
        const QStringList printed = rowTexts(pagesOf(pdf));
        QCOMPARE(printed.value(0), title);
        QVERIFY(printed.size() > 10);
        QCOMPARE(printed.mid(2), lines.mid(0, printed.size() - 2));
    }

    void aFailureWhileWritingTheHeaderWritesNothingFurther()
    {
        TempTree tree;
        ScriptedMessages messages;
        const QString pdf = QString::fromStdString(tree.path("report.pdf"));
        FailingPrinter printer(pdf, 1);
        // A page barely one row high: the title fills it, the date line needs a new one.
        printer.setPageLayout(QPageLayout(QPageSize(QSizeF(300, 20), QPageSize::Point), QPageLayout::Portrait,
                                          QMarginsF(0, 0, 0, 0)));
        const FixedClock clock = printingClock();
        kelvane::printReport(printer, {QStringLiteral("never")}, title, clock, messages, nullptr);

        QCOMPARE(messages.texts(), QStringList{failureText});
        // The busy pointer belongs to the list lines only.
        QCOMPARE(printer.shapes, (QList<std::optional<Qt::CursorShape>>{std::nullopt}));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(rowTexts(pagesOf(pdf)), QStringList{title});
    }

    void aCancelledDialogPrintsNothingAndSaysNothing()
    {
        TempTree tree;
        ScriptedMessages messages;
        const QString pdf = QString::fromStdString(tree.path("report.pdf"));
        PdfPrintService printing(pdf);
        printing.setCancel(true);
        const FixedClock clock = printingClock();
        QVERIFY(!kelvane::printReportWithDialog(printing, {QStringLiteral("a")}, title,
                                                QStringLiteral("test"), clock, messages, nullptr));
        QCOMPARE(printing.dialogsShown(), 1);
        QVERIFY(messages.shown().isEmpty());
        QVERIFY(!QFile::exists(pdf));

        printing.setCancel(false);
        QVERIFY(kelvane::printReportWithDialog(printing, {QStringLiteral("a")}, title, QStringLiteral("test"),
                                               clock, messages, nullptr));
        QVERIFY(messages.shown().isEmpty());
        QCOMPARE(layoutText(pdf).value(0), title);
    }

    // With no printer the report goes to a new file in the Documents folder,
    // named after the tool and the time, and the user is told where.
    void aReportFileIsNewAndAnnounced()
    {
        TempTree tree;
        const QString folder = QString::fromStdString(tree.path("Documents"));
        const QDateTime when(QDate(2026, 12, 8), QTime(6, 5, 9));
        const QString first = kelvane::reserveReportFile(folder, QStringLiteral("hogs"), when);
        QCOMPARE(first, folder + QStringLiteral("/kelvane-hogs-2026-12-08-060509.pdf"));
        QVERIFY(QFile::exists(first));
        {
            QFile earlier(first);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("an earlier report");
        }
        const QString second = kelvane::reserveReportFile(folder, QStringLiteral("hogs"), when);
        QCOMPARE(second, folder + QStringLiteral("/kelvane-hogs-2026-12-08-060509-2.pdf"));
        QCOMPARE(kelvane::reserveReportFile(folder, QStringLiteral("hogs"), when),
                 folder + QStringLiteral("/kelvane-hogs-2026-12-08-060509-3.pdf"));
        QFile earlier(first);
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("an earlier report"));
        QVERIFY(kelvane::reserveReportFile(QStringLiteral("/proc/kelvane-no-such"), QStringLiteral("x"), when)
                    .isEmpty());

        ScriptedMessages messages;
        PdfPrintService printing(second);
        printing.setAnnounceFile(true);
        const FixedClock clock = printingClock();
        QVERIFY(kelvane::printReportWithDialog(printing, {QStringLiteral("a")}, title,
                                               QStringLiteral("dirhogs"), clock, messages, nullptr));
        QCOMPARE(printing.lastTool(), QStringLiteral("dirhogs"));
        QCOMPARE(messages.shown().size(), 1);
        QCOMPARE(messages.shown().first().kind, Messages::Kind::Information);
        QCOMPARE(messages.shown().first().text, QStringLiteral("The report was saved to ") + second);
        QCOMPARE(layoutText(second).value(0), title);
    }
};

QTEST_MAIN(ReportPrinterTest)
#include "reportprinter_test.moc"
