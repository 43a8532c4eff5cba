#include "stats/ui/BandPage.h"

#include "common/commas.h"
#include "common/ui/geometry.h"
#include "stats/bandshares.h"
#include "stats/ui/Gauge.h"

#include <QGridLayout>
#include <QLabel>

namespace kelvane {

namespace {

QLabel* numberLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

Gauge* gauge(const QString& name, const QColor& colour, QWidget* parent)
{
    auto* g = new Gauge(colour, Qt::white, parent);
    g->setObjectName(name);
    g->setFixedHeight(scaled(parent, 19));
    return g;
}

} // namespace

BandPage::BandPage(const std::array<BandRowNames, kBands>& names, const std::array<QString, kBands>& captions,
                   const QColor& filesColour, const QColor& bytesColour, QWidget* parent)
    : QWidget(parent)
{
    grid_ = new QGridLayout(this);
    grid_->setHorizontalSpacing(scaled(this, 12));
    grid_->setVerticalSpacing(scaled(this, 6));
    const QStringList headings = {QStringLiteral("% of total # files"), QStringLiteral("# Files"),
                                  QStringLiteral("% of total size"), QStringLiteral("File Sizes")};
    for (int column = 0; column < headings.size(); ++column) {
        auto* heading = new QLabel(headings[column], this);
        heading->setAlignment(column % 2 ? Qt::AlignRight | Qt::AlignBottom
                                         : Qt::AlignLeft | Qt::AlignBottom);
        grid_->addWidget(heading, 0, column + 1);
        bytesHeading_ = heading; // the last one
    }
    for (int band = 1; band <= kBands; ++band) {
        const BandRowNames& n = names[band - 1];
        auto* caption = new QLabel(captions[band - 1], this);
        caption->setObjectName(n.caption);
        Row& row = rows_[band - 1];
        row.filesGauge = gauge(n.filesGauge, filesColour, this);
        row.filesLabel = numberLabel(n.filesLabel, this);
        row.bytesGauge = gauge(n.bytesGauge, bytesColour, this);
        row.bytesLabel = numberLabel(n.bytesLabel, this);
        grid_->addWidget(caption, band, 0);
        grid_->addWidget(row.filesGauge, band, 1);
        grid_->addWidget(row.filesLabel, band, 2);
        grid_->addWidget(row.bytesGauge, band, 3);
        grid_->addWidget(row.bytesLabel, band, 4);
    }
    grid_->setColumnStretch(1, 3);
    grid_->setColumnStretch(2, 2);
    grid_->setColumnStretch(3, 3);
    grid_->setColumnStretch(4, 3);
    grid_->setRowStretch(kBands + 2, 1);
}

void BandPage::addBelow(QWidget* widget)
{
    grid_->addWidget(widget, kBands + 1, 0, 1, 5);
}

void BandPage::showTotals(const BandTotals& totals)
{
    const BandShares shares = bandShares(totals);
    for (int band = 1; band <= kBands; ++band) {
        Row& row = rows_[band - 1];
        row.filesLabel->setText(addCommas(int64_t(totals.files[band])));
        row.bytesLabel->setText(addCommas(int64_t(totals.bytes[band])));
        // A column of no files or no bytes reads 0 like its labels.
        row.filesGauge->setValue(shares.files ? (*shares.files)[band] : 0);
        row.bytesGauge->setValue(shares.bytes ? (*shares.bytes)[band] : 0);
    }
}

void BandPage::setBytesHeading(const QString& text)
{
    bytesHeading_->setText(text);
}

} // namespace kelvane
