#pragma once

#include <QString>

#include <memory>

class QPrinter;
class QWidget;

namespace kelvane {

// Chooses the printer for one print job: the real one shows the print dialog
// (which offers printing to a PDF file where no printer is installed); tests
// print to a PDF file of their choosing, or cancel.
class PrintService {
public:
    virtual ~PrintService() = default;
    // The printer to print on, or nullptr when the user cancelled the dialog.
    // The printer stays valid until the next call.
    virtual QPrinter* choosePrinter(QWidget* parent) = 0;
};

class DialogPrintService final : public PrintService {
public:
    DialogPrintService();
    ~DialogPrintService() override;
    QPrinter* choosePrinter(QWidget* parent) override;

private:
    std::unique_ptr<QPrinter> printer_;
};

// For tests: every job goes to a PDF file, or every dialog is cancelled.
class PdfPrintService final : public PrintService {
public:
    explicit PdfPrintService(QString pdfPath);
    ~PdfPrintService() override;
    QPrinter* choosePrinter(QWidget* parent) override;

    void setCancel(bool cancel) { cancel_ = cancel; }
    int dialogsShown() const { return dialogs_; }

private:
    QString path_;
    bool cancel_ = false;
    int dialogs_ = 0;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace kelvane
