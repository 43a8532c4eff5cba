#include "common/ui/ScanWindow.h"

#include "common/displayname.h"
#include "common/failure.h"
#include "common/folderroot.h"
#include "common/pathnames.h"
#include "common/resultgrid.h"
#include "common/ui/DrivePanel.h"
#include "common/ui/ResultGridView.h"
#include "common/ui/ScanChoices.h"
#include "common/ui/ScanRunner.h"
#include "common/ui/TfrmBrowse.h"
#include "common/ui/folderchooser.h"
#include "common/ui/geometry.h"
#include "common/ui/services.h"
#include "common/ui/settings.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>

#include <algorithm>
#include <exception>
#include <memory>

namespace kelvane {

ScanWindow::ScanWindow(Services& services, int driveBoxWidth, int drivePanelWidth, const QStringList& titles,
                       QWidget* parent)
    : ScanDialog(services, parent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    pnlDrives = new DrivePanel(driveBoxWidth, drivePanelWidth, this);
    connect(pnlDrives, &DrivePanel::boxClicked, this, &ScanWindow::cb1Click);
    connect(pnlDrives, &DrivePanel::folderRequested, this, &ScanWindow::btFolderClick);
    Label4 = new QLabel(QStringLiteral("D&rives:"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setBuddy(pnlDrives->box(1));
    gridModel_ = new ResultGrid(titles, this);
    grid = new ResultGridView(this);
    grid->setGrid(gridModel_);
    btClose = makeButton(QStringLiteral("btClose"), QStringLiteral("Close"), QStringLiteral("Close window"));
    connect(btClose, &QPushButton::clicked, this, &QDialog::reject);
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
}

ScanWindow::~ScanWindow()
{
    if (job_.joinable())
        job_.join();
}

bool ScanWindow::busy() const
{
    return runner_->running() || jobRunning_;
}

void ScanWindow::runInBackground(std::function<void()> job, std::function<void(const QString&)> done)
{
    if (jobRunning_)
        return;
    if (job_.joinable())
        job_.join();
    jobRunning_ = true;
    jobPointer_.emplace();
    auto failure = std::make_shared<std::exception_ptr>();
    auto finish = [this, failure, done = std::move(done)] {
        if (job_.joinable())
            job_.join();
        jobRunning_ = false;
        jobPointer_.reset();
        QString reason;
        if (*failure) {
            try {
                std::rethrow_exception(*failure);
            } catch (const std::exception& e) {
                reason = QString::fromStdString(failureText(e));
            } catch (...) {
                reason = QStringLiteral("unknown failure");
            }
        }
        done(reason);
    };
    try {
        job_ = std::thread([this, job = std::move(job), failure, finish]() mutable {
            try {
                job();
            } catch (...) {
                *failure = std::current_exception();
            }
            QMetaObject::invokeMethod(this, std::move(finish), Qt::QueuedConnection);
        });
    } catch (...) {
        // No thread to run the job on: it fails at once.
        *failure = std::current_exception();
        QMetaObject::invokeMethod(this, std::move(finish), Qt::QueuedConnection);
    }
}

void ScanWindow::reject()
{
    if (!busy())
        QDialog::reject();
}

void ScanWindow::done(int result)
{
    saveSettings();
    QDialog::done(result);
}

QString ScanWindow::settingsGroup() const
{
    const QString name = QString::fromLatin1(metaObject()->className());
    return name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
}

void ScanWindow::saveSettings()
{
    saveWindowSize(this, settingsGroup());
    QStringList roots;
    for (const Drive& drive : pnlDrives->selectedDrives())
        roots << QString::fromStdString(drive.root);
    rememberValue(settingsGroup() + QStringLiteral("/drives"), roots);
}

void ScanWindow::closeEvent(QCloseEvent* event)
{
    if (busy()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

QPushButton* ScanWindow::makeButton(const QString& name, const QString& caption, const QString& hint)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

void ScanWindow::makeListButtons(const QString& items, const QString& browseHint, const QString& sortHint)
{
    btPrint = makeButton(QStringLiteral("btPrint"), QStringLiteral("&Print"),
                         QStringLiteral("Print list of ") + items);
    btClip = makeButton(QStringLiteral("btClip"), QStringLiteral("C&lipboard"),
                        QStringLiteral("Copy list of %1 to clipboard").arg(items));
    btBrowse = makeButton(QStringLiteral("btBrowse"), QStringLiteral("&Browse"), browseHint);
    btSort = makeButton(QStringLiteral("btSort"), QStringLiteral("S&ort"), sortHint);
    connect(btSort, &QPushButton::clicked, this, &ScanWindow::btSortClick);
}

void ScanWindow::btSortClick()
{
    PopupMenu1->popup(grid->mapToGlobal(QPoint(grid->width() / 2, 30)));
}

QAction* ScanWindow::addSortItem(const QString& name, const QString& caption,
                                 std::function<void(QAction*)> chosen)
{
    QAction* item = PopupMenu1->addAction(caption);
    item->setObjectName(name);
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, [item, chosen = std::move(chosen)] { chosen(item); });
    return item;
}

void ScanWindow::checkSortItem(QAction* item)
{
    checkedSort_ = item;
    for (QAction* each : PopupMenu1->actions())
        each->setChecked(each == item);
}

bool ScanWindow::sortMayStart(QAction* chosen, bool allowed)
{
    if (allowed && gridModel_->RowCount() >= 2 && !busy())
        return true;
    // The menu has already moved the tick of the chosen item.
    if (chosen)
        checkSortItem(checkedSort_);
    return false;
}

void ScanWindow::sortInBackground(QAction* chosen, SortKind kind, bool descending, SortKey key, bool allowed)
{
    if (!sortMayStart(chosen, allowed))
        return;
    checkSortItem(nullptr);
    auto rows = std::make_shared<std::vector<GridRowStore::Row>>(gridModel_->rowsInOrder());
    auto order = std::make_shared<std::vector<uint32_t>>();
    holdControls(true);
    runInBackground(
        [rows, order, kind, descending, key = std::move(key), today = today(), hook = beforeSort_] {
            if (hook)
                hook();
            *order = sortOrder(
                rows->size(), [&](size_t i) { return key((*rows)[i]); }, kind, descending, today);
        },
        [this, order, chosen](const QString& failure) {
            if (failure.isEmpty()) {
                gridModel_->reorderRows(1, *order);
                checkSortItem(chosen);
            }
            holdControls(false);
            if (!failure.isEmpty())
                services_.messages->error(this, QStringLiteral("The sort failed: %1.").arg(failure));
        });
}

QString ScanWindow::cellOf(const char* row, int column)
{
    const std::string_view text = GridRowStore::cell(row, column);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void ScanWindow::holdControls(bool hold)
{
    if (!hold) {
        for (QWidget* control : heldControls_)
            control->setEnabled(true);
        heldControls_.clear();
        return;
    }
    for (QWidget* control : findChildren<QWidget*>()) {
        const bool input = qobject_cast<QAbstractButton*>(control) || qobject_cast<QLineEdit*>(control) ||
                           qobject_cast<QAbstractSpinBox*>(control) || qobject_cast<QComboBox*>(control);
        if (input && control->isEnabled() && !grid->isAncestorOf(control)) {
            control->setEnabled(false);
            heldControls_.push_back(control);
        }
    }
}

QDate ScanWindow::today() const
{
    return services_.clock ? services_.clock->now().date() : QDate::currentDate();
}

void ScanWindow::browseCurrentRow(BrowseAt at, const QString& mask)
{
    // Empty for the title row and for rows without a file.
    const std::string path = gridModel_->rowPath(grid->Row());
    if (path.empty())
        return;
    if (at == BrowseAt::Directory) {
        TfrmBrowse::browse(this, services_, path, std::string(), mask);
        return;
    }
    const auto [directory, name] = splitPath(path);
    TfrmBrowse::browse(this, services_, directory, name, mask);
}

QLabel* ScanWindow::makeStatusLine(const QString& name, QWidget* parent, bool framed)
{
    auto* status = new QLabel(parent);
    status->setObjectName(name);
    if (framed)
        status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    status->setTextFormat(Qt::PlainText);
    return status;
}

void ScanWindow::placeGridAndStatus(int top, QWidget* status, int statusHeight)
{
    const int choicesHeight = choices_->stripHeight();
    grid->setGeometry(0, top, width(), std::max(0, height() - top - statusHeight - choicesHeight));
    choices_->setGeometry(0, height() - statusHeight - choicesHeight, width(), choicesHeight);
    status->setGeometry(0, height() - statusHeight, width(), statusHeight);
}

void ScanWindow::btAbortClick()
{
    if (!scanning())
        return;
    btAbort->hide();
    abortScan();
}

void ScanWindow::cb1Click()
{
    const bool any = pnlDrives->anyChecked();
    for (QPushButton* button : startButtons_)
        button->setEnabled(any);
}

void ScanWindow::setupDrives()
{
    std::vector<Drive> drives = services_.drives->drives();
    const int current = services_.drives->currentDriveIndex(drives);
    // Folders the user asked for always get a box (a drive's own root keeps
    // the drive's); drives beyond that give way.
    std::vector<Drive> folders;
    for (const Drive& folder : services_.drives->folders()) {
        if (std::none_of(drives.begin(), drives.end(), [&](const Drive& d) { return d.root == folder.root; }))
            folders.push_back(folder);
    }
    const size_t folderBoxes = std::min<size_t>(folders.size(), DrivePanel::kBoxes);
    drives.resize(std::min(drives.size(), DrivePanel::kBoxes - folderBoxes));
    const int currentShown = current < int(drives.size()) ? current : -1;
    drives.insert(drives.end(), folders.begin(), folders.begin() + ptrdiff_t(folderBoxes));
    pnlDrives->setupDriveBoxes(drives, currentShown);

    QStringList ticked;
    if (!drivesSetUp_ && !services_.drives->startRoots().empty()) {
        for (const std::string& root : services_.drives->startRoots())
            ticked << QString::fromStdString(root);
    } else {
        ticked = rememberedValue(settingsGroup() + QStringLiteral("/drives")).toStringList();
    }
    drivesSetUp_ = true;
    bool anyShown = false;
    for (const Drive& drive : drives)
        anyShown = anyShown || ticked.contains(QString::fromStdString(drive.root));
    if (anyShown) {
        for (size_t i = 0; i < drives.size(); ++i)
            pnlDrives->box(int(i) + 1)->setChecked(ticked.contains(QString::fromStdString(drives[i].root)));
    }
    placeDrivePanel();
    cb1Click();
}

void ScanWindow::btFolderClick()
{
    static DialogFolderChooser dialog;
    FolderChooser* chooser = services_.folders ? services_.folders : &dialog;
    const QString chosen = chooser->chooseFolder(this);
    if (chosen.isEmpty())
        return;
    std::string why;
    const std::optional<Drive> folder = folderRoot(QFile::encodeName(chosen).toStdString(), &why);
    if (!folder) {
        services_.messages->error(this, QStringLiteral("Can't open folder %1: %2")
                                            .arg(displayName(QFile::encodeName(chosen).toStdString()),
                                                 QString::fromLocal8Bit(why.c_str())));
        return;
    }
    if (pnlDrives->addBox(*folder) == 0)
        return; // no box free: "Folder…" is not even shown then
    services_.drives->addFolder(*folder);
    fitToDrives();
    cb1Click();
}

void ScanWindow::placeDrivePanel()
{
    const int gap = scaled(this, 10);
    Label4->adjustSize();
    pnlDrives->fitWidth(width() - gap - Label4->width() - 2 * gap - leftControlsRight());
    pnlDrives->move(width() - gap - pnlDrives->width(), pnlDrives->y());
    Label4->move(pnlDrives->x() - gap - Label4->width(), Label4->y());
}

int ScanWindow::widthForDrives(bool narrowest) const
{
    const int gap = scaled(this, 10);
    const int panel = narrowest ? pnlDrives->narrowestWidth() : pnlDrives->naturalWidth();
    return leftControlsRight() + gap + Label4->sizeHint().width() + gap + panel + gap;
}

int ScanWindow::screenRoom() const
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    // Room for the window manager's frame.
    return screen ? screen->availableGeometry().width() - scaled(this, 10) : 1 << 16;
}

void ScanWindow::fitWidthToDrives(int minimumForOthers, int minimumHeight)
{
    const int room = screenRoom();
    setMinimumSize(std::min(std::max(minimumForOthers, widthForDrives(true)), room), minimumHeight);
    const int wanted = std::min(widthForDrives(false), room);
    if (width() < wanted)
        resize(wanted, height());
    else if (width() > room)
        resize(std::max(minimumWidth(), room), height());
    placeDrivePanel();
}

void ScanWindow::setGridTop(int top)
{
    gridTop_ = top;
    grid->setGeometry(0, gridTop_, width(), height() - gridTop_);
}

void ScanWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    placeDrivePanel();
    grid->setGeometry(0, gridTop_, width(), height() - gridTop_);
}

void ScanWindow::placeOnFirstShow()
{
    restoreWindowSize(this, settingsGroup());
    centreOnScreen(this);
}

} // namespace kelvane
