#include "duplic/ui/TfrmDup.h"

#include "common/commas.h"
#include "common/displayname.h"
#include "common/fileops.h"
#include "common/filestamp.h"
#include "common/gridsort.h"
#include "common/scantexts.h"
#include "common/stamptext.h"
#include "common/ui/DrivePanel.h"
#include "common/ui/ResultGridView.h"
#include "common/ui/ScanChoices.h"
#include "common/ui/ScanRunner.h"
#include "common/ui/TfrmBrowse.h"
#include "common/ui/TfrmReallyDelete.h"
#include "common/ui/geometry.h"
#include "common/ui/namedwidget.h"
#include "common/ui/reportprinter.h"
#include "common/ui/services.h"
#include "common/ui/settings.h"
#include "duplic/duplicatescan.h"
#include "duplic/findduplicates.h"
#include "duplic/namecontentgroups.h"
#include "duplic/resultlines.h"
#include "duplic/ui/binicons.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

#include <algorithm>
#include <limits>

namespace kelvane {

namespace {

// Design sizes at 96 dpi.
constexpr int kWidth = 640;
constexpr int kHeight = 406;
constexpr int kTopPanelHeight = 172;
constexpr int kMinWidth = 635;  // top panel left + width + 3
constexpr int kMinHeight = 344; // (top panel top + height) * 2
constexpr int kButtonTop = 140;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 27;
constexpr int kStatusHeight = 20;

QStringList titlesOfMode(bool duplicates, SizeMeasure measure = SizeMeasure::Apparent)
{
    const QString size = sizeHeading(measure, QStringLiteral("Size in K"));
    if (duplicates)
        return {QStringLiteral("Filename"), size, QStringLiteral("Date"), QStringLiteral("Time"),
                QStringLiteral("Directory")};
    return {size, QStringLiteral("Date"), QStringLiteral("Time"), QStringLiteral("FileName")};
}

} // namespace

struct TfrmDup::Outcome {
    GridRowStore rows;            // made off the window's thread
    std::vector<uint32_t> groups; // duplicate group of each row
    bool content = false;
    ContentProgress compare; // of the content step
    uint64_t leftOut = 0;    // files the content step could not compare
};

TfrmDup::TfrmDup(Services& services, QWidget* parent)
    : MarkingWindow(services, 41, 205, titlesOfMode(findDuplicates), parent), duplicates_(findDuplicates),
      capacity_(kCandidateCapacity)
{
    setObjectName(QStringLiteral("frmDup"));
    buildControls();
    resize(scaled(this, kWidth), scaled(this, kHeight));
    connect(runner(), &ScanRunner::tick, this, &TfrmDup::showProgress);
    setStatusLine(pnlSel);
    setListFullWarning(candidateListFullText());
    FormShow();
}

TfrmDup::~TfrmDup() = default;

void TfrmDup::buildFilterFields()
{
    const int s = designScale(this);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->move(8 * s, 10 * s);

    SpinEdit1 = named(new QSpinBox(this), "SpinEdit1", QRect(8, 30, 80, 24), s);
    SpinEdit1->setRange(0, 50000);
    SpinEdit1->setSingleStep(50);
    SpinEdit1->setValue(250);
    SpinEdit1->setToolTip(QStringLiteral("File size in KiloBytes"));
    // Arrows only: the value cannot be typed.
    SpinEdit1->findChild<QLineEdit*>()->setReadOnly(true);
    Label1->setBuddy(SpinEdit1);
    lblKB = named(new QLabel(QStringLiteral("KB"), this), "lblKB", QRect(94, 30, 160, 24), s);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, &TfrmDup::KiloToMega);
    connect(SpinEdit1, &QSpinBox::editingFinished, this, &TfrmDup::KiloToMega);

