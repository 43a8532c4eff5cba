#pragma once

#include "common/drive.h"

#include <QFrame>

#include <array>
#include <vector>

class QCheckBox;

namespace kelvane {

// The panel of 25 drive boxes (cb1 to cb25, five columns of five, filled
// column by column) that the scanning windows put at their top right.
class DrivePanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int kBoxes = 25;

    // boxWidth and panelWidth are the design sizes; boxes widen to fit long
    // mount paths and the panel with them.
    DrivePanel(int boxWidth, int panelWidth, QWidget* parent = nullptr);

    // Shows one box per drive (at most 25), the current drive's box ticked.
    void setupDriveBoxes(const std::vector<Drive>& drives, int current);

    // Box i, counted from 1 as in cb1 to cb25.
    QCheckBox* box(int i) const { return boxes_[size_t(i - 1)]; }
    bool anyChecked() const;
    // The drives of the visible, ticked boxes in box order.
    std::vector<Drive> selectedDrives() const;

Q_SIGNALS:
    // Any box clicked (the windows' cb1Click).
    void boxClicked();

private:
    void layoutBoxes();

    std::array<QCheckBox*, kBoxes> boxes_{};
    std::vector<Drive> drives_;
    int boxWidth_;
    int panelWidth_;
};

} // namespace kelvane
