#include "filemod/ui/TfrmMods.h"

#include "common/commas.h"
#include "common/displayname.h"
#include "common/fileops.h"
#include "common/gridsort.h"
#include "common/resultgrid.h"
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
#include "filemod/changedscan.h"
#include "filemod/changedtexts.h"
#include "filemod/datefield.h"
#include "filemod/ui/TfrmPickDate.h"
#include "filemod/ui/buttonimages.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace kelvane {

namespace {

// Design sizes at 96 dpi.
constexpr int kWidth = 640;
constexpr int kHeight = 406;
constexpr int kPanelHeight = 171;
constexpr int kPanelWidth = 560;
constexpr int kButtonTop = 137;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 28;
constexpr int kButtonStep = 78;
constexpr int kStatusHeight = 22;

} // namespace

struct TfrmMods::Outcome {
    ChangedFileList files;
    std::vector<GridRow> rows;
};

TfrmMods::TfrmMods(Services& services, QWidget* parent)
    : MarkingWindow(services, 35, 199,
                    {QStringLiteral("Name"), QStringLiteral("Date"), QStringLiteral("Time"),
                     QStringLiteral("Day"), QStringLiteral("Directory")},
                    parent),
      resultLimit_(kDefaultResultLimit)
{
    setObjectName(QStringLiteral("frmMods"));
    setWindowTitle(QStringLiteral("Files changed in a range of dates"));
    buildControls();
    resize(scaled(this, kWidth), scaled(this, kHeight));
    connect(runner(), &ScanRunner::tick, this, &TfrmMods::showProgress);
    setStatusLine(pnlScan);
    setListFullWarning(changedListFullText());
    setEmptyNotice(EmptyNotice::UnlessAborted);
}

TfrmMods::~TfrmMods() = default;