    Label3 = new QLabel(QStringLiteral("Matc&hing these files:"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->move(8 * s, 64 * s);
    cbWildCard = named(new QComboBox(this), "cbWildCard", QRect(8, 84, 120, 24), s);
    cbWildCard->setEditable(true);
    cbWildCard->setInsertPolicy(QComboBox::NoInsert);
    cbWildCard->addItems({"*.*", "*.bak", "*.com", "*.dll", "*.doc", "*.exe", "*.gif", "*.htm", "*.jpg",
                          "*.lzh", "*.ovl", "*.tmp", "*.txt", "*.wri", "*.zip"});
    cbWildCard->setEditText(QStringLiteral("*.*"));
    cbWildCard->setToolTip(QStringLiteral("Wildcard pattern for matching file types"));
    Label3->setBuddy(cbWildCard);
    lblWild = named(new QLabel(this), "lblWild", QRect(136, 84, 120, 24), s);
    connect(cbWildCard, &QComboBox::editTextChanged, this, &TfrmDup::cbWildCardChange);
    cbWildCardChange();
}

void TfrmDup::buildControls()
{
    buildFilterFields();
    const int s = designScale(this);
    pnlDrives->move(pnlDrives->x(), 8 * s);
    Label4->move(Label4->x(), 10 * s);

    btScan = makeButton(QStringLiteral("btScan"), QStringLiteral("&Scan"), {});
    btExact = makeButton(QStringLiteral("btExact"), QStringLiteral("&Exact"),
                         QStringLiteral("Search for duplicates based on file name AND size"));
    btContent = makeButton(QStringLiteral("btContent"), QStringLiteral("Co&ntent"),
                           QStringLiteral("Search for duplicates based on file name AND content"));
    btAbort = makeButton(QStringLiteral("btAbort"), QStringLiteral("&Abort"), QStringLiteral("Abort scan"));
    makeMarkButton(QStringLiteral("Mark file for deletion (double click on grid also works)"), emptyBinIcon(),
                   fullBinIcon());
    makeListButtons(QStringLiteral("files"), QStringLiteral("Browse this file and directory"),
                    QStringLiteral("Sort columns"));
    for (QPushButton* b :
         {btScan, btExact, btContent, btClose, btAbort, btDelete, btPrint, btClip, btBrowse, btSort})
        b->resize(kButtonWidth * s, kButtonHeight * s);
    setStartButtons({btScan, btExact, btContent});

    connect(btScan, &QPushButton::clicked, this, &TfrmDup::btScanClick);
    connect(btExact, &QPushButton::clicked, this, &TfrmDup::btExactClick);
    connect(btContent, &QPushButton::clicked, this, &TfrmDup::btContentClick);
    connect(btAbort, &QPushButton::clicked, this, &TfrmDup::btAbortClick);
    connect(btPrint, &QPushButton::clicked, this, &TfrmDup::btPrintClick);
    connect(btClip, &QPushButton::clicked, this, &TfrmDup::btClipClick);
    connect(btBrowse, &QPushButton::clicked, this, &TfrmDup::BrowseDirectory1Click);

    // The last column gets its own width (room is left for the scroll bar).
    grid->horizontalHeader()->setStretchLastSection(false);
    connect(grid, &ResultGridView::deletePressed, this, &TfrmDup::DeleteAllFiles);
    setGridTop(kTopPanelHeight * s);

    choices_ = new ScanChoices(settingsGroup(), true, this);
    pnlSel = makeStatusLine(QStringLiteral("pnlSel"), this, true);

    const auto chosen = [this](QAction* item) { Sortbysize1Click(item); };
    Sortbysize1 = addSortItem(QStringLiteral("Sortbysize1"), QStringLiteral("Sort by &Size"), chosen);
    SortbyDate1 = addSortItem(QStringLiteral("SortbyDate1"), QStringLiteral("Sort by &Date"), chosen);
    SortbyName1 = addSortItem(QStringLiteral("SortbyName1"), QStringLiteral("Sort by &Name"), chosen);
    checkSortItem(Sortbysize1);
}

void TfrmDup::FormShow()
{
    ClearGrid();
    for (QPushButton* b : {btPrint, btClip, btBrowse, btSort})
        b->hide();
    btAbort->hide();
    pnlSel->clear();

    btDelete->hide();
    btScan->setEnabled(true);
    btClose->setEnabled(true);
    setupDrives();
    SpinEdit1->setValue(
        rememberedValue(settingsGroup() + QStringLiteral("/limitKB"), SpinEdit1->value()).toInt());
    cbWildCard->setEditText(
        rememberedValue(settingsGroup() + QStringLiteral("/pattern"), cbWildCard->currentText()).toString());

    if (duplicates_) {
        setWindowTitle(QStringLiteral("Find and delete duplicate files"));
        Label1->setText(QStringLiteral("&Look for duplicates larger than:"));
        btScan->setToolTip(QStringLiteral("Duplicates on file name only"));
        btExact->show();
        btContent->show();
    } else {
        setWindowTitle(QStringLiteral("Find and delete file hogs"));
        Label1->setText(QStringLiteral("&Look for file hogs larger than:"));
        btScan->setToolTip(QStringLiteral("Start scanning for file hogs"));
        btExact->hide();
        btContent->hide();
    }
    Label1->adjustSize();
    layoutButtons();
    btScan->setFocus();
    fitToDrives();
}

void TfrmDup::fitToDrives()
{
    const int s = designScale(this);
    fitWidthToDrives(kMinWidth * s, kMinHeight * s);
    FormResize();
}

int TfrmDup::leftControlsRight() const
{
    const QFontMetrics metrics(lblKB->font());
    return std::max({Label1->x() + Label1->sizeHint().width(),
                     lblKB->x() + metrics.horizontalAdvance(QStringLiteral("KB (999999 bytes)")),
                     lblWild->x() + metrics.horizontalAdvance(QStringLiteral("All files"))});
}

// Left to right, 3 pixels apart; Abort and Mark share a place. In file-hogs
// mode Close takes the hidden Exact and Content buttons' place.
void TfrmDup::layoutButtons()
{
    const int s = designScale(this);
    const int top = kButtonTop * s;
    int left = 3 * s;
    auto place = [&](QPushButton* b) {
        b->move(left, top);
        left += b->width() + 3 * s;
    };
    place(btScan);
    if (duplicates_) {
        place(btExact);
        place(btContent);
        place(btClose);
    } else {
        btExact->move(left, top);
        btContent->move(left, top);
        place(btClose);
    }
    btAbort->move(left, top);
    place(btDelete);
    for (QPushButton* b : {btPrint, btClip, btBrowse, btSort})
        place(b);
}

void TfrmDup::FormResize()
{
    const int s = designScale(this);
    // Size, date and time columns widen where their texts need more room
    // than the design widths give in this font; the last column takes the
    // rest but for 25 pixels.
    const int padding = 12 * s;
    const int date = grid->fittedWidth(64 * s, fileDateText(packStampFields(2026, 12, 28, 0, 0, 0)), padding);
    const int time =
        grid->fittedWidth(64 * s, fileTimeText(packStampFields(2026, 12, 28, 12, 58, 58)), padding);
    // The size column holds any 64-bit size whole.
    const int size = grid->fittedWidth(duplicates_ ? 54 * s : 62 * s,
                                       sizeText(std::numeric_limits<int64_t>::max()), padding);
    QList<int> widths = duplicates_ ? QList<int>{106 * s, size, date, time} : QList<int>{size, date, time};
    const int w = width();
    int used = 25 * s;
    for (const int column : widths)
        used += column;
    widths.append(w - used);
    grid->setColWidths(widths);
    placeDrivePanel();
    placeGridAndStatus(kTopPanelHeight * s, pnlSel, kStatusHeight * s);
}

void TfrmDup::resizeEvent(QResizeEvent* event)
{
    ScanWindow::resizeEvent(event);
    FormResize();
}

void TfrmDup::ClearGrid()
{
    gridModel_->setTitles(titlesOfMode(duplicates_, shownMeasure_));
    gridModel_->clearRows();
    resultCount = 0;
    grid->setFocus();
    // A new result forgets every mark of the old one, and the line counting them.
    clearMarks();
    rowGroup_.clear();
    groupSizes_.clear();
    groupFirstRow_.clear();
    pnlSel->clear();
    checkSortItem(Sortbysize1);
}

void TfrmDup::KiloToMega()
{
    const int v = SpinEdit1->value();
    if (v < 1000) {
        lblKB->setText(QStringLiteral("KB (%1 bytes)").arg(qint64(v) * 1024));
        return;
    }
    const int m = v / 100;
    lblKB->setText(QStringLiteral("KB (") + QString::asprintf("%4.1f", m * 0.1) + QStringLiteral(" Meg)"));
}

void TfrmDup::cbWildCardChange()
{
    lblWild->setText(cbWildCard->currentText() == QStringLiteral("*.*") ? QStringLiteral("All files")
                                                                        : QString());
}

void TfrmDup::btScanClick()
{
    if (busy())
        return;
    ClearGrid();
    scan(false);
}

void TfrmDup::btExactClick()
{
    if (busy() || !duplicates_)
        return;
    ClearGrid();
    scan(true);
}

void TfrmDup::btContentClick()
{
    if (busy() || !duplicates_)
        return;
    ClearGrid();
    scan(false, true);
}

void TfrmDup::scan(bool exact, bool content)
{
    DupScanSettings settings;
    settings.mode = duplicates_ ? DupMode::Duplicates : DupMode::Hogs;
    settings.exact = exact;
    settings.limitKB = SpinEdit1->value();
    settings.pattern = cbWildCard->currentText();
    settings.searchPath = services_.searchPath;
    settings.capacity = capacity_;
    settings.scan = choices_->options();
    shownMeasure_ = settings.scan.measure;
    setMarkMeasure(shownMeasure_);
    gridModel_->setTitles(titlesOfMode(duplicates_, shownMeasure_));
    setScanning(true);

    auto outcome = std::make_shared<Outcome>();
    outcome->content = content;
    outcome_ = outcome;
    startScan([outcome, settings, drives = pnlDrives->selectedDrives(), cannotOpen = reportCannotOpen(),
               contentHook = contentHook_](const ScanControl& control) {
        DuplicateScan duplicateScan(settings);
        const ScanEnd end = duplicateScan.scanDrives(drives, control, cannotOpen);
        if (outcome->content) {
            ContentOptions compare;
            compare.stop = control.stop;
            compare.progress = &outcome->compare;
            compare.beforeRead = contentHook;
            NameContentResult split = splitByContent(duplicateScan.handOver(), compare);
            for (GridRow& row : split.rows) {
                outcome->rows.append(std::string_view(row.cells.constData(), size_t(row.cells.size())),
                                     row.path, row.identity);
                row = GridRow();
            }
            outcome->groups = std::move(split.groups);
            outcome->leftOut = split.leftOut;
            return end;
        }
        duplicateScan.forEachResultLine([&](const ResultLine& line) {
            outcome->rows.append(line.line, line.path, line.identity);
            if (settings.mode == DupMode::Duplicates)
                outcome->groups.push_back(line.group);
        });
        return end;
    });
}

// Only Abort is available while a scan runs.
void TfrmDup::setScanning(bool on)
{
    btAbort->setVisible(on);
    btDelete->setVisible(!on && resultCount > 0);
    for (QWidget* w : std::initializer_list<QWidget*>{btScan, btExact, btContent, btClose, pnlDrives,
                                                      SpinEdit1, cbWildCard, choices_})
        w->setEnabled(!on);
    if (on) {
        for (QPushButton* b : {btPrint, btClip, btBrowse, btSort})
            b->hide();
        grid->viewport()->setCursor(Qt::WaitCursor);
        btAbort->setFocus();
    } else {
        grid->viewport()->unsetCursor();
        cb1Click();
    }
}

void TfrmDup::showProgress()
{
    if (!scanning())
        return;
    const int step = outcome_ ? outcome_->compare.step.load() : int(ContentStep::Sizes);
    if (step == int(ContentStep::Heads) || step == int(ContentStep::Whole))
        pnlSel->setText(QStringLiteral("Comparing contents: %1 of %2 files")
                            .arg(addCommas(int64_t(outcome_->compare.filesRead.load())),
                                 addCommas(int64_t(outcome_->compare.filesToRead.load()))));
    else
        pnlSel->setText(displayName(runner()->progress().currentDirectory()));
}

void TfrmDup::showFailure()
{
    outcome_.reset();
    setScanning(false);
}

size_t TfrmDup::showResult(ScanOutcome)
{
    const std::shared_ptr<Outcome> outcome = std::move(outcome_);
    if (runner()->progress().skipped() > 0)
        pnlSel->clear(); // no more the directory being walked; the note on them follows
    resultCount = int(outcome->rows.originalCount());
    rowGroup_ = std::move(outcome->groups);
    for (size_t i = 0; i < rowGroup_.size(); ++i) {
        if (rowGroup_[i] >= groupSizes_.size()) {
            groupSizes_.resize(rowGroup_[i] + 1, 0);
            groupFirstRow_.resize(rowGroup_[i] + 1, int(i) + 1);
        }
        ++groupSizes_[rowGroup_[i]];
    }
    if (resultCount > 0)
        gridModel_->setRows(std::move(outcome->rows));
    setScanning(false);
    if (outcome->leftOut > 0)
        pnlSel->setText(QStringLiteral("%1 files changed or could not be read while compared; left out")
                            .arg(addCommas(int64_t(outcome->leftOut))));
    if (resultCount == 0)
        return 0;
    for (QPushButton* b : {btPrint, btClip, btBrowse})
        b->show();
    btSort->setVisible(!duplicates_);
    return size_t(resultCount);
}

int TfrmDup::markColumn() const
{
    return duplicates_ ? 3 : 2; // the Time column
}

int TfrmDup::markGroup(int row) const
{
    // Duplicate rows never move, so a row's group is its place's.
    return duplicates_ && size_t(row - 1) < rowGroup_.size() ? int(rowGroup_[size_t(row - 1)]) : -1;
}

QStringList TfrmDup::resultLines() const
{
    QStringList lines;
    if (resultCount == 0)
        return lines;
    const std::vector<std::string_view> rows = gridModel_->originalRows();
    lines.reserve(qsizetype(rows.size()));
    for (const std::string_view line : rows)
        lines.append(QString::fromUtf8(line.data(), qsizetype(line.size())));
    return lines;
}

void TfrmDup::btClipClick()
{
    QByteArray text;
    if (resultCount > 0) {
        for (const std::string_view line : gridModel_->originalRows()) {
            if (!text.isEmpty())
                text.append("\r\n");
            text.append(line.data(), qsizetype(line.size()));
        }
    }
    services_.clipboard->setText(QString::fromUtf8(text));
}

void TfrmDup::btPrintClick()
{
    QString drives;
    for (const Drive& drive : pnlDrives->selectedDrives())
        drives += drive.caption + QLatin1Char(' ');
    const QString title =
        (duplicates_ ? QStringLiteral("Duplicates larger than ") : QStringLiteral("File Hogs larger than ")) +
        QString::number(SpinEdit1->value()) + QStringLiteral("KB") + QStringLiteral(" matching ") +
        cbWildCard->currentText() + QStringLiteral(" on drive(s) ") + drives;
    printReportWithDialog(services_, resultLines(), measuredTitle(shownMeasure_, title),
                          duplicates_ ? QStringLiteral("duplicates") : QStringLiteral("hogs"), this);
}

void TfrmDup::Sortbysize1Click(QAction* chosen)
{
    if (chosen == Sortbysize1) {
        // Sizes are right-aligned in five places; wider ones (100000 K and
        // up) get more room so that the text order is the order of the sizes.
        sortInBackground(
            chosen, SortKind::Text, true,
            [](const char* row) { return cellOf(row, 0).rightJustified(16, QLatin1Char(' ')); },
            !duplicates_);
    } else if (chosen == SortbyDate1) {
        sortInBackground(
            chosen, SortKind::Date, true, [](const char* row) { return cellOf(row, 1); }, !duplicates_);
    } else {
        sortInBackground(
            chosen, SortKind::Text, false, [](const char* row) { return cellOf(row, 3); }, !duplicates_);
    }
}

void TfrmDup::BrowseDirectory1Click()
{
    browseCurrentRow(BrowseAt::File, cbWildCard->currentText());
}

bool TfrmDup::warnBeforeDeletion()
{
    const std::vector<int> whole = lbDeleted.fullyMarkedGroups(groupSizes_);
    if (!whole.empty()) {
        QString text;
        for (size_t i = 0; i < whole.size() && i < DeletionReport::kNamedPaths; ++i) {
            const std::string& path = gridModel_->rowPath(groupFirstRow_[size_t(whole[i])]);
            text += QStringLiteral("All copies of ") + displayName(splitPath(path).second) +
                    QStringLiteral(" are marked\n");
        }
        if (whole.size() > DeletionReport::kNamedPaths)
            text += QStringLiteral("and ") + QString::number(whole.size() - DeletionReport::kNamedPaths) +
                    QStringLiteral(" more\n");
        text += QStringLiteral("\nGo on to the deletion anyway?");
        if (services_.messages->ask(this, text) != Messages::Answer::Yes)
            return false;
    }
    return true;
}

QString TfrmDup::settingsGroup() const
{
    return duplicates_ ? QStringLiteral("Duplicates") : QStringLiteral("FileHogs");
}

void TfrmDup::saveSettings()
{
    ScanWindow::saveSettings();
    rememberValue(settingsGroup() + QStringLiteral("/limitKB"), SpinEdit1->value());
    rememberValue(settingsGroup() + QStringLiteral("/pattern"), cbWildCard->currentText());
}

void TfrmDup::forgetResult()
{
    // A closed window holds no result: its memory goes back to the system.
    ClearGrid();
    for (QPushButton* b : {btPrint, btClip, btBrowse, btSort, btDelete})
        b->hide();
}

} // namespace kelvane
