#include "stats/ui/TfrmStatistics.h"

#include "common/scantexts.h"
#include "common/ui/ScanChoices.h"
#include "common/ui/ScanRunner.h"
#include "common/ui/geometry.h"
#include "common/ui/services.h"
#include "common/ui/settings.h"
#include "stats/agebands.h"
#include "stats/diskspacetexts.h"
#include "stats/sizebands.h"
#include "stats/statisticsscan.h"
#include "stats/statisticstexts.h"
#include "stats/ui/BandPage.h"
#include "stats/ui/DiskSpacePage.h"
#include "stats/ui/TypesPage.h"
#include "stats/ui/windowpicture.h"

#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>

namespace kelvane {

// One collection and what it yields; shared with the job so that it
// outlives the window's reference while the walk finishes.
struct TfrmStatistics::Collection {
    Collection(Drive d, const QDateTime& now, const ScanOptions& choices)
        : drive(std::move(d)), scan(now, choices)
    {
    }
    Drive drive;
    StatisticsScan scan;
    int rootError = 0;
};

namespace {

std::array<BandRowNames, kBands> sizeRowNames()
{
    std::array<BandRowNames, kBands> names;
    for (int b = 1; b <= kBands; ++b) {
        const QString n = QString::number(b);
        names[b - 1] = {QStringLiteral("Label") + n, QStringLiteral("gaFsN") + n,
                        (b == 5 ? QStringLiteral("lblSizen") : QStringLiteral("lblSizeN")) + n,
                        QStringLiteral("gaFsS") + n, QStringLiteral("lblSize") + n};
    }
    return names;
}

std::array<BandRowNames, kBands> ageRowNames()
{
    std::array<BandRowNames, kBands> names;
    for (int b = 1; b <= kBands; ++b) {
        const QString n = QString::number(b);
        names[b - 1] = {QStringLiteral("Label") + QString::number(b == 1 ? 23 : b + 8),
                        QStringLiteral("gaFaN") + n, QStringLiteral("lblAgeN") + n,
                        (b == 1 ? QStringLiteral("gaFAS") : QStringLiteral("gaFaS")) + n,
                        QStringLiteral("lblAgeS") + n};
    }
    return names;
}

template <class Caption> std::array<QString, kBands> bandCaptions(Caption caption)
{
    std::array<QString, kBands> captions;
    for (int b = 1; b <= kBands; ++b)
        captions[b - 1] = caption(b);
    return captions;
}

} // namespace

TfrmStatistics::TfrmStatistics(Services& services, QWidget* parent)
    : ScanDialog(services, parent), diskSpace_([](const Drive& drive) { return diskSpace(drive); })
{
    setObjectName(QStringLiteral("frmStatistics"));
    setWindowTitle(QStringLiteral("File Statistics Not Yet Collected"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    auto s = [this](int pixels) { return scaled(this, pixels); };

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, s(592), s(361));
    TabSheet1 = new TypesPage(PageControl1);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 =
        new BandPage(sizeRowNames(), bandCaptions(sizeBandCaption), Qt::darkBlue, Qt::darkCyan, PageControl1);
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    lblCluster = new QLabel(TabSheet2);
    lblCluster->setObjectName(QStringLiteral("lblCluster"));
    lblCluster->setWordWrap(true);
    TabSheet2->addBelow(lblCluster);
    TabSheet4 = new BandPage(ageRowNames(), bandCaptions(ageBandCaption), Qt::darkMagenta, Qt::darkBlue,
                             PageControl1);
    TabSheet4->setObjectName(QStringLiteral("TabSheet4"));
    TabSheet3 = new DiskSpacePage(PageControl1);
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(TabSheet1, QStringLiteral("File Types"));
    PageControl1->addTab(TabSheet2, QStringLiteral("File Sizes"));
    PageControl1->addTab(TabSheet4, QStringLiteral("File Ages"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Disk Space"));

    lblDrive = new QLabel(QStringLiteral("&Drive:"), this);
    lblDrive->setGeometry(s(8), s(372), s(40), s(21));
    cbDrive = new QComboBox(this);
    cbDrive->setObjectName(QStringLiteral("cbDrive"));
    cbDrive->setToolTip(QStringLiteral("The drive selected for statistics"));
    cbDrive->setGeometry(s(50), s(369), s(160), s(26));
    lblDrive->setBuddy(cbDrive);
    btOK = new QPushButton(QStringLiteral("&Collect statistics"), this);
    btOK->setObjectName(QStringLiteral("btOK"));
    btOK->setToolTip(QStringLiteral("Start collecting statistics"));
    btOK->setGeometry(s(226), s(367), s(136), s(28));
    btOK->setDefault(true);
    btPrint = new QPushButton(QStringLiteral("&Print page"), this);
    btPrint->setObjectName(QStringLiteral("btPrint"));
    btPrint->setToolTip(QStringLiteral("Print this page only"));
    btPrint->setGeometry(s(370), s(367), s(104), s(28));
    btCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    btCancel->setToolTip(QStringLiteral("Cancel operation or close window"));
    btCancel->setGeometry(s(482), s(367), s(104), s(28));

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    lblStatus = new QLabel(StatusBar1);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    StatusBar1->addWidget(lblStatus, 1);
    choices_ = new ScanChoices(QStringLiteral("Statistics"), true, this);
    const int choicesHeight = choices_->stripHeight();
    choices_->setGeometry(0, s(433 - 24 - 6), s(592), choicesHeight);
    StatusBar1->setGeometry(0, s(433 - 24) + choicesHeight, s(592), s(24));

    setStatusLine(lblStatus);
    setEmptyNotice(EmptyNotice::Never);
    connect(runner_, &ScanRunner::tick, this, &TfrmStatistics::showProgress);
    connect(this, &ScanDialog::outcomeShown, this, &TfrmStatistics::collectionFinished);
    connect(btOK, &QPushButton::clicked, this, &TfrmStatistics::btOKClick);
    connect(btPrint, &QPushButton::clicked, this, &TfrmStatistics::btPrintClick);
    connect(btCancel, &QPushButton::clicked, this, &TfrmStatistics::btCancelClick);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TfrmStatistics::PageControl1Change);
    connect(cbDrive, &QComboBox::activated, this, &TfrmStatistics::cbDriveClick);

    fillDrives();
    setFixedSize(s(592), s(433) + choicesHeight);
}

TfrmStatistics::~TfrmStatistics() = default;

QString TfrmStatistics::statusText() const
{
    return lblStatus->text();
}

void TfrmStatistics::showEvent(QShowEvent* event)
{
    ScanDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmStatistics::FormShow()
{
    fillDrives();
    {
        const QSignalBlocker quiet(PageControl1); // filled once, below
        PageControl1->setCurrentIndex(DiskSpacePageIndex);
    }
    TabSheet1->setTitles();
    doDiskSize();
}

void TfrmStatistics::fillDrives()
{
    // The drive chosen now, or the one chosen in an earlier run.
    const Drive* chosen = chosenDrive();
    const std::string keep =
        chosen ? chosen->root : rememberedValue(QStringLiteral("Statistics/drive")).toString().toStdString();
    drives_ = services_.drives->drives();
    const QSignalBlocker quiet(cbDrive);
    cbDrive->clear();
    int index = -1;
    for (size_t i = 0; i < drives_.size(); ++i) {
        cbDrive->addItem(drives_[i].caption);
        cbDrive->setItemData(int(i), drives_[i].toolTip, Qt::ToolTipRole);
        if (drives_[i].root == keep)
            index = int(i);
    }
    if (index < 0)
        index = services_.drives->currentDriveIndex(drives_);
    if (index < 0 && !drives_.empty())
        index = 0;
    cbDrive->setCurrentIndex(index);
    btOK->setEnabled(!drives_.empty() && !collecting());
}

const Drive* TfrmStatistics::chosenDrive() const
{
    const int index = cbDrive->currentIndex();
    return index >= 0 && index < int(drives_.size()) ? &drives_[size_t(index)] : nullptr;
}

void TfrmStatistics::btOKClick()
{
    if (collecting())
        return;
    lblCluster->clear();
    const Drive* chosen = chosenDrive();
    if (!chosen)
        return;
    const Drive drive = *chosen;
    std::optional<DiskSpace> space;
    try {
        space = diskSpace_(drive);
    } catch (const DriveError& e) {
        services_.messages->error(this, QString::fromUtf8(e.what()));
        return;
    }
    if (!space) {
        services_.messages->plain(this, noDiskMessage(drive.caption));
        return;
    }
    services_.messages->plain(this, scanNotice(drive.caption));
    lblCluster->setText(clusterNote(drive.caption, space->clusterSize));
    scan(drive);
}

void TfrmStatistics::scan(const Drive& drive)
{
    lblStatus->clear();
    busyPointer_.emplace(Qt::BusyCursor);
    clearVariables();
    const ScanOptions choices = choices_->options();
    collection_ = std::make_shared<Collection>(drive, services_.clock->now(), choices);
    TabSheet1->setTitles(choices.measure);
    const QString bytesHeading = choices.measure == SizeMeasure::Apparent ? QStringLiteral("File Sizes")
                                                                          : measureName(choices.measure);
    TabSheet2->setBytesHeading(bytesHeading);
    TabSheet4->setBytesHeading(bytesHeading);
    btOK->setEnabled(false);
    choices_->setEnabled(false);
    startScan([c = collection_](const ScanControl& control) {
        c->rootError = c->scan.scanRoot(c->drive.root, control).rootError;
        return c->scan.end();
    });
}

void TfrmStatistics::clearVariables()
{
    statistics_ = Statistics();
    TabSheet1->clearCells();
}

void TfrmStatistics::showProgress()
{
    if (collection_)
        lblStatus->setText(processingStatus(collection_->scan.filesCounted()));
}

void TfrmStatistics::endCollecting()
{
    busyPointer_.reset();
    btOK->setEnabled(!drives_.empty());
    choices_->setEnabled(true);
}

void TfrmStatistics::showFailure()
{
    collection_.reset();
    endCollecting();
    lblStatus->clear();
}

size_t TfrmStatistics::showResult(ScanOutcome)
{
    const std::shared_ptr<Collection> c = std::move(collection_);
    endCollecting();
    if (c->rootError != 0)
        services_.messages->error(this, cantOpenDriveText(c->drive.caption));
    statistics_ = c->scan.handOver();
    TabSheet1->showTypes(statistics_.types);
    TabSheet2->showTotals(statistics_.sizes);
    TabSheet4->showTotals(statistics_.ages);
    lblStatus->setText(finishedStatus(statistics_.filesProcessed, abortedByUser()));
    setWindowTitle(collectedCaption(c->drive.caption, abortedByUser()));
    return size_t(statistics_.filesProcessed);
}

void TfrmStatistics::btCancelClick()
{
    if (collecting()) {
        abortScan(false); // the status line and the caption say so
        return;
    }
    hide();
}

void TfrmStatistics::reject()
{
    btCancelClick();
}

void TfrmStatistics::doDiskSize()
{
    const Drive* drive = chosenDrive();
    if (!drive)
        return;
    std::optional<DiskSpace> space;
    try {
        space = diskSpace_(*drive);
    } catch (const DriveError&) {
        return; // the page keeps what it shows
    }
    if (space)
        TabSheet3->showSpace(diskSpaceTexts(drive->caption, *space));
}

void TfrmStatistics::PageControl1Change()
{
    if (PageControl1->currentIndex() == DiskSpacePageIndex)
        doDiskSize();
}

void TfrmStatistics::cbDriveClick()
{
    if (const Drive* chosen = chosenDrive())
        rememberValue(QStringLiteral("Statistics/drive"), QString::fromStdString(chosen->root));
    if (PageControl1->currentIndex() == DiskSpacePageIndex)
        doDiskSize();
}

void TfrmStatistics::btPrintClick()
{
    QPrinter* printer = services_.printing->choosePrinter(this, QStringLiteral("statistics"));
    if (!printer)
        return;
    // The job is listed under this page's name, never a name left from an earlier job.
    printer->setDocName(windowTitle() + QStringLiteral(" - ") +
                        PageControl1->tabText(PageControl1->currentIndex()));
    if (!printWindowPicture(*this, *printer))
        services_.messages->error(this, QStringLiteral("The page could not be printed."));
    else if (!services_.printing->outputFile().isEmpty())
        announceReportFile(*services_.messages, this, services_.printing->outputFile());
}

} // namespace kelvane
