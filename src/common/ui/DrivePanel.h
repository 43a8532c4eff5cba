#pragma once

#include "common/drive.h"

#include <QFrame>

#include <array>
#include <vector>

class QCheckBox;
class QToolButton;

namespace kelvane {

// The panel of 25 drive boxes (cb1 to cb25, columns of five filled column by
// column) that the scanning windows put at their top right. It has as many
// columns as its drives need; a caption too long for its column is elided in
// the middle, the full path in the box's tool tip. The place after the last
// box holds "Folder…", which asks for a folder to scan as a root.
class DrivePanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int kBoxes = 25;
    static constexpr int kRows = 5;

    // boxWidth and panelWidth are the design sizes, kept while the captions
    // fit in them.
    DrivePanel(int boxWidth, int panelWidth, QWidget* parent = nullptr);

    // Shows one box per drive (at most 25), the current drive's box ticked.
    void setupDriveBoxes(const std::vector<Drive>& drives, int current);
    // Ticks the box of drive's root, adding one after the others when it has
    // none. Returns the box's number, or 0 when all 25 are taken.
    int addBox(const Drive& drive);
    // "Folder…": shown while a box is free.
    QToolButton* folderButton() const { return btFolder; }

    // Lays the boxes out in at most maxWidth pixels, never narrower than
    // narrowestWidth().
    void fitWidth(int maxWidth);
    // The width with every caption whole up to a sensible length.
    int naturalWidth() const;
    // The width with every caption cut to a few characters.
    int narrowestWidth() const;

    // Box i, counted from 1 as in cb1 to cb25.
    QCheckBox* box(int i) const { return boxes_[size_t(i - 1)]; }
    // The caption box i shows (its text without the doubled "&").
    QString shownCaption(int i) const;
    bool anyChecked() const;
    // The drives of the visible, ticked boxes in box order.
    std::vector<Drive> selectedDrives() const;

Q_SIGNALS:
    // Any box clicked (the windows' cb1Click).
    void boxClicked();
    // "Folder…" clicked.
    void folderRequested();

protected:
    void changeEvent(QEvent* event) override;

private:
    // Places taken: the boxes shown and "Folder…" while there is room for it.
    int places() const;
    int columns() const;
    int folderButtonWidth() const;
    // Check indicator and spacing beside the caption.
    int chromeWidth() const;
    int widestCaption() const;
    // A box wide enough for captions of up to so many average characters.
    int boxWidthFor(int averageCharacters) const;
    int columnStep(int boxWidth) const;
    int panelWidthFor(int boxWidth) const;
    void layoutBoxes(int boxWidth);

    std::array<QCheckBox*, kBoxes> boxes_{};
    QToolButton* btFolder;
    std::vector<Drive> drives_;
    int boxWidth_;
    int panelWidth_;
    mutable int chrome_ = -1; // see chromeWidth()
};

} // namespace kelvane
