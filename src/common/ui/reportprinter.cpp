#include "common/ui/reportprinter.h"

#include "common/clock.h"
#include "common/stamptext.h"
#include "common/ui/busypointer.h"
#include "common/ui/messages.h"
#include "common/ui/printing.h"
#include "common/ui/reportlayout.h"
#include "common/ui/services.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPrinter>

namespace kelvane {

namespace {

const QString failureText = QStringLiteral("Error printing report ... quitting");

QString printedLine(const Clock& clock)
{
    const QDateTime now = clock.now();
    const QLocale locale;
    return QStringLiteral("Printed : ") + locale.toString(now.date(), userShortDateFormat()) +
           QStringLiteral("  ") + locale.toString(now.time(), userLongTimeFormat());
}

// Draws laid-out lines on an open painter; false once the printer has failed.
class ReportWriter {
public:
    ReportWriter(QPrinter& printer, QPainter& painter)
        : printer_(printer), painter_(painter), ascent_(painter.fontMetrics().ascent()),
          layout_(metrics(printer, painter.fontMetrics()))
    {
    }

    bool write(const QString& line)
    {
        for (const ReportRow& row : layout_.addLine(line)) {
            if (row.newPageBefore && !printer_.newPage())
                return false;
            for (const ReportFragment& fragment : row.fragments)
                painter_.drawText(QPoint(fragment.x, fragment.y + ascent_), fragment.text);
        }
        return painter_.isActive() && printer_.printerState() != QPrinter::Error;
    }

private:
    static ReportMetrics metrics(const QPrinter& printer, const QFontMetrics& font)
    {
        return {printer.width(), printer.height(), font.height(), 8 * font.averageCharWidth(),
                [font](QStringView text) { return font.horizontalAdvance(text.toString()); }};
    }

    QPrinter& printer_;
    QPainter& painter_;
    int ascent_;
    ReportLayout layout_;
};

} // namespace

bool printReport(QPrinter& printer, const QStringList& lines, const QString& title, const Clock& clock,
                 Messages& messages, QWidget* parent)
{
    // Lists the job under the report's title in the print queue.
    printer.setDocName(title);
    QPainter painter;
    if (!painter.begin(&printer)) {
        messages.error(parent, failureText);
        return false;
    }

    ReportWriter writer(printer, painter);
    bool written = writer.write(title) && writer.write(printedLine(clock)) && writer.write(QString()) &&
                   writer.write(QString());
    if (written) {
        const BusyPointer busy;
        for (const QString& line : lines) {
            if (!writer.write(line)) {
                written = false;
                break;
            }
        }
    }
    // A job that cannot be finished is a failure too, not a silent success.
    const bool ended = painter.end();
    if (!written || !ended) {
        messages.error(parent, failureText);
        return false;
    }
    return true;
}

bool printReportWithDialog(PrintService& printing, const QStringList& lines, const QString& title,
                           const QString& tool, const Clock& clock, Messages& messages, QWidget* parent)
{
    QPrinter* printer = printing.choosePrinter(parent, tool);
    if (!printer)
        return false;
    if (printReport(*printer, lines, title, clock, messages, parent) && !printing.outputFile().isEmpty())
        announceReportFile(messages, parent, printing.outputFile());
    return true;
}

bool printReportWithDialog(const Services& services, const QStringList& lines, const QString& title,
                           const QString& tool, QWidget* parent)
{
    return printReportWithDialog(*services.printing, lines, title, tool, *services.clock, *services.messages,
                                 parent);
}

} // namespace kelvane
