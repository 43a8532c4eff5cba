#pragma once

#include "common/markedfiles.h"
#include "common/scanoptions.h"

#include <QDialog>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace kelvane {

struct Services;

// The last step of mark-then-delete: lists the marked files with the space
// they free, asks once more and deletes them one by one, or moves them to the
// Trash when "Move to Trash" is ticked (a choice remembered between runs).
// Each file is bound to what its scan saw; the ending says what went and what
// stayed and why. Created, filled, shown modally and destroyed by the tool
// window that closes.
class TfrmReallyDelete : public QDialog {
    Q_OBJECT

public:
    TfrmReallyDelete(QWidget* parent, Services& services);

    // The whole protocol of a caller: fills the window, shows it modally and
    // deletes on confirmation. files are the marked files in marking order;
    // shown, when given, holds the text of each entry (one per file);
    // savings and the bytes freed are in measure.
    static void confirmAndDelete(QWidget* parent, Services& services, std::vector<MarkedFile> files,
                                 int64_t savings, QStringList shown = {},
                                 SizeMeasure measure = SizeMeasure::Apparent);

    // Replaces the list. Without shown texts (or with a count that does not
    // fit) each entry shows its path through displayName.
    void setFiles(std::vector<MarkedFile> files, QStringList shown = {});
    // Paths nothing is known of (only links on their way are refused).
    void setPaths(const std::vector<std::string>& paths, QStringList shown = {});
    // Total size of the files in bytes.
    void setSavings(int64_t bytes) { savings_ = bytes; }
    // The measure of the savings and of the bytes the ending says were freed.
    void setMeasure(SizeMeasure measure) { measure_ = measure; }

    // Fills the heading and the savings text.
    void FormShow();
    // OK: asks "Really delete?" (or "Really move to Trash?") and deletes every
    // file it can, going on after each one that stays; then shows the ending.
    // Does not close the window.
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Services& services_;
    std::vector<MarkedFile> files_;
    int64_t savings_ = 0;
    SizeMeasure measure_ = SizeMeasure::Apparent;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblSavings = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QCheckBox* cbTrash = nullptr;
};

} // namespace kelvane
