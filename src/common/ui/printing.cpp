#include "common/ui/printing.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace kelvane {

DialogPrintService::DialogPrintService() = default;
DialogPrintService::~DialogPrintService() = default;

QPrinter* DialogPrintService::choosePrinter(QWidget* parent)
{
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // Without an installed printer the dialog still offers a PDF file.
        if (QPrinterInfo::availablePrinters().isEmpty()) {
            printer_->setOutputFormat(QPrinter::PdfFormat);
            printer_->setOutputFileName(QStringLiteral("kelvane-report.pdf"));
        }
    }
    QPrintDialog dialog(printer_.get(), parent);
    return dialog.exec() == QDialog::Accepted ? printer_.get() : nullptr;
}

PdfPrintService::PdfPrintService(QString pdfPath) : path_(std::move(pdfPath)) {}
PdfPrintService::~PdfPrintService() = default;

QPrinter* PdfPrintService::choosePrinter(QWidget*)
{
    ++dialogs_;
    if (cancel_)
        return nullptr;
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(path_);
    return printer_.get();
}

} // namespace kelvane
