#pragma once

#include "common/diskspace.h"
#include "common/drive.h"
#include "common/ui/ScanDialog.h"
#include "common/ui/busypointer.h"
#include "common/walkdir.h"
#include "stats/statistics.h"

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
class TypesPage;
struct Services;

// The statistics window: alive for the whole run, shown without being modal.
// "&Collect statistics" walks the chosen drive off the window's thread and
// fills the File Types, File Sizes and File Ages pages; the Disk Space page
// reads the drive whenever it comes into view. Cancel (or ESC, or the close
// box) aborts a running collection and otherwise hides the window; what was
// collected stays until the next collection.
class TfrmStatistics : public ScanDialog {
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

    bool collecting() const { return scanning(); }
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
    // The outcome of a collection (see ScanDialog).
    size_t showResult(ScanOutcome ended) override;
    void showFailure() override;
    // Leaves the collecting state: the busy pointer goes, Collect and the
    // scan choices work again.
    void endCollecting();
    void PageControl1Change();
    void cbDriveClick();

    DiskSpaceQuery diskSpace_;
    std::vector<Drive> drives_;
    std::shared_ptr<Collection> collection_;
    std::optional<BusyPointer> busyPointer_; // while collecting
    Statistics statistics_;

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
