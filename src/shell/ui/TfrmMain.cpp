#include "shell/ui/TfrmMain.h"

#include "common/ui/geometry.h"
#include "common/ui/services.h"
#include "dirhog/ui/TfrmDirHog.h"
#include "duplic/findduplicates.h"
#include "duplic/ui/TfrmDup.h"
#include "filemod/ui/TfrmMods.h"
#include "shell/ui/TfrmAbout.h"
#include "stats/ui/TfrmStatistics.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QToolTip>

#include <exception>
#include <memory>

namespace kelvane {

namespace {

constexpr int kPanelLeft = 11;
constexpr int kPanelTop = 8;
constexpr int kPanelStep = 56;

QFont boldPixelFont(QFont font)
{
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

} // namespace

TfrmMain::TfrmMain(Services& services, QWidget* parent)
    : QWidget(parent), services_(services), runModal_([](QDialog& dialog) { dialog.exec(); })
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Kelvane '95 Version 2.0 from Brellwick"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(boldPixelFont(font()));

    btDuplicate = addTool(0, QStringLiteral("btDuplicate"), QStringLiteral("&Duplicate files"),
                          QStringLiteral("Locate and view duplicate files"));
    btFileHog = addTool(1, QStringLiteral("btFileHog"), QStringLiteral("&File hogs"),
                        QStringLiteral("Locate and view file hogs (large files)"));
    btFiles = addTool(2, QStringLiteral("btFiles"), QStringLiteral("Files &changed"),
                      QStringLiteral("Displays modified files within a range of dates"));
    btDirHogs = addTool(3, QStringLiteral("btDirHogs"), QStringLiteral("Directory &hogs"),
                        QStringLiteral("Displays large directories"));
    btStatistic = addTool(4, QStringLiteral("btStatistic"), QStringLiteral("&Statistics"),
                          QStringLiteral("Displays interesting statistics"));
    btDuplicate->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    btFileHog->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    btFiles->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    btDirHogs->setIcon(style()->standardIcon(QStyle::SP_DirIcon));
    btStatistic->setIcon(style()->standardIcon(QStyle::SP_DriveHDIcon));

    const int bottom = kPanelTop + 5 * kPanelStep + 14;
    btReach = new QPushButton(QStringLiteral("H&ow to reach us"), this);
    btReach->setObjectName(QStringLiteral("btReach"));
    btReach->setGeometry(kPanelLeft, bottom, 185, 28);
    btReach->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    btClose = new QPushButton(QStringLiteral("E&xit"), this);
    btClose->setObjectName(QStringLiteral("btClose"));
    btClose->setToolTip(QStringLiteral("Quit and close "));
    btClose->setGeometry(kPanelLeft + 463 - 185, bottom, 185, 28);
    btClose->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));

    lb1 = new QListWidget(this);
    lb1->setObjectName(QStringLiteral("lb1"));
    lb1->hide();

    connect(btDuplicate, &QPushButton::clicked, this, &TfrmMain::btDuplicateClick);
    connect(btFileHog, &QPushButton::clicked, this, &TfrmMain::btFileHogClick);
    connect(btFiles, &QPushButton::clicked, this, &TfrmMain::btFilesClick);
    connect(btDirHogs, &QPushButton::clicked, this, &TfrmMain::btDirHogsClick);
    connect(btStatistic, &QPushButton::clicked, this, &TfrmMain::btStatisticClick);
    connect(btReach, &QPushButton::clicked, this, &TfrmMain::btReachClick);
    connect(btClose, &QPushButton::clicked, this, &TfrmMain::btCloseClick);

    setFixedSize(scaled(this, 485), scaled(this, 353));
    FormCreate();
}

QPushButton* TfrmMain::addTool(int index, const QString& name, const QString& caption,
                               const QString& description)
{
    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(kPanelLeft, kPanelTop + index * kPanelStep, 463, 51);
    auto* button = new QPushButton(caption, panel);
    button->setObjectName(name);
    button->setGeometry(8, 11, 185, 28);
    auto* label = new QLabel(description, panel);
    label->setObjectName(name + QStringLiteral("Label"));
    label->setFont(boldPixelFont(label->font()));
    label->setWordWrap(true);
    label->setGeometry(205, 2, 463 - 205 - 6, 47);
    return button;
}

void TfrmMain::FormCreate()
{
    searchPath_.GetSearchPath();
    lb1->addItems(searchPath_.lines());
    services_.searchPath = &searchPath_;
    // Hints: on for the whole program, on aqua, after one second.
    QPalette hints = QToolTip::palette();
    hints.setColor(QPalette::ToolTipBase, QColor(0, 255, 255));
    hints.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(hints);
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    centreOnScreen(this);
}

void TfrmMain::openModal(const std::function<QDialog*(QWidget*)>& create)
{
    std::unique_ptr<QDialog> window;
    try {
        window.reset(create(this));
        runModal_(*window);
    } catch (const std::exception& e) {
        services_.messages->error(this, QString::fromLocal8Bit(e.what()));
    }
}

void TfrmMain::btDuplicateClick()
{
    findDuplicates = true;
    openModal([this](QWidget* owner) { return new TfrmDup(services_, owner); });
}

void TfrmMain::btFileHogClick()
{
    findDuplicates = false;
    openModal([this](QWidget* owner) { return new TfrmDup(services_, owner); });
}

void TfrmMain::btFilesClick()
{
    openModal([this](QWidget* owner) { return new TfrmMods(services_, owner); });
}

void TfrmMain::btDirHogsClick()
{
    openModal([this](QWidget* owner) { return new TfrmDirHog(services_, owner); });
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (statistics_)
        statistics_->hide();
    Q_EMIT closed();
}

void TfrmMain::btStatisticClick()
{
    if (!statistics_)
        return;
    statistics_->show();
    statistics_->raise();
    statistics_->activateWindow();
}

void TfrmMain::btReachClick()
{
    openModal([](QWidget* owner) { return new TfrmAbout(owner); });
}

void TfrmMain::btCloseClick()
{
    const QDateTime lastGoodDay(QDate(1998, 5, 1), QTime(0, 0));
    if (services_.clock->now() > lastGoodDay)
        services_.messages->plain(this,
                                  QStringLiteral("This version is more than 2 years old.  You may want to "
                                                 "check  with Brellwick for a new version."));
    close();
}

} // namespace kelvane
