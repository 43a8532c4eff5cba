#include "common/ui/ScanChoices.h"

#include "common/ui/geometry.h"
#include "common/ui/settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QRadioButton>

namespace kelvane {

namespace {

const QString kHiddenKey = QStringLiteral("/includeHidden");
const QString kMeasureKey = QStringLiteral("/spaceOnDisk");

} // namespace

ScanChoices::ScanChoices(const QString& settingsGroup, bool withMeasure, QWidget* parent)
    : QWidget(parent), group_(settingsGroup)
{
    setObjectName(QStringLiteral("pnlChoices"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(scaled(this, 4), 0, scaled(this, 4), 0);
    layout->setSpacing(scaled(this, 16));

    cbHidden = new QCheckBox(QStringLiteral("Include hidden files and folders"), this);
    cbHidden->setObjectName(QStringLiteral("cbHidden"));
    cbHidden->setChecked(rememberedValue(group_ + kHiddenKey, false).toBool());
    layout->addWidget(cbHidden);
    connect(cbHidden, &QCheckBox::toggled, this, [this] {
        save();
        Q_EMIT changed();
    });

    if (withMeasure) {
        rbApparent = new QRadioButton(QStringLiteral("Apparent size"), this);
        rbApparent->setObjectName(QStringLiteral("rbApparent"));
        rbDisk = new QRadioButton(QStringLiteral("Space on disk"), this);
        rbDisk->setObjectName(QStringLiteral("rbDisk"));
        auto* group = new QButtonGroup(this);
        group->addButton(rbApparent);
        group->addButton(rbDisk);
        const bool disk = rememberedValue(group_ + kMeasureKey, false).toBool();
        (disk ? rbDisk : rbApparent)->setChecked(true);
        layout->addWidget(rbApparent);
        layout->addWidget(rbDisk);
        connect(rbDisk, &QRadioButton::toggled, this, [this] {
            save();
            Q_EMIT changed();
        });
    }
    layout->addStretch(1);
}

ScanOptions ScanChoices::options() const
{
    ScanOptions options;
    options.hidden = cbHidden->isChecked();
    if (rbDisk && rbDisk->isChecked())
        options.measure = SizeMeasure::DiskUsage;
    return options;
}

int ScanChoices::stripHeight() const
{
    return std::max(scaled(this, 22), sizeHint().height());
}

void ScanChoices::save()
{
    rememberValue(group_ + kHiddenKey, cbHidden->isChecked());
    if (rbDisk)
        rememberValue(group_ + kMeasureKey, rbDisk->isChecked());
}

} // namespace kelvane
