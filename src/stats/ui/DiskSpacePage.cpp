#include "stats/ui/DiskSpacePage.h"

#include "common/ui/geometry.h"
#include "stats/diskspacetexts.h"
#include "stats/ui/Gauge.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace kelvane {

namespace {

const QColor kFreeColour(Qt::magenta); // fuchsia
const QColor kUsedColour(Qt::blue);
const QColor kReservedColour(Qt::gray);

QLabel* label(const QString& name, const QString& text, QWidget* parent,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setAlignment(alignment);
    return l;
}

QFrame* swatch(const QString& name, const QColor& colour, QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setAutoFillBackground(true);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, colour);
    panel->setPalette(p);
    panel->setFixedSize(scaled(parent, 25), scaled(parent, 25));
    return panel;
}

} // namespace

DiskSpacePage::DiskSpacePage(QWidget* parent) : QWidget(parent)
{
    QFont big(QStringLiteral("Arial"));
    big.setPixelSize(21);
    setFont(big);
    QPalette black = palette();
    black.setColor(QPalette::WindowText, Qt::black);
    setPalette(black);

    const QString placeholder = QStringLiteral("9,999,999,999");
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    lblTotalC = label(QStringLiteral("lblTotalC"), QStringLiteral("Total Capacity"), this);
    lblTotal = label(QStringLiteral("lblTotal"), placeholder, this, right);
    Label25 = label(QStringLiteral("Label25"), QStringLiteral("bytes"), this);
    lblFreeC = label(QStringLiteral("lblFreeC"), QStringLiteral("Free Space on Drive:"), this);
    lblFree = label(QStringLiteral("lblFree"), placeholder, this, right);
    lblPct = label(QStringLiteral("lblPct"), QStringLiteral("bytes"), this);
    Panel1 = swatch(QStringLiteral("Panel1"), kFreeColour, this);
    Label26 = label(QStringLiteral("Label26"), QStringLiteral("Used Space on Drive:"), this);
    lblUsed = label(QStringLiteral("lblUsed"), placeholder, this, right);
    lblPct2 = label(QStringLiteral("lblPct2"), QStringLiteral("bytes"), this);
    Panel2 = swatch(QStringLiteral("Panel2"), kUsedColour, this);
    lblReservedC = label(QStringLiteral("lblReservedC"), QStringLiteral("Reserved for root on Drive:"), this);
    lblReserved = label(QStringLiteral("lblReserved"), placeholder, this, right);
    lblPct3 = label(QStringLiteral("lblPct3"), QStringLiteral("bytes"), this);
    Panel4 = swatch(QStringLiteral("Panel4"), kReservedColour, this);
    // A long mount path wraps rather than pushing the numbers off the page.
    for (QLabel* caption : {lblTotalC, lblFreeC, Label26, lblReservedC})
        caption->setWordWrap(true);

    auto* rows = new QGridLayout;
    rows->setHorizontalSpacing(scaled(this, 10));
    rows->setVerticalSpacing(scaled(this, 18));
    const QList<QList<QWidget*>> table = {{lblTotalC, lblTotal, Label25, nullptr},
                                          {lblFreeC, lblFree, lblPct, Panel1},
                                          {Label26, lblUsed, lblPct2, Panel2},
                                          {lblReservedC, lblReserved, lblPct3, Panel4}};
    for (int r = 0; r < table.size(); ++r) {
        for (int c = 0; c < table[r].size(); ++c) {
            if (table[r][c])
                rows->addWidget(table[r][c], r, c);
        }
    }
    rows->setColumnStretch(0, 3);
    rows->setColumnStretch(1, 2);
    rows->setColumnMinimumWidth(2, scaled(this, 120));

    Panel3 = new QFrame(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel3->setLineWidth(2);
    Gauge1 = new Gauge(kFreeColour, kUsedColour, Panel3);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setTextVisible(false);
    auto* bar = new QVBoxLayout(Panel3);
    bar->setContentsMargins(scaled(this, 8), scaled(this, 8), scaled(this, 8), scaled(this, 8));
    bar->addWidget(Gauge1);
    Gauge1->setFixedHeight(scaled(this, 36));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(scaled(this, 16), scaled(this, 24), scaled(this, 16), scaled(this, 16));
    layout->addLayout(rows);
    layout->addStretch(1);
    layout->addWidget(Panel3);
}

void DiskSpacePage::showSpace(const DiskSpaceTexts& t)
{
    lblFreeC->setText(t.freeCaption);
    Label26->setText(t.usedCaption);
    lblReservedC->setText(t.reservedCaption);
    Gauge1->setValue(t.freeShare);
    Gauge1->setSecondPart(t.reservedShare, kReservedColour);
    lblTotal->setText(t.total);
    lblFree->setText(t.free);
    lblPct->setText(t.freePercent);
    lblUsed->setText(t.used);
    lblPct2->setText(t.usedPercent);
    lblReserved->setText(t.reserved);
    lblPct3->setText(t.reservedPercent);
}

} // namespace kelvane
