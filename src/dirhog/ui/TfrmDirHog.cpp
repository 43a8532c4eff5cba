#include "dirhog/ui/TfrmDirHog.h"

#include "common/boundpath.h"
#include "common/commas.h"
#include "common/displayname.h"
#include "common/filestamp.h"
#include "common/gridsort.h"
#include "common/pathnames.h"
#include "common/resultgrid.h"
#include "common/scantexts.h"
#include "common/stamptext.h"
#include "common/trash.h"
#include "common/ui/DrivePanel.h"
#include "common/ui/ResultGridView.h"
#include "common/ui/ScanChoices.h"
#include "common/ui/ScanRunner.h"
#include "common/ui/TfrmBrowse.h"
#include "common/ui/geometry.h"
#include "common/ui/reportprinter.h"
#include "common/ui/services.h"
#include "common/ui/settings.h"
#include "dirhog/dirline.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <limits>

namespace kelvane {

namespace {

const QString kDeletedMark = QStringLiteral("DELETED");

// Design sizes at 96 dpi.
constexpr int kPanelHeight = 169;
constexpr int kStatusHeight = 20;
constexpr int kButtonTop = 136;
constexpr int kButtonHeight = 28;
constexpr int kLabelLeft = 50;
constexpr int kLabelRoom = 280; // at least, for the explanations
constexpr int kColumnWidths[] = {61, 40, 40, 49, 90};

QString notEmptyQuestion()
{
    return QStringLiteral("Directory is not empty ... do you REALLY wish to delete this\n"
                          "directory and all files and sub-directories below this directory?\n\n"
                          "NOTE: you cannot recover deleted directories!");
}

// The grid shows the first six columns of a directory line.
QByteArray gridCells(const QString& line)
{
    return line.left(line.lastIndexOf(QLatin1Char('\t'))).toUtf8();
}

} // namespace

TfrmDirHog::TfrmDirHog(Services& services, QWidget* parent)
    : ScanWindow(services, 35, 199,
                 {QStringLiteral("Size"), QStringLiteral("% used"), QStringLiteral("# Files"),
                  QStringLiteral("# Subdirs"), QStringLiteral("Latest File Date"), QStringLiteral("Name")},
                 parent)
{
    setObjectName(QStringLiteral("frmDirHog"));
    setWindowTitle(QStringLiteral("Directory Hogs"));
    createControls();
    layoutControls();
    resize(scaled(this, 638), scaled(this, 414));
    connect(runner(), &ScanRunner::tick, this, &TfrmDirHog::runnerTick);
    setStatusLine(pnlScan);
    FormShow();
}

void TfrmDirHog::createControls()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->lower();
    // The drive panel and its label sit in Panel1 at the same coordinates.
    pnlDrives->setParent(Panel1);
    Label4->setParent(Panel1);

    auto label = [this](const char* name, const QString& text, bool bold) {
        auto* l = new QLabel(text, Panel1);
        l->setObjectName(QLatin1String(name));
        if (bold) {
            QFont font = l->font();
            font.setBold(true);
            l->setFont(font);
            l->setWordWrap(true);
        }
        return l;
    };
    Label1 = label("Label1", QStringLiteral("Main -"), false);
    Label2 =
        label("Label2",
              QStringLiteral("only main directories are displayed (those directories directly under the root "
                             "directory)"),
              true);
    Label3 = label("Label3", QStringLiteral("All -"), false);
    Label5 =
        label("Label5",
              QStringLiteral("all directories including sub-directories are individually displayed"), true);

