#pragma once

#include "common/diskspace.h"
#include "common/drive.h"
#include "common/walkdir.h"
#include "stats/statistics.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace kelvane {

class ScanChoices;

class BandPage;
class DiskSpacePage;
class ScanRunner;
class TypesPage;
struct Services;

// The statistics window: alive for the whole run, shown without being modal.
// "&Collect statistics" walks the chosen drive off the window's thread and
// fills the File Types, File Sizes and File Ages pages; the Disk Space page
// reads the drive whenever it comes into view. Cancel (or ESC, or the close
// box) aborts a running collection and otherwise hides the window; what was
// collected stays until the next collection.
class TfrmStatistics : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStatistics(Services& services, QWidget* parent = nullptr);
    ~TfrmStatistics() override;
    ScanChoices* scanChoices() const { return choices_; }

    QTabWidget* pages() const { return PageControl1; }
    TypesPage* typesPage() const { return TabSheet1; }
    BandPage* sizesPage() const { return TabSheet2; }
    BandPage* agesPage() const { return TabSheet4; }
    DiskSpacePage* diskSpacePage() const { return TabSheet3; }

    // The page indexes, in tab order.
    enum Page { FileTypes, FileSizes, FileAges, DiskSpacePageIndex };

    bool collecting() const;
    QString statusText() const;
    // The totals of the last collection (partial after an abort).
    const Statistics& statistics() const { return statistics_; }

    void btOKClick();
    void btCancelClick();
    void btPrintClick();
    void doDiskSize();

    // Seams for tests: how the drive's space is read (nothing when the drive
    // does not answer or is no longer mounted), and a call before each
    // directory of a collection's walk (on the walk's threads).
    using DiskSpaceQuery = std::function<std::optional<DiskSpace>(const Drive& drive)>;
    void setDiskSpaceQuery(DiskSpaceQuery query) { diskSpace_ = std::move(query); }
    void setBeforeDirectory(std::function<void(const WalkDir&)> hook) { beforeDirectory_ = std::move(hook); }

    // ESC: Cancel.
    void reject() override;

Q_SIGNALS:
    // A collection has ended and its pages, status and caption are written.
    void collectionFinished();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Collection;

    void FormShow();
    void fillDrives();
    const Drive* chosenDrive() const;
    void scan(const Drive& drive);
    void clearVariables();
    void showProgress();
    void collectionEnded();
    void PageControl1Change();
    void cbDriveClick();

    Services& services_;
    DiskSpaceQuery diskSpace_;
    std::function<void(const WalkDir&)> beforeDirectory_;
    std::vector<Drive> drives_;
    ScanRunner* runner_;
    std::shared_ptr<Collection> collection_;
    Statistics statistics_;
    bool aborted_ = false;
    bool centred_ = false;

    QTabWidget* PageControl1;
    TypesPage* TabSheet1;
    BandPage* TabSheet2;
    BandPage* TabSheet4;
    DiskSpacePage* TabSheet3;
    QLabel* lblCluster;
    QLabel* lblDrive;
    QComboBox* cbDrive;
    QPushButton* btOK;
    QPushButton* btPrint;
    QPushButton* btCancel;
    QStatusBar* StatusBar1;
    QLabel* lblStatus;
    ScanChoices* choices_;
};

} // namespace kelvane
