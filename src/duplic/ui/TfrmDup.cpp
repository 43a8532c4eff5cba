#include "duplic/ui/TfrmDup.h"

#include "common/resultgrid.h"
#include "common/ui/DrivePanel.h"
#include "common/ui/ResultGridView.h"
#include "duplic/findduplicates.h"

#include <QLabel>
#include <QPushButton>

namespace kelvane {

namespace {

QStringList titlesOfMode()
{
    if (findDuplicates)
        return {QStringLiteral("Filename"), QStringLiteral("Size in K"), QStringLiteral("Date"),
                QStringLiteral("Time"), QStringLiteral("Directory")};
    return {QStringLiteral("Size in K"), QStringLiteral("Date"), QStringLiteral("Time"),
            QStringLiteral("FileName")};
}

} // namespace

TfrmDup::TfrmDup(Services& services, QWidget* parent) : ScanWindow(services, 41, 205, titlesOfMode(), parent)
{
    setObjectName(QStringLiteral("frmDup"));
    btScan = makeButton(QStringLiteral("btScan"), QStringLiteral("&Scan"), {});
    btExact = makeButton(QStringLiteral("btExact"), QStringLiteral("&Exact"),
                         QStringLiteral("Search for duplicates based on file name AND size"));
    setStartButtons({btScan, btExact});
    resize(640, 406);
    pnlDrives->move(0, 4);
    Label4->move(0, 8);
    const int buttonTop = 4 + pnlDrives->height() - 28;
    int left = 3;
    for (QPushButton* button : {btScan, btExact, btClose}) {
        button->setGeometry(left, buttonTop, 75, 28);
        left += 78;
    }
    setGridTop(4 + pnlDrives->height() + 6);
    FormShow();
}

void TfrmDup::FormShow()
{
    gridModel_->setTitles(titlesOfMode());
    gridModel_->clearRows();
    if (findDuplicates) {
        setWindowTitle(QStringLiteral("Find and delete duplicate files"));
        btScan->setToolTip(QStringLiteral("Duplicates on file name only"));
        btExact->show();
        btClose->move(btExact->x() + btExact->width() + 3, btClose->y());
    } else {
        setWindowTitle(QStringLiteral("Find and delete file hogs"));
        btScan->setToolTip(QStringLiteral("Start scanning for file hogs"));
        btExact->hide();
        btClose->move(btScan->x() + btScan->width() + 3, btClose->y());
    }
    setupDrives();
}

} // namespace kelvane
