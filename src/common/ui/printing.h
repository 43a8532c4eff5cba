#pragma once

#include <QString>

#include <memory>

class QDateTime;
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
    // The printer stays valid until the next call. tool ("duplicates",
    // "statistics", ...) names the file when the job goes to one.
    virtual QPrinter* choosePrinter(QWidget* parent, const QString& tool) = 0;
    // The file the chosen printer writes, when the job goes to a file rather
    // than a printer: the user is told where it went. Empty otherwise.
    virtual QString outputFile() const = 0;
};

// With no printer installed, the dialog offers a new PDF file in the user's
// Documents folder, kelvane-<tool>-<YYYY-MM-DD-HHMMSS>.pdf.
class DialogPrintService final : public PrintService {
public:
    DialogPrintService();
    ~DialogPrintService() override;
    QPrinter* choosePrinter(QWidget* parent, const QString& tool) override;
    QString outputFile() const override;

private:
    std::unique_ptr<QPrinter> printer_;
};

// For tests: every job goes to a PDF file, or every dialog is cancelled.
class PdfPrintService final : public PrintService {
public:
    explicit PdfPrintService(QString pdfPath);
    ~PdfPrintService() override;
    QPrinter* choosePrinter(QWidget* parent, const QString& tool) override;
    // Empty unless setAnnounceFile(true): most tests stand for a printer.
    QString outputFile() const override { return announce_ ? path_ : QString(); }

    void setCancel(bool cancel) { cancel_ = cancel; }
    void setAnnounceFile(bool announce) { announce_ = announce; }
    int dialogsShown() const { return dialogs_; }
    const QString& lastTool() const { return tool_; }

private:
    QString path_;
    QString tool_;
    bool cancel_ = false;
    bool announce_ = false;
    int dialogs_ = 0;
    std::unique_ptr<QPrinter> printer_;
};

// Creates a new, empty report file in folder for the tool's report printed at
// when: kelvane-<tool>-<YYYY-MM-DD-HHMMSS>.pdf, or with "-2", "-3", ... before
// ".pdf" when that name is taken. An existing file is never reused. Empty
// when the folder cannot be written.
QString reserveReportFile(const QString& folder, const QString& tool, const QDateTime& when);

// Tells the user where a report printed to a file went (an information box).
void announceReportFile(class Messages& messages, QWidget* parent, const QString& path);

} // namespace kelvane
