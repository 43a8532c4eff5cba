#include "filemod/ui/TfrmPickDate.h"

#include "common/ui/geometry.h"
#include "common/ui/services.h"
#include "filemod/ui/MonthCalendar.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

namespace kelvane {

TfrmPickDate::TfrmPickDate(QWidget* parent, Services& services)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      services_(services)
{
    setObjectName(QStringLiteral("frmPickDate"));
    setWindowTitle(QStringLiteral("Select a Date"));
    QFont bold = font();
    bold.setPointSize(8);
    bold.setBold(true);
    setFont(bold);

    TitleLabel = new QLabel(QStringLiteral("February, 1995"), this);
    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    TitleLabel->setAlignment(Qt::AlignCenter);
    PrevMonthBtn = new QToolButton(this);
    PrevMonthBtn->setObjectName(QStringLiteral("PrevMonthBtn"));
    PrevMonthBtn->setArrowType(Qt::LeftArrow);
    PrevMonthBtn->setAutoRaise(true);
    NextMonthBtn = new QToolButton(this);
    NextMonthBtn->setObjectName(QStringLiteral("NextMonthBtn"));
    NextMonthBtn->setArrowType(Qt::RightArrow);
    NextMonthBtn->setAutoRaise(true);
    Calendar1 = new MonthCalendar(this);
    Calendar1->setObjectName(QStringLiteral("Calendar1"));
    OkBtn = new QPushButton(QStringLiteral("&OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);

    auto* title = new QHBoxLayout;
    title->addWidget(PrevMonthBtn);
    title->addWidget(TitleLabel, 1);
    title->addWidget(NextMonthBtn);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QGridLayout(this);
    layout->addLayout(title, 0, 0);
    layout->addWidget(Calendar1, 1, 0);
    layout->addLayout(buttons, 2, 0);

    connect(PrevMonthBtn, &QToolButton::clicked, this, &TfrmPickDate::PrevMonthBtnClick);
    connect(NextMonthBtn, &QToolButton::clicked, this, &TfrmPickDate::NextMonthBtnClick);
    connect(Calendar1, &QCalendarWidget::selectionChanged, this, &TfrmPickDate::Calendar1Change);
    connect(Calendar1, &QCalendarWidget::activated, this, &QDialog::accept); // Enter in the grid
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    // The window sees every key before its controls do.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    if (QAbstractItemView* grid = Calendar1->dayGrid())
        grid->viewport()->installEventFilter(this);

    setFixedSize(sizeHint());
    centreOnScreen(this);
}

std::optional<QDate> TfrmPickDate::pick(QWidget* parent, Services& services, QDate date)
{
    TfrmPickDate window(parent, services);
    window.setDate(date);
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    return window.getDate();
}

void TfrmPickDate::setDate(QDate date)
{
    Calendar1->setDate(date.isValid() ? date : services_.clock->now().date());
    Calendar1Change();
}

QDate TfrmPickDate::getDate() const
{
    return Calendar1->date();
}

void TfrmPickDate::PrevMonthBtnClick()
{
    Calendar1->stepMonths(-1);
}

void TfrmPickDate::NextMonthBtnClick()
{
    Calendar1->stepMonths(1);
}

void TfrmPickDate::Calendar1Change()
{
    TitleLabel->setText(QLocale().toString(Calendar1->date(), QStringLiteral("MMMM yyyy")));
}

void TfrmPickDate::Calendar1DblClick()
{
    accept();
}

bool TfrmPickDate::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key != Qt::Key_PageUp && key != Qt::Key_PageDown)
        return false;
    // Held with a modifier the key does nothing at all (the calendar would
    // otherwise step the month itself).
    if (modifiers & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier))
        return true;
    QWidget* focus = focusWidget();
    if (qobject_cast<QLineEdit*>(focus) || qobject_cast<QTextEdit*>(focus) ||
        qobject_cast<QAbstractSpinBox*>(focus))
        return false;
    if (key == Qt::Key_PageUp)
        PrevMonthBtnClick();
    else
        NextMonthBtnClick();
    return true;
}

bool TfrmPickDate::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (FormKeyDown(key->key(), key->modifiers()))
            return true;
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        // Anywhere in the grid, also on an empty cell: the first click has
        // already selected the day under the mouse, if there was one.
        const QAbstractItemView* grid = Calendar1->dayGrid();
        if (grid && watched == grid->viewport()) {
            Calendar1DblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kelvane