    btTop = makeButton(QStringLiteral("btTop"), QStringLiteral("&Main directories"),
                       QStringLiteral("Only topmost directories. Does not display sub-directories."));
    btAll = makeButton(QStringLiteral("btAll"), QStringLiteral("&All Directories"),
                       QStringLiteral("ALL directories including sub-directories are displayed"));
    btAbort = makeButton(QStringLiteral("btAbort"), QStringLiteral("&Abort"), QStringLiteral("Abort scan"));
    btDelete = makeButton(QStringLiteral("btDelete"), QStringLiteral("&Delete"),
                          QStringLiteral("Delete the directory"));
    makeListButtons(QStringLiteral("directories"), QStringLiteral("Browse the files and directory"),
                    QStringLiteral("Sort columns "));
    for (QPushButton* b : {btTop, btAll, btClose, btAbort, btDelete, btPrint, btClip, btBrowse, btSort})
        b->setParent(Panel1);
    btAbort->hide();
    setStartButtons({btTop, btAll});

    connect(btTop, &QPushButton::clicked, this, &TfrmDirHog::btTopClick);
    connect(btAll, &QPushButton::clicked, this, &TfrmDirHog::btAllClick);
    connect(btAbort, &QPushButton::clicked, this, &TfrmDirHog::btAbortClick);
    connect(btDelete, &QPushButton::clicked, this, &TfrmDirHog::btDeleteClick);
    connect(btPrint, &QPushButton::clicked, this, &TfrmDirHog::btPrintClick);
    connect(btClip, &QPushButton::clicked, this, &TfrmDirHog::btClipClick);
    connect(btBrowse, &QPushButton::clicked, this, &TfrmDirHog::btBrowseClick);

    pnlScan = makeStatusLine(QStringLiteral("pnlScan"), this, true);
    choices_ = new ScanChoices(settingsGroup(), true, this);

    grid->horizontalHeader()->setStretchLastSection(false);
    grid->verticalHeader()->setDefaultSectionSize(scaled(this, 18));
    // A double click anywhere on the grid, its title row included, deletes.
    grid->viewport()->installEventFilter(this);
    grid->horizontalHeader()->viewport()->installEventFilter(this);

    const auto chosen = [this](QAction* item) { SortbySize1Click(item); };
    SortbySize1 = addSortItem(QStringLiteral("SortbySize1"), QStringLiteral("Sort by &Size"), chosen);
    Sortbyfiles1 = addSortItem(QStringLiteral("Sortbyfiles1"), QStringLiteral("Sort by # &Files"), chosen);
    Sortbysubdirectories1 = addSortItem(QStringLiteral("Sortbysubdirectories1"),
                                        QStringLiteral("Sort by # Sub&directories"), chosen);
    Sortbydate1 = addSortItem(QStringLiteral("Sortbydate1"), QStringLiteral("Sort by D&ate"), chosen);
    SortbyName1 = addSortItem(QStringLiteral("SortbyName1"), QStringLiteral("Sort by &Name"), chosen);
}

void TfrmDirHog::layoutControls()
{
    auto s = [this](int pixels) { return scaled(this, pixels); };
    pnlDrives->move(pnlDrives->x(), s(4));
    Label4->move(Label4->x(), s(8));
    Label1->move(s(8), s(10));
    Label2->move(s(kLabelLeft), s(10));
    Label3->move(s(8), s(72));
    Label5->move(s(kLabelLeft), s(72));
    const QList<QPair<QPushButton*, QPair<int, int>>> buttons = {
        {btTop, {3, 111}},    {btAll, {117, 103}}, {btClose, {223, 62}},  {btAbort, {288, 62}},
        {btPrint, {353, 62}}, {btClip, {418, 72}}, {btBrowse, {493, 62}}, {btSort, {558, 58}},
    };
    for (const auto& [button, place] : buttons)
        button->setGeometry(s(place.first), s(kButtonTop), s(place.second), s(kButtonHeight));
    btDelete->setGeometry(btAbort->geometry());
    setGridTop(s(kPanelHeight));
}

void TfrmDirHog::FormShow()
{
    ClearGrid();
    lb.clear();
    lbPaths.clear();
    showResultButtons(false);
    setupDrives();
    btTop->setFocus();
    btDelete->move(btAbort->pos());
    fitToDrives();
}

