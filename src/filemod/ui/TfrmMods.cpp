#include "filemod/ui/TfrmMods.h"

#include "common/resultgrid.h"
#include "common/stamptext.h"
#include "common/ui/DrivePanel.h"
#include "common/ui/ResultGridView.h"
#include "common/ui/services.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

namespace kelvane {

TfrmMods::TfrmMods(Services& services, QWidget* parent)
    : ScanWindow(services, 35, 199,
                 {QStringLiteral("Name"), QStringLiteral("Date"), QStringLiteral("Time"),
                  QStringLiteral("Day"), QStringLiteral("Directory")},
                 parent)
{
    setObjectName(QStringLiteral("frmMods"));
    setWindowTitle(QStringLiteral("Files changed in a range of dates"));
    auto* Label1 = new QLabel(QStringLiteral("Show files modified/created between these two dates:"), this);
    Label1->setGeometry(8, 8, 330, 20);
    auto* Label2 = new QLabel(QStringLiteral("S&tarting Date:"), this);
    auto* Label3 = new QLabel(QStringLiteral("&Ending Date:"), this);
    dtStart = new QLineEdit(this);
    dtStart->setObjectName(QStringLiteral("dtStart"));
    dtEnd = new QLineEdit(this);
    dtEnd->setObjectName(QStringLiteral("dtEnd"));
    Label2->setBuddy(dtStart);
    Label3->setBuddy(dtEnd);
    Label2->setGeometry(8, 42, 100, 22);
    dtStart->setGeometry(110, 40, 110, 24);
    Label3->setGeometry(8, 76, 100, 22);
    dtEnd->setGeometry(110, 74, 110, 24);
    btOK = makeButton(QStringLiteral("btOK"), QStringLiteral("&Start"),
                      QStringLiteral("Start scanning for files"));
    btOK->setDefault(true);
    setStartButtons({btOK});
    resize(640, 406);
    pnlDrives->move(0, 4);
    Label4->move(0, 8);
    const int buttonTop = 171 - 34;
    btOK->setGeometry(3, buttonTop, 75, 28);
    btClose->setGeometry(81, buttonTop, 75, 28);
    setGridTop(171);
    FormShow();
}

void TfrmMods::FormShow()
{
    const QString today = QLocale().toString(services_.clock->now().date(), userShortDateFormat());
    dtStart->setText(today);
    dtEnd->setText(today);
    gridModel_->clearRows();
    setupDrives();
}

} // namespace kelvane
