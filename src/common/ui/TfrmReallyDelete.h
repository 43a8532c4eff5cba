#pragma once

#include <QDialog>
#include <QStringList>

#include <cstdint>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace kelvane {

struct Services;

// The last step of mark-then-delete: lists the marked files with the space
// they free, asks once more and deletes them one by one. Created, filled,
// shown modally and destroyed by the tool window that closes.
class TfrmReallyDelete : public QDialog {
    Q_OBJECT

public:
    TfrmReallyDelete(QWidget* parent, Services& services);

    // The whole protocol of a caller: fills the window, shows it modally and
    // deletes on confirmation. paths are the real paths in marking order;
    // shown, when given, holds the text of each entry (one per path).
    static void confirmAndDelete(QWidget* parent, Services& services, std::vector<std::string> paths,
                                 int64_t savings, QStringList shown = {});

    // Replaces the list. Without shown texts (or with a count that does not
    // fit) each entry shows its path through displayName.
    void setFiles(std::vector<std::string> paths, QStringList shown = {});
    // Total size of the files in bytes.
    void setSavings(int64_t bytes) { savings_ = bytes; }

    // Fills the heading and the savings text.
    void FormShow();
    // OK: asks "Really delete?" and deletes every file it can; each failure is
    // reported and the next file is tried. Does not close the window.
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Services& services_;
    std::vector<std::string> paths_;
    int64_t savings_ = 0;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblSavings = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
};

} // namespace kelvane
