#include "dirhog/ui/TfrmDirHog.h"

#include "common/resultgrid.h"
#include "common/ui/DrivePanel.h"
#include "common/ui/ResultGridView.h"

#include <QLabel>
#include <QPushButton>

namespace kelvane {

TfrmDirHog::TfrmDirHog(Services& services, QWidget* parent)
    : ScanWindow(services, 35, 199,
                 {QStringLiteral("Size"), QStringLiteral("% used"), QStringLiteral("# Files"),
                  QStringLiteral("# Subdirs"), QStringLiteral("Latest File Date"), QStringLiteral("Name")},
                 parent)
{
    setObjectName(QStringLiteral("frmDirHog"));
    setWindowTitle(QStringLiteral("Directory Hogs"));
    btTop = makeButton(QStringLiteral("btTop"), QStringLiteral("&Main directories"),
                       QStringLiteral("Only topmost directories. Does not display sub-directories."));
    btAll = makeButton(QStringLiteral("btAll"), QStringLiteral("&All Directories"),
                       QStringLiteral("ALL directories including sub-directories are displayed"));
    setStartButtons({btTop, btAll});
    resize(640, 406);
    pnlDrives->move(0, 4);
    Label4->move(0, 8);
    const int buttonTop = 4 + pnlDrives->height() - 28;
    btTop->setGeometry(3, buttonTop, 120, 28);
    btAll->setGeometry(126, buttonTop, 120, 28);
    btClose->setGeometry(249, buttonTop, 75, 28);
    setGridTop(4 + pnlDrives->height() + 6);
    grid->setColWidths({61, 40, 40, 49, 90});
    FormShow();
}

void TfrmDirHog::FormShow()
{
    gridModel_->clearRows();
    setupDrives();
}

} // namespace kelvane