void TfrmDirHog::fitToDrives()
{
    const int minHeight = 2 * (Panel1->y() + scaled(this, kPanelHeight));
    fitWidthToDrives(btSort->x() + btSort->width() + scaled(this, 3), minHeight);
    FormResize();
}

int TfrmDirHog::leftControlsRight() const
{
    // The explanations keep their room beside the drive panel's label.
    return scaled(this, kLabelLeft + kLabelRoom);
}

void TfrmDirHog::FormResize()
{
    // Design widths, widened where the font needs more for its texts: any
    // 64-bit size, a share, counts and a date.
    const QString samples[] = {sizeColumn(std::numeric_limits<int64_t>::max()), QStringLiteral("99.99"),
                               QStringLiteral("99999"), QStringLiteral("99999"),
                               fileDateText(packStampFields(2028, 12, 28, 0, 0, 0))};
    const int margin = 2 * grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 4;
    int used = 0;
    for (int i = 0; i < 5; ++i) {
        grid->setColumnWidth(i, grid->fittedWidth(scaled(this, kColumnWidths[i]), samples[i], margin,
                                                  gridModel_->Cells(i, 0)));
        used += grid->columnWidth(i);
    }
    grid->setColumnWidth(5, std::max(0, width() - used - 25));

    Panel1->setGeometry(0, 0, width(), scaled(this, kPanelHeight));
    placeDrivePanel();
    // The long labels wrap in the room left of the drive panel's label.
    const int textWidth = std::max(scaled(this, 120), Label4->x() - scaled(this, 8 + kLabelLeft));
    for (QLabel* l : {Label1, Label3})
        l->adjustSize();
    for (QLabel* l : {Label2, Label5})
        l->resize(textWidth, l->heightForWidth(textWidth));
    const int secondTop = Label2->y() + Label2->height() + scaled(this, 10);
    Label3->move(Label3->x(), secondTop);
    Label5->move(Label5->x(), secondTop);

    placeGridAndStatus(scaled(this, kPanelHeight), pnlScan, scaled(this, kStatusHeight));
}

void TfrmDirHog::resizeEvent(QResizeEvent* event)
{
    ScanWindow::resizeEvent(event);
    FormResize();
}

void TfrmDirHog::ClearGrid()
{
    gridModel_->clearRows();
    checkSortItem(SortbySize1);
    grid->setFocus();
}

void TfrmDirHog::showResultButtons(bool show)
{
    for (QPushButton* b : {btDelete, btPrint, btClip, btBrowse, btSort})
        b->setVisible(show);
}

QString TfrmDirHog::statusText() const
{
    return pnlScan->text();
}

// Scanning

void TfrmDirHog::btTopClick()
{
    ClearGrid();
    scan(DirHogMode::MainDirectories);
}

void TfrmDirHog::btAllClick()
{
    ClearGrid();
    scan(DirHogMode::AllDirectories);
}

void TfrmDirHog::setBusy(Job job)
{
    job_ = job;
    const bool busy = job != Job::None;
    btAbort->setVisible(job == Job::Scan);
    btTop->setEnabled(!busy);
    btAll->setEnabled(!busy);
    btClose->setEnabled(!busy);
    pnlDrives->setEnabled(!busy);
    choices_->setEnabled(!busy);
    if (busy) {
        showResultButtons(false);
    } else {
        cb1Click();
    }
    // A tree being deleted cannot be deleted again meanwhile.
    grid->setEnabled(job != Job::Deletion);
}

