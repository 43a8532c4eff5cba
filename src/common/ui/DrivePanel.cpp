#include "common/ui/DrivePanel.h"

#include <QCheckBox>

#include <algorithm>

namespace kelvane {

namespace {

constexpr int kLeft = 8;
constexpr int kColumnStep = 38;
constexpr int kTop = 6;
constexpr int kRowStep = 24;
constexpr int kBoxHeight = 17;
constexpr int kPanelHeight = 127;

} // namespace

DrivePanel::DrivePanel(int boxWidth, int panelWidth, QWidget* parent)
    : QFrame(parent), boxWidth_(boxWidth), panelWidth_(panelWidth)
{
    setObjectName(QStringLiteral("pnlDrives"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    for (int i = 0; i < kBoxes; ++i) {
        auto* cb = new QCheckBox(this);
        cb->setObjectName(QStringLiteral("cb%1").arg(i + 1));
        cb->hide();
        connect(cb, &QCheckBox::clicked, this, &DrivePanel::boxClicked);
        boxes_[size_t(i)] = cb;
    }
    layoutBoxes();
}

void DrivePanel::setupDriveBoxes(const std::vector<Drive>& drives, int current)
{
    drives_.assign(drives.begin(), drives.begin() + std::min<ptrdiff_t>(ptrdiff_t(drives.size()), kBoxes));
    for (QCheckBox* cb : boxes_)
        cb->hide();
    for (size_t i = 0; i < drives_.size(); ++i) {
        QCheckBox* cb = boxes_[i];
        cb->setText(drives_[i].caption);
        cb->setToolTip(drives_[i].toolTip);
        cb->setVisible(true);
        if (int(i) == current)
            cb->setChecked(true);
    }
    layoutBoxes();
}

void DrivePanel::layoutBoxes()
{
    // Room for the widest caption next to the check indicator.
    int width = boxWidth_;
    for (size_t i = 0; i < drives_.size(); ++i)
        width = std::max(width, boxes_[i]->sizeHint().width());
    const int step = std::max(kColumnStep, width + 3);
    for (int i = 0; i < kBoxes; ++i)
        boxes_[size_t(i)]->setGeometry(kLeft + (i / 5) * step, kTop + (i % 5) * kRowStep, width, kBoxHeight);
    setFixedSize(std::max(panelWidth_, kLeft + 4 * step + width + kLeft), kPanelHeight);
}

bool DrivePanel::anyChecked() const
{
    return std::any_of(boxes_.begin(), boxes_.end(), [](QCheckBox* cb) { return cb->isChecked(); });
}

std::vector<Drive> DrivePanel::selectedDrives() const
{
    std::vector<Drive> selected;
    for (size_t i = 0; i < drives_.size(); ++i) {
        if (!boxes_[i]->isHidden() && boxes_[i]->isChecked())
            selected.push_back(drives_[i]);
    }
    return selected;
}

} // namespace kelvane
