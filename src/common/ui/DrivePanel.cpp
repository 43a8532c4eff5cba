#include "common/ui/DrivePanel.h"

#include "common/ui/geometry.h"

#include <QCheckBox>
#include <QEvent>
#include <QToolButton>

#include <algorithm>

namespace kelvane {

namespace {

// Design sizes at 96 dpi.
constexpr int kLeft = 8;
constexpr int kRight = 4; // the designed panels end 4 pixels after the fifth column
constexpr int kColumnStep = 38;
constexpr int kColumnGap = 3;
constexpr int kTop = 6;
constexpr int kRowStep = 24;
constexpr int kBoxHeight = 17;
constexpr int kButtonHeight = 23; // "Folder…", centred on its row
constexpr int kPanelHeight = 127;
// Longest caption shown whole, and the least kept of a cut one, in average characters.
constexpr int kSensibleCaption = 32;
constexpr int kShortestCaption = 5;

// A checkbox text shows "&" as an accelerator mark unless it is doubled.
QString literal(const QString& text)
{
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

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
    btFolder = new QToolButton(this);
    btFolder->setObjectName(QStringLiteral("btFolder"));
    btFolder->setText(QStringLiteral("&Folder\u2026"));
    btFolder->setToolTip(QStringLiteral("Add a folder to scan"));
    btFolder->setFocusPolicy(Qt::StrongFocus);
    connect(btFolder, &QToolButton::clicked, this, &DrivePanel::folderRequested);
    layoutBoxes(scaled(this, boxWidth_));
}

void DrivePanel::setupDriveBoxes(const std::vector<Drive>& drives, int current)
{
    drives_.assign(drives.begin(), drives.begin() + std::min<ptrdiff_t>(ptrdiff_t(drives.size()), kBoxes));
    for (QCheckBox* cb : boxes_)
        cb->hide();
    for (size_t i = 0; i < drives_.size(); ++i) {
        QCheckBox* cb = boxes_[i];
        cb->setText(literal(drives_[i].caption));
        cb->setToolTip(drives_[i].caption + QLatin1Char('\n') + drives_[i].toolTip);
        cb->setVisible(true);
        if (int(i) == current)
            cb->setChecked(true);
    }
    layoutBoxes(boxWidthFor(kSensibleCaption));
}

int DrivePanel::addBox(const Drive& drive)
{
    for (size_t i = 0; i < drives_.size(); ++i) {
        if (drives_[i].root == drive.root) {
            boxes_[i]->setChecked(true);
            return int(i) + 1;
        }
    }
    if (drives_.size() >= size_t(kBoxes))
        return 0;
    drives_.push_back(drive);
    QCheckBox* cb = boxes_[drives_.size() - 1];
    cb->setToolTip(drive.caption + QLatin1Char('\n') + drive.toolTip);
    cb->setChecked(true);
    cb->setVisible(true);
    layoutBoxes(boxWidthFor(kSensibleCaption));
    return int(drives_.size());
}

int DrivePanel::places() const
{
    return int(drives_.size()) + (drives_.size() < size_t(kBoxes) ? 1 : 0);
}

int DrivePanel::columns() const
{
    return std::max(1, (places() + kRows - 1) / kRows);
}

int DrivePanel::folderButtonWidth() const
{
    return btFolder->sizeHint().width();
}

int DrivePanel::chromeWidth() const
{
    if (chrome_ < 0) {
        QCheckBox probe;
        probe.setFont(boxes_[0]->font());
        probe.setText(QStringLiteral("M"));
        chrome_ = probe.sizeHint().width() - probe.fontMetrics().horizontalAdvance(QStringLiteral("M"));
    }
    return chrome_;
}

void DrivePanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        chrome_ = -1;
    QFrame::changeEvent(event);
}

int DrivePanel::widestCaption() const
{
    int widest = 0;
    for (size_t i = 0; i < drives_.size(); ++i)
        widest = std::max(widest, boxes_[i]->fontMetrics().horizontalAdvance(drives_[i].caption));
    return widest;
}

int DrivePanel::boxWidthFor(int averageCharacters) const
{
    const int caption = std::min(widestCaption(), fontMetrics().averageCharWidth() * averageCharacters);
    // Two pixels for text widths that are not whole pixels.
    return std::max(scaled(this, boxWidth_), chromeWidth() + caption + 2);
}

int DrivePanel::columnStep(int boxWidth) const
{
    // Design boxes overlap the next column's empty end; wider ones keep a gap.
    return boxWidth <= scaled(this, boxWidth_) ? scaled(this, kColumnStep)
                                               : boxWidth + scaled(this, kColumnGap);
}

int DrivePanel::panelWidthFor(int boxWidth) const
{
    int width = std::max(scaled(this, panelWidth_),
                         scaled(this, kLeft + kRight) + (columns() - 1) * columnStep(boxWidth) + boxWidth);
    // "Folder…" is the last place: it may reach into the empty columns after it.
    if (places() > int(drives_.size()))
        width = std::max(width, scaled(this, kLeft + kRight) + (places() - 1) / kRows * columnStep(boxWidth) +
                                    folderButtonWidth());
    return width;
}

int DrivePanel::naturalWidth() const
{
    return panelWidthFor(boxWidthFor(kSensibleCaption));
}

int DrivePanel::narrowestWidth() const
{
    return panelWidthFor(boxWidthFor(kShortestCaption));
}

void DrivePanel::fitWidth(int maxWidth)
{
    const int room = maxWidth - scaled(this, kLeft + kRight) - (columns() - 1) * scaled(this, kColumnGap);
    layoutBoxes(std::clamp(room / columns(), boxWidthFor(kShortestCaption), boxWidthFor(kSensibleCaption)));
}

void DrivePanel::layoutBoxes(int boxWidth)
{
    const int textRoom = std::max(0, boxWidth - chromeWidth());
    for (size_t i = 0; i < drives_.size(); ++i) {
        const QString shown =
            boxes_[i]->fontMetrics().elidedText(drives_[i].caption, Qt::ElideMiddle, textRoom);
        boxes_[i]->setText(literal(shown));
    }
    const int step = columnStep(boxWidth);
    for (int i = 0; i < kBoxes; ++i)
        boxes_[size_t(i)]->setGeometry(scaled(this, kLeft) + (i / kRows) * step,
                                       scaled(this, kTop) + (i % kRows) * scaled(this, kRowStep), boxWidth,
                                       scaled(this, kBoxHeight));
    const int free = int(drives_.size());
    btFolder->setVisible(free < kBoxes);
    if (free < kBoxes) {
        const int height = std::max(scaled(this, kButtonHeight), btFolder->sizeHint().height());
        const int rowMiddle =
            scaled(this, kTop) + (free % kRows) * scaled(this, kRowStep) + scaled(this, kBoxHeight) / 2;
        btFolder->setGeometry(scaled(this, kLeft) + (free / kRows) * step, rowMiddle - height / 2,
                              folderButtonWidth(), height);
    }
    setFixedSize(panelWidthFor(boxWidth), scaled(this, kPanelHeight));
}

QString DrivePanel::shownCaption(int i) const
{
    return box(i)->text().replace(QStringLiteral("&&"), QStringLiteral("&"));
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