void TfrmDirHog::scan(DirHogMode mode)
{
    if (busy()) // a scan, a deletion, or a sort reading the rows
        return;
    lb.clear();
    lbPaths.clear();
    const ScanOptions choices = choices_->options();
    auto scan = std::make_shared<DirHogScan>(mode, candidateLimit_, choices);
    shownMeasure_ = choices.measure;
    gridModel_->setCells(0, 0, sizeHeading(shownMeasure_, QStringLiteral("Size")));
    found_ = std::make_shared<FoundDirectories>();
    setBusy(Job::Scan);
    pnlScan->clear();

    startScan([scan, outcome = found_, drives = pnlDrives->selectedDrives(),
               cannotOpen = reportCannotOpen()](const ScanControl& control) {
        const ScanEnd end = scan->scanDrives(drives, control, cannotOpen);
        // Sorted and turned into rows here, so that a big list does not hold
        // up the window when it arrives.
        std::vector<DirHogRow> rows = scan->handOver();
        outcome->gridRows.reserve(rows.size());
        outcome->lines.reserve(qsizetype(rows.size()));
        outcome->paths.reserve(rows.size());
        for (DirHogRow& row : rows) {
            outcome->gridRows.push_back(GridRow{gridCells(row.line), row.path, row.identity});
            outcome->lines.append(std::move(row.line));
            outcome->paths.push_back(std::move(row.path));
        }
        return end;
    });
}

void TfrmDirHog::runnerTick()
{
    if (job_ == Job::None)
        return;
    const std::string dir = runner()->progress().currentDirectory();
    if (dir.empty())
        return;
    pnlScan->setText(job_ == Job::Deletion ? QStringLiteral("Deleting ") + displayName(dir)
                                           : displayName(dir));
}

void TfrmDirHog::jobFinished()
{
    if (job_ == Job::Deletion)
        treeDeletionFinished();
}

void TfrmDirHog::showFailure()
{
    found_.reset();
    gridModel_->setRowCount(1); // the title row alone
    pnlScan->clear();
    setBusy(Job::None);
}

size_t TfrmDirHog::showResult(ScanOutcome)
{
    const std::shared_ptr<FoundDirectories> outcome = std::move(found_);
    const qsizetype count = outcome->lines.size();
    if (abortedByUser()) {
        lb.append(abortNoticeText());
        lbPaths.emplace_back();
    }
    lb.append(std::move(outcome->lines));
    lbPaths.insert(lbPaths.end(), std::make_move_iterator(outcome->paths.begin()),
                   std::make_move_iterator(outcome->paths.end()));
    if (outcome->gridRows.empty())
        gridModel_->setRowCount(1); // the title row alone
    else
        gridModel_->setRows(std::move(outcome->gridRows));
    pnlScan->setText(directoriesText());
    setBusy(Job::None);
    if (count > 0) {
        showResultButtons(true);
        grid->setRow(1);
    }
    return size_t(count);
}

// Deleting

bool TfrmDirHog::isDriveRoot(const std::string& path) const
{
    const std::string p = withoutTrailingSlashes(path);
    for (const Drive& drive : services_.drives->drives()) {
        if (drive.root == p)
            return true;
    }
    return deletionRefusal(p) == DeletionRefusal::DriveRoot;
}

void TfrmDirHog::btDeleteClick()
{
    if (busy())
        return; // nothing is deleted while a scan, another deletion or a sort runs
    const int row = grid->Row();
    if (row < 1)
        return;
    if (gridModel_->Cells(0, row) == kDeletedMark) {
        services_.messages->plain(this, QStringLiteral("Directory already deleted"));
        return;
    }
    const std::string path = gridModel_->rowPath(row);
    if (path.empty())
        return; // the empty row of a cleared grid
    const FileIdentity scanned = gridModel_->rowIdentity(row);
    const QString shown = gridModel_->Cells(5, row);
    if (isDriveRoot(path)) {
        services_.messages->information(this, QStringLiteral("Can't delete ") + shown +
                                                  QStringLiteral(": it is the root directory of a drive"));
        return;
    }
    // The disk first: a directory that went with its parent, or one that is
    // not the scanned one any more, is not asked about.
    switch (bindPath(path, scanned).binding) {
    case Binding::Gone:
        markDeleted(row, path);
        pnlScan->setText(directoriesText());
        services_.messages->plain(this, QStringLiteral("Directory already deleted"));
        return;
    case Binding::Changed:
        services_.messages->warning(this, changedSinceScanText(path));
        return;
    default:
        break;
    }
    bool toTrash = moveToTrashChosen();
    if (services_.messages->askWithChoice(
            this, QStringLiteral("Really delete the directory ") + shown + QStringLiteral(" ?"),
            QStringLiteral("Move to Trash instead of deleting"), &toTrash) != Messages::Answer::Yes)
        return;
    setMoveToTrashChosen(toTrash);
    if (toTrash) {
        trashDirectory(row, path, scanned);
        return;
    }
    switch (removeEmptyDirectory(path, scanned)) {
    case EmptyRemoval::Removed:
        markDeleted(row, path);
        pnlScan->setText(directoriesText());
        return;
    case EmptyRemoval::Gone:
        markDeleted(row, path);
        pnlScan->setText(directoriesText());
        services_.messages->plain(this, QStringLiteral("Directory already deleted"));
        return;
    case EmptyRemoval::Changed:
        services_.messages->warning(this, changedSinceScanText(path));
        return;
    case EmptyRemoval::NotRemoved:
        break;
    }
    if (services_.messages->ask(this, notEmptyQuestion(), true) != Messages::Answer::Yes)
        return;
    startTreeDeletion(row, path, scanned);
}

