#include "common/ui/printing.h"

#include "common/ui/messages.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace kelvane {

QString reserveReportFile(const QString& folder, const QString& tool, const QDateTime& when)
{
    if (!QDir().mkpath(folder))
        return {};
    const QString stem = QDir(folder).filePath(
        QStringLiteral("kelvane-%1-%2").arg(tool, when.toString(QStringLiteral("yyyy-MM-dd-HHmmss"))));
    for (int n = 1; n < 1000; ++n) {
        const QString path =
            n == 1 ? stem + QStringLiteral(".pdf") : QStringLiteral("%1-%2.pdf").arg(stem).arg(n);
        QFile file(path);
        // NewOnly fails on an existing name, also one made a moment ago.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
        if (file.exists())
            continue;
        return {};
    }
    return {};
}

void announceReportFile(Messages& messages, QWidget* parent, const QString& path)
{
    messages.information(parent,
                         QStringLiteral("The report was saved to %1").arg(QDir::toNativeSeparators(path)));
}

DialogPrintService::DialogPrintService() = default;
DialogPrintService::~DialogPrintService() = default;

QPrinter* DialogPrintService::choosePrinter(QWidget* parent, const QString& tool)
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // Without an installed printer the dialog offers a PDF file: a new one in
    // the Documents folder, so that no earlier report is overwritten.
    QString reserved;
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        reserved = reserveReportFile(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                                     tool, QDateTime::currentDateTime());
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(reserved);
    }
    QPrintDialog dialog(printer_.get(), parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (!reserved.isEmpty() && (!accepted || printer_->outputFileName() != reserved))
        QFile::remove(reserved); // reserved but not used
    return accepted ? printer_.get() : nullptr;
}

QString DialogPrintService::outputFile() const
{
    if (!printer_ || printer_->outputFormat() != QPrinter::PdfFormat)
        return {};
    return printer_->outputFileName();
}

PdfPrintService::PdfPrintService(QString pdfPath) : path_(std::move(pdfPath)) {}
PdfPrintService::~PdfPrintService() = default;

QPrinter* PdfPrintService::choosePrinter(QWidget*, const QString& tool)
{
    ++dialogs_;
    tool_ = tool;
    if (cancel_)
        return nullptr;
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(path_);
    return printer_.get();
}

} // namespace kelvane
