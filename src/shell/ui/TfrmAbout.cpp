#include "shell/ui/TfrmAbout.h"

#include "common/ui/geometry.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace kelvane {

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("How to contact us"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* maker = new QLabel(QStringLiteral("Kelvane '95 Version 2.0 is made by Brellwick."), this);
    QFont bold = maker->font();
    bold.setBold(true);
    maker->setFont(bold);
    auto* postal = new QLabel(
        QStringLiteral("Write to us:\n\nBrellwick\n14 Quarry Row\nAldershot GU11 1AB\nEngland"), this);
    postal->setObjectName(QStringLiteral("lblPostal"));
    auto* mail = new QLabel(QStringLiteral("Or send electronic mail to:  support@brellwick.example"), this);
    mail->setObjectName(QStringLiteral("lblMail"));
    mail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(12);
    layout->addWidget(maker);
    layout->addWidget(postal);
    layout->addWidget(mail);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

void TfrmAbout::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnScreen(this);
}

} // namespace kelvane