void TfrmDirHog::trashDirectory(int row, const std::string& path, const FileIdentity& scanned)
{
    const TrashOutcome out = moveToTrash(path, scanned, false);
    if (out.trashed || out.reason == StayReason::AlreadyGone) {
        markDeleted(row, path);
        followDisk(path);
    }
    pnlScan->setText(directoriesText());
    if (out.trashed)
        services_.messages->plain(this,
                                  QStringLiteral("Moved to Trash: ") + displayName(path) +
                                      QStringLiteral("\nIts space is freed only when the Trash is emptied."));
    else if (out.reason == StayReason::AlreadyGone)
        services_.messages->plain(this, QStringLiteral("Directory already deleted"));
    else if (out.reason == StayReason::ChangedSinceScan)
        services_.messages->warning(this, changedSinceScanText(path));
    else
        services_.messages->warning(this, QStringLiteral("Not moved to Trash: ") +
                                              stayLine(path, out.reason, out.error));
}

void TfrmDirHog::startTreeDeletion(int row, const std::string& path, const FileIdentity& scanned)
{
    deletionRow_ = row;
    deletionPath_ = path;
    deletion_ = std::make_shared<TreeDeletionResult>();
    setBusy(Job::Deletion);
    ScanRunner* run = runner();
    run->start([this, run, path, scanned, result = deletion_, measure = shownMeasure_] {
        TreeDeletion deletion(
            [this, run](const QString& question) {
                if (run->abortRequested())
                    return TreeAnswer::Cancel; // the window is going away
                Messages::Answer answer = Messages::Answer::Cancel;
                run->postAndWait([&] { answer = services_.messages->askAll(this, question); });
                switch (answer) {
                case Messages::Answer::Yes:
                    return TreeAnswer::Yes;
                case Messages::Answer::YesToAll:
                    return TreeAnswer::YesToAll;
                case Messages::Answer::No:
                    return TreeAnswer::No;
                case Messages::Answer::NoToAll:
                    return TreeAnswer::NoToAll;
                default:
                    return TreeAnswer::Cancel;
                }
            },
            &run->progress(), measure);
        *result = deletion.run(path, scanned);
    });
}

