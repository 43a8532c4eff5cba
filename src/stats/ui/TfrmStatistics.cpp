#include "stats/ui/TfrmStatistics.h"

#include "common/ui/services.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kelvane {

TfrmStatistics::TfrmStatistics(Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window), services_(services)
{
    setObjectName(QStringLiteral("frmStatistics"));
    setWindowTitle(QStringLiteral("File Statistics Not Yet Collected"));
    PageControl1 = new QTabWidget(this);
    for (const char* caption : {"File Types", "File Sizes", "File Ages", "Disk Space"})
        PageControl1->addTab(new QWidget(PageControl1), QString::fromLatin1(caption));
    cbDrive = new QComboBox(this);
    cbDrive->setObjectName(QStringLiteral("cbDrive"));
    for (const Drive& d : services_.drives->drives())
        cbDrive->addItem(d.caption);
    btCollect = new QPushButton(QStringLiteral("&Collect statistics"), this);
    btPrint = new QPushButton(QStringLiteral("&Print page"), this);
    btCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btCollect->setObjectName(QStringLiteral("btCollect"));
    btPrint->setObjectName(QStringLiteral("btPrint"));
    btCancel->setObjectName(QStringLiteral("btCancel"));
    btCollect->setEnabled(false);
    btPrint->setEnabled(false);
    connect(btCancel, &QPushButton::clicked, this, &QWidget::hide);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cbDrive);
    buttons->addStretch();
    buttons->addWidget(btCollect);
    buttons->addWidget(btPrint);
    buttons->addWidget(btCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar1);
    resize(560, 420);
}

} // namespace kelvane
