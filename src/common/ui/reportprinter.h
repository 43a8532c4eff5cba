#pragma once

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace kelvane {

class Clock;
class Messages;
class PrintService;
struct Services;

// Prints a plain-text report on a printer already chosen by the user: the title,
// "Printed : " with the clock's date and time, two empty lines, then the lines
// unchanged (tabs go to stops every eight average character widths). It uses the
// printer's page area and default font, shows the busy pointer while the lines
// go out, and reports any failure with one error box; the job that was begun is
// always ended, so the pages already composed are printed. True when every line
// went out.
bool printReport(QPrinter& printer, const QStringList& lines, const QString& title, const Clock& clock,
                 Messages& messages, QWidget* parent);

// The print button of a result window: asks for the printer and prints the report
// on it; a report that went to a file says where. True when the dialog was
// confirmed (the report may still have failed and said so); a cancelled dialog
// prints nothing and shows nothing. tool names a report file ("duplicates").
bool printReportWithDialog(PrintService& printing, const QStringList& lines, const QString& title,
                           const QString& tool, const Clock& clock, Messages& messages, QWidget* parent);
bool printReportWithDialog(const Services& services, const QStringList& lines, const QString& title,
                           const QString& tool, QWidget* parent);

} // namespace kelvane