void TfrmDirHog::treeDeletionFinished()
{
    const TreeDeletionResult result = *deletion_;
    deletion_.reset();
    setBusy(Job::None);
    showResultButtons(true);
    if (result.refusal == DeletionRefusal::Changed) {
        pnlScan->setText(directoriesText());
        services_.messages->warning(this, changedSinceScanText(deletionPath_));
        return;
    }
    // The row is marked only when the directory is really gone; rows inside
    // it follow the disk.
    if (result.gone)
        markDeleted(deletionRow_, deletionPath_);
    followDisk(deletionPath_);
    const QString shown = displayName(deletionPath_);
    QString status = directoriesText();
    if (!result.gone) {
        const QString why = result.report.reasonSummary();
        status += QStringLiteral(" - ") + shown + QStringLiteral(" is still there") +
                  (why.isEmpty() ? QString() : QStringLiteral(": ") + why);
    }
    pnlScan->setText(status);
    const QString note =
        result.completed() ? QString()
                           : QStringLiteral(" (Note: Deletion operation canceled ... not all files deleted)");
    QString text = result.report.deletedLine() + note;
    if (!result.gone)
        text += QStringLiteral("\n\n") + shown + QStringLiteral(" is still there.");
    if (result.report.stayedCount() > 0)
        text += QStringLiteral("\n\n") + result.report.stayedText();
    services_.messages->plain(this, text);
}

void TfrmDirHog::markDeleted(int row, const std::string& path)
{
    gridModel_->setCells(0, row, kDeletedMark);
    removeLines({path});
}

void TfrmDirHog::removeLines(const std::unordered_set<std::string>& paths)
{
    if (paths.empty())
        return;
    QStringList lines;
    std::vector<std::string> kept;
    lines.reserve(lb.size());
    kept.reserve(lbPaths.size());
    for (size_t i = 0; i < lbPaths.size(); ++i) {
        if (lbPaths[i].empty() || !paths.count(lbPaths[i])) {
            lines.append(std::move(lb[qsizetype(i)]));
            kept.push_back(std::move(lbPaths[i]));
        }
    }
    lb = std::move(lines);
    lbPaths = std::move(kept);
}

void TfrmDirHog::followDisk(const std::string& top)
{
    std::string prefix = top;
    if (prefix.back() != '/')
        prefix.push_back('/');
    std::unordered_set<std::string> gone;
    for (int row = 1; row < gridModel_->RowCount(); ++row) {
        const std::string& path = gridModel_->rowPath(row);
        if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0 ||
            gridModel_->Cells(0, row) == kDeletedMark)
            continue;
        if (bindPath(path, gridModel_->rowIdentity(row)).binding == Binding::Gone) {
            gridModel_->setCells(0, row, kDeletedMark);
            gone.insert(path);
        }
    }
    removeLines(gone);
}

QString TfrmDirHog::directoriesText() const
{
    qsizetype count = 0;
    for (const std::string& path : lbPaths)
        count += path.empty() ? 0 : 1;
    return QStringLiteral("Directories : ") + QString::number(count);
}

bool TfrmDirHog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == grid->viewport() || watched == grid->horizontalHeader()->viewport())) {
        btDeleteClick();
        return true;
    }
    return ScanWindow::eventFilter(watched, event);
}

// Result actions

void TfrmDirHog::btClipClick()
{
    QString text;
    for (const QString& line : lb)
        text += line + QStringLiteral("\r\n");
    services_.clipboard->setText(text);
}

void TfrmDirHog::btPrintClick()
{
    printReportWithDialog(services_, lb,
                          measuredTitle(shownMeasure_, QStringLiteral("Directory hogs sorted by size")),
                          QStringLiteral("dirhogs"), this);
}

void TfrmDirHog::btBrowseClick()
{
    browseCurrentRow(BrowseAt::Directory, QStringLiteral("*.*"));
}

void TfrmDirHog::SortbySize1Click(QAction* item)
{
    const auto column = [](int column) { return [column](const char* row) { return cellOf(row, column); }; };
    if (item == SortbySize1)
        sortInBackground(item, SortKind::Text, true,
                         [](const char* row) { return sizeSortText(cellOf(row, 0)); });
    else if (item == Sortbyfiles1)
        sortInBackground(item, SortKind::Number, true, column(2));
    else if (item == Sortbysubdirectories1)
        sortInBackground(item, SortKind::Number, true, column(3));
    else if (item == Sortbydate1)
        sortInBackground(item, SortKind::Date, true, column(4));
    else if (item == SortbyName1)
        sortInBackground(item, SortKind::Text, false, column(5));
}

} // namespace kelvane