void TfrmMods::buildDateFields()
{
    const int s = designScale(this);

    Label1 = new QLabel(QStringLiteral("Show files modified/created between these two dates:"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8 * s, 10 * s);
    Label1->adjustSize();

    Label2 = named(new QLabel(QStringLiteral("S&tarting Date:"), Panel1), "Label2", QRect(8, 44, 96, 22), s);
    dtStart = named(new QLineEdit(Panel1), "dtStart", QRect(108, 42, 110, 24), s);
    popStartDate = named(new QToolButton(Panel1), "popStartDate", QRect(222, 42, 26, 24), s);
    Label3 = named(new QLabel(QStringLiteral("&Ending Date:"), Panel1), "Label3", QRect(8, 78, 96, 22), s);
    dtEnd = named(new QLineEdit(Panel1), "dtEnd", QRect(108, 76, 110, 24), s);
    popEndDate = named(new QToolButton(Panel1), "popEndDate", QRect(222, 76, 26, 24), s);
    Label2->setBuddy(dtStart);
    Label3->setBuddy(dtEnd);

    for (QToolButton* pop : {popStartDate, popEndDate}) {
        pop->setIcon(calendarIcon());
        pop->setToolTip(QStringLiteral("Popup Calendar"));
    }
    for (QLineEdit* field : {dtStart, dtEnd})
        field->installEventFilter(this);
    connect(popStartDate, &QToolButton::clicked, this, &TfrmMods::popStartDateClick);
    connect(popEndDate, &QToolButton::clicked, this, &TfrmMods::popEndDateClick);

    widestDate_ = dateFieldText(QDate(2026, 12, 28));
    widestTime_ = QLocale().toString(QTime(23, 58, 58), userLongTimeFormat());
    widestDay_ = QStringLiteral("Wed");
}

void TfrmMods::buildControls()
{
    const int s = designScale(this);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, kPanelWidth * s, kPanelHeight * s);

    buildDateFields();

    btOK = makeButton(QStringLiteral("btOK"), QStringLiteral("&Start"),
                      QStringLiteral("Start scanning for files"));
    btOK->setDefault(true);
    makeMarkButton(QStringLiteral("Mark files for deletion"), emptyTrashIcon(), fullTrashIcon());
    btAbort = makeButton(QStringLiteral("btAbort"), QStringLiteral("&Abort"), QStringLiteral("Abort scan"));
    makeListButtons(QStringLiteral("files"), QStringLiteral("Browse file and directory"),
                    QStringLiteral("Sort columns "));
    // Abort shares the place of Mark.
    const QList<QPushButton*> row = {btOK, btClose, btDelete, btPrint, btClip, btBrowse, btSort};
    for (int i = 0; i < row.size(); ++i) {
        row[i]->setParent(Panel1);
        row[i]->setGeometry((3 + i * kButtonStep) * s, kButtonTop * s, kButtonWidth * s, kButtonHeight * s);
    }
    btAbort->setParent(Panel1);
    btAbort->setGeometry(btDelete->geometry());
    setStartButtons({btOK});
    connect(btOK, &QPushButton::clicked, this, &TfrmMods::btOKClick);
    connect(btAbort, &QPushButton::clicked, this, &TfrmMods::btAbortClick);
    connect(btPrint, &QPushButton::clicked, this, &TfrmMods::PrintClick);
    connect(btClip, &QPushButton::clicked, this, &TfrmMods::btClipClick);
    connect(btBrowse, &QPushButton::clicked, this, &TfrmMods::btBrowseClick);

    // The drive panel and its label sit over the right end of the top panel.
    pnlDrives->move(pnlDrives->x(), 4 * s);
    Label4->move(Label4->x(), 8 * s);
    pnlDrives->raise();
    Label4->raise();

    grid->verticalHeader()->setDefaultSectionSize(18 * s);
    // FormResize gives the Directory column its width, room for the scroll bar left.
    grid->horizontalHeader()->setStretchLastSection(false);
    setGridTop(kPanelHeight * s);

    choices_ = new ScanChoices(settingsGroup(), false, this);
    pnlBase = new QFrame(this);
    pnlBase->setObjectName(QStringLiteral("pnlBase"));
    pnlBase->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlScan = makeStatusLine(QStringLiteral("pnlScan"), pnlBase, false);

    const auto chosen = [this](QAction* item) { Sortbyname1Click(item); };
    Sortbyname1 = addSortItem(QStringLiteral("Sortbyname1"), QStringLiteral("Sort by &Name"), chosen);
    SortbyDate1 = addSortItem(QStringLiteral("SortbyDate1"), QStringLiteral("Sort by &Date"), chosen);
    SortbyDirectory1 =
        addSortItem(QStringLiteral("SortbyDirectory1"), QStringLiteral("Sort by D&irectory"), chosen);
    checkSortItem(Sortbyname1);
}

int TfrmMods::dpi() const
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? int(s->logicalDotsPerInch()) : 96;
}

void TfrmMods::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    ScanWindow::showEvent(event);
}

void TfrmMods::FormShow()
{
    lbFiles.clear();
    abortNotice_ = false;
    setResultButtonsVisible(false);
    btAbort->hide();
    pnlScan->clear();

    const QString today = dateFieldText(services_.clock->now().date());
    dtStart->setText(today);
    dtEnd->setText(today);

    setupDrives();
    btClose->setEnabled(true);
    btOK->setFocus();
    btAbort->setGeometry(btDelete->geometry());
    ClearGrid();
    fitToDrives();
}

void TfrmMods::fitToDrives()
{
    const int s = designScale(this);
    fitWidthToDrives((kPanelWidth + 3) * s, (Panel1->y() + Panel1->height()) * 2);
    // The top panel reaches under the drive panel and its label.
    Panel1->resize(std::max(kPanelWidth * s, minimumWidth() - 3 * s), Panel1->height());
    FormResize();
}

int TfrmMods::leftControlsRight() const
{
    return std::max(Label1->geometry().right(), popStartDate->geometry().right()) + 1;
}

void TfrmMods::resizeEvent(QResizeEvent* event)
{
    ScanWindow::resizeEvent(event);
    FormResize();
}

