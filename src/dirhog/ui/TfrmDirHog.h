#pragma once

#include "common/resultgrid.h"
#include "common/ui/ScanWindow.h"
#include "dirhog/dirhogscan.h"
#include "dirhog/treedeletion.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

class QAction;
class QFrame;
class QLabel;

namespace kelvane {

// Directory hogs: every directory, or the main directories with their
// subtrees, largest first; deletes the tree of a row, copies, prints, browses
// and sorts the list. Scans and tree deletions run on the runner's thread;
// the window shows their progress and takes their results when they end.
class TfrmDirHog : public ScanWindow {
    Q_OBJECT
public:
    explicit TfrmDirHog(Services& services, QWidget* parent = nullptr);

    void FormShow();
    void FormResize();
    void ClearGrid();

    void btTopClick();
    void btAllClick();
    void btDeleteClick();
    void btClipClick();
    void btPrintClick();
    void btBrowseClick();
    // btSortClick (ScanWindow) pops up the sort menu.
    void SortbySize1Click(QAction* item);

    // The result list that Print and Clipboard use, in scan order.
    const QStringList& resultLines() const { return lb; }
    QString statusText() const;

    // For tests: a smaller candidate list.
    void setListLimit(size_t limit) { candidateLimit_ = limit; }

protected:
    int leftControlsRight() const override;
    void fitToDrives() override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Job { None, Scan, Deletion };

    void createControls();
    void layoutControls();
    void scan(DirHogMode mode);
    size_t showResult(ScanOutcome ended) override;
    void showFailure() override;
    void jobFinished() override;
    void setBusy(Job job);
    void showResultButtons(bool show);
    void runnerTick();
    bool isDriveRoot(const std::string& path) const;
    void startTreeDeletion(int row, const std::string& path, const FileIdentity& scanned);
    // Moves the row's directory, whole, to the Trash.
    void trashDirectory(int row, const std::string& path, const FileIdentity& scanned);
    void treeDeletionFinished();
    // Marks the row DELETED and takes its directory's line out of the result list.
    void markDeleted(int row, const std::string& path);
    // Takes the lines of these directories out of the result list.
    void removeLines(const std::unordered_set<std::string>& paths);
    // After a tree deletion: every row inside top whose directory is gone.
    void followDisk(const std::string& top);
    // "Directories : N", N the directory lines left in the result list.
    QString directoriesText() const;

    QFrame* Panel1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label5;
    QPushButton* btTop;
    QPushButton* btAll;
    QPushButton* btDelete;
    QLabel* pnlScan;
    SizeMeasure shownMeasure_ = SizeMeasure::Apparent; // of the result shown
    QAction* SortbySize1;
    QAction* Sortbyfiles1;
    QAction* Sortbysubdirectories1;
    QAction* Sortbydate1;
    QAction* SortbyName1;

    // The result list and the directory of each of its lines (none for the
    // abort notice).
    QStringList lb;
    std::vector<std::string> lbPaths;

    Job job_ = Job::None;
    // What a scan hands over, filled on the runner's thread.
    struct FoundDirectories {
        QStringList lines;
        std::vector<std::string> paths;
        std::vector<GridRow> gridRows;
    };
    std::shared_ptr<FoundDirectories> found_;
    size_t candidateLimit_ = CandidateList::kDefaultLimit;

    std::shared_ptr<TreeDeletionResult> deletion_;
    int deletionRow_ = 0;
    std::string deletionPath_;
};

} // namespace kelvane