void TfrmMods::FormResize()
{
    const int statusHeight = scaled(this, kStatusHeight);
    placeGridAndStatus(Panel1->height(), pnlBase, statusHeight);
    pnlScan->setGeometry(4, 0, pnlBase->width() - 8, statusHeight);

    // Date, time and day columns are widened where the font needs more room
    // than the design widths give, so that their texts are never cut.
    const int perInch = dpi();
    const int margin = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1) + 4;
    const auto fit = [&](int design, const QString& sample) {
        return grid->fittedWidth(design * perInch / 96, sample, margin);
    };
    QList<int> widths = {155 * perInch / 96, fit(65, widestDate_), fit(65, widestTime_), fit(28, widestDay_)};
    int rest = width();
    for (int w : widths)
        rest -= w;
    widths.append(std::max(rest - 20, 20));
    grid->setColWidths(widths);
    placeDrivePanel();
}

void TfrmMods::ClearGrid()
{
    gridModel_->clearRows();
    resultCount = 0;
    checkSortItem(Sortbyname1);
    clearMarks();
    grid->setFocus();
}

// ---------------------------------------------------------------- dates ---

std::optional<QDate> TfrmMods::checkDate(QLineEdit* field, const QString& message, DateCheck check)
{
    if (const std::optional<QDate> date = readDateField(field->text()))
        return date;
    // A mouse click on Start first takes the focus from the field: its exit
    // check reports, and the click that follows does not report again.
    const bool justReported = check == DateCheck::Start && reportedField_ == field;
    reportedField_ = check == DateCheck::ExitTowardsStart ? field : nullptr;
    checkingDate_ = true;
    field->setFocus();
    if (!justReported)
        services_.messages->error(this, message);
    checkingDate_ = false;
    return std::nullopt;
}

void TfrmMods::dtStartExit()
{
    checkDate(dtStart, QStringLiteral("Invalid start date"), exitCheck());
}

void TfrmMods::dtEndExit()
{
    checkDate(dtEnd, QStringLiteral("Invalid ending date"), exitCheck());
}

TfrmMods::DateCheck TfrmMods::exitCheck() const
{
    // While a field loses the focus, the focus widget is already the new one.
    return QApplication::focusWidget() == btOK ? DateCheck::ExitTowardsStart : DateCheck::Exit;
}

std::optional<DateRange> TfrmMods::readRange()
{
    const std::optional<QDate> start =
        checkDate(dtStart, QStringLiteral("Invalid start date"), DateCheck::Start);
    if (!start)
        return std::nullopt;
    const std::optional<QDate> end =
        checkDate(dtEnd, QStringLiteral("Invalid ending date"), DateCheck::Start);
    if (!end)
        return std::nullopt;
    return DateRange(*start, *end);
}

bool TfrmMods::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && !checkingDate_ && (watched == dtStart || watched == dtEnd)) {
        // Only a move to another control of this window counts as leaving the
        // field, not a message box or another window taking the focus.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            reason != Qt::MenuBarFocusReason && isVisible()) {
            if (watched == dtStart)
                dtStartExit();
            else
                dtEndExit();
        }
    }
    return ScanWindow::eventFilter(watched, event);
}

void TfrmMods::pickDate(QLineEdit* field, QLineEdit* other, const QString& message, bool isStart)
{
    field->setFocus();
    if (field->text().trimmed().isEmpty())
        field->setText(dateFieldText(services_.clock->now().date()));
    const std::optional<QDate> current = checkDate(field, message, DateCheck::Exit);
    if (!current)
        return;
    if (const std::optional<QDate> picked = TfrmPickDate::pick(this, services_, *current)) {
        field->setText(dateFieldText(*picked));
        field->selectAll();
    }
    // The other field follows, so that the start never lies after the end.
    const std::optional<QDate> mine = readDateField(field->text());
    const std::optional<QDate> theirs = readDateField(other->text());
    if (mine && theirs && (isStart ? *mine > *theirs : *theirs > *mine))
        other->setText(field->text());
}

void TfrmMods::popStartDateClick()
{
    pickDate(dtStart, dtEnd, QStringLiteral("Invalid start date"), true);
}

void TfrmMods::popEndDateClick()
{
    pickDate(dtEnd, dtStart, QStringLiteral("Invalid ending date"), false);
}

// ----------------------------------------------------------------- scan ---

void TfrmMods::btOKClick()
{
    if (busy()) // a scan, or a sort reading the rows
        return;
    const std::optional<DateRange> range = readRange();
    if (!range)
        return;
    ClearGrid();
    scan(*range);
}

void TfrmMods::setResultButtonsVisible(bool visible)
{
    for (QPushButton* b : {btPrint, btClip, btBrowse, btSort, btDelete})
        b->setVisible(visible);
}

void TfrmMods::setScanning(bool scanning)
{
    btAbort->setVisible(scanning);
    btAbort->raise();
    if (scanning) {
        setResultButtonsVisible(false);
        btOK->setEnabled(false);
    } else {
        cb1Click();
    }
    for (QWidget* w : std::initializer_list<QWidget*>{btClose, pnlDrives, dtStart, dtEnd, popStartDate,
                                                      popEndDate, choices_})
        w->setEnabled(!scanning);
}

void TfrmMods::scan(const DateRange& range)
{
    lbFiles.clear();
    abortNotice_ = false;
    setScanning(true);

    auto outcome = std::make_shared<Outcome>();
    outcome_ = outcome;
    startScan([outcome, range, limit = resultLimit_, choices = choices_->options(),
               drives = pnlDrives->selectedDrives(),
               cannotOpen = reportCannotOpen()](const ScanControl& control) {
        ChangedFilesScan changed(range, limit, choices);
        const ScanEnd end = changed.scanDrives(drives, control, cannotOpen);
        outcome->files = changed.handOver();
        outcome->rows = changedGridRows(outcome->files);
        return end;
    });
}

void TfrmMods::showProgress()
{
    if (scanning())
        pnlScan->setText(displayName(runner()->progress().currentDirectory()));
}

void TfrmMods::showFailure()
{
    outcome_.reset();
    pnlScan->clear();
    setScanning(false);
}

size_t TfrmMods::showResult(ScanOutcome)
{
    const std::shared_ptr<Outcome> outcome = std::move(outcome_);
    lbFiles = std::move(outcome->files);
    abortNotice_ = abortedByUser();
    resultCount = int(lbFiles.size());
    if (resultCount > 0)
        gridModel_->setRows(std::move(outcome->rows));
    pnlScan->setText(QStringLiteral("Found : %1").arg(resultCount));
    setScanning(false);
    // An aborted list still has its notice line to copy or print.
    setResultButtonsVisible(!lbFiles.empty() || abortNotice_);
    return lbFiles.size();
}

QStringList TfrmMods::resultLines() const
{
    QStringList lines = changedLines(lbFiles);
    if (abortNotice_)
        lines.append(abortNoticeLine());
    return lines;
}

// -------------------------------------------------------------- actions ---

void TfrmMods::btClipClick()
{
    services_.clipboard->setText(resultLines().join(QStringLiteral("\r\n")));
}

void TfrmMods::PrintClick()
{
    const QString title = QStringLiteral("Files Modified/Created between ") + dtStart->text() +
                          QStringLiteral(" and ") + dtEnd->text();
    printReportWithDialog(services_, resultLines(), title, QStringLiteral("changed"), this);
}

void TfrmMods::btBrowseClick()
{
    browseCurrentRow(BrowseAt::File, QStringLiteral("*.*"));
}

void TfrmMods::Sortbyname1Click(QAction* item)
{
    if (item == SortbyDate1)
        sortInBackground(item, SortKind::Date, true, [](const char* row) { return cellOf(row, 1); });
    else if (item == SortbyDirectory1)
        sortInBackground(item, SortKind::Text, false, [](const char* row) { return cellOf(row, 4); });
    else
        sortInBackground(item, SortKind::Text, false, [](const char* row) { return cellOf(row, 0); });
}

} // namespace kelvane
