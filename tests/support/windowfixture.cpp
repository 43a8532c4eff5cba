#include "support/windowfixture.h"

#include <QAccessible>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QtTest>

#include <algorithm>
#include <map>

namespace kelvane::test {

WindowServices::WindowServices(int driveCount, bool shortCaptions)
{
    std::vector<std::string> roots = {drive.root(), second.root()};
    roots.resize(size_t(driveCount));
    std::vector<Drive> list = FixedDriveList::fromDirectories(roots).drives();
    for (size_t i = 0; shortCaptions && i < list.size(); ++i)
        list[i].caption = QStringLiteral("/t%1").arg(i + 1);
    drives = FixedDriveList(list);
}

void WindowServices::setDriveCaptions(const QStringList& captions)
{
    std::vector<Drive> list;
    for (const QString& caption : captions)
        list.push_back(Drive{drive.root(), caption, {}, {}, {}, {}, {}});
    drives = FixedDriveList(list);
}

QStringList column(const ResultGrid& grid, int col)
{
    QStringList cells;
    for (int row = 1; row < grid.RowCount(); ++row)
        cells << grid.Cells(col, row);
    return cells;
}

int rowOf(const ResultGrid& grid, const std::string& path)
{
    for (int row = 1; row < grid.RowCount(); ++row) {
        if (grid.rowPath(row) == path)
            return row;
    }
    return 0;
}

namespace {

QString captionOf(const QWidget& w)
{
    if (const auto* b = qobject_cast<const QAbstractButton*>(&w))
        return b->text();
    if (const auto* l = qobject_cast<const QLabel*>(&w))
        return l->text();
    // An input field is named by its label.
    for (const QLabel* l : w.window()->findChildren<QLabel*>()) {
        if (l->buddy() == &w)
            return l->text();
    }
    return {};
}

QString withoutAccelerator(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove('&');
    return text.replace(QChar(1), QChar('&'));
}

// What a screen reader names a control by: an input field by the label that
// labels it, anything else by its own name.
QString accessibleName(QWidget* w)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    if (!face)
        return {};
    for (const auto& [label, relation] : face->relations(QAccessible::Label)) {
        if (label)
            return label->text(QAccessible::Name);
    }
    return face->text(QAccessible::Name);
}

} // namespace

QStringList layoutDifferences(QWidget& window, const std::vector<ControlLine>& table)
{
    const int s = std::max(1, window.logicalDpiX() / 96);
    QStringList differences;
    auto fail = [&](const char* name, const QString& what) {
        differences << QStringLiteral("%1: %2").arg(QString::fromUtf8(name), what);
    };
    auto find = [&](const char* name) -> QWidget* {
        if (!*name)
            return &window;
        return window.findChild<QWidget*>(QLatin1String(name));
    };
    for (const ControlLine& line : table) {
        QWidget* w = find(line.name);
        if (!w) {
            fail(line.name, QStringLiteral("no such control"));
            continue;
        }
        const QString caption = w == &window ? window.windowTitle() : captionOf(*w);
        if (!line.caption.isNull() && caption != line.caption)
            fail(line.name, QStringLiteral("caption \"%1\", expected \"%2\"").arg(caption, line.caption));
        if (!line.caption.isNull() && w != &window) {
            const QString name = accessibleName(w);
            if (name != withoutAccelerator(line.caption))
                fail(line.name,
                     QStringLiteral("accessible name \"%1\", caption \"%2\"").arg(name, line.caption));
        }
        if (!line.hint.isNull() && w->toolTip() != line.hint)
            fail(line.name, QStringLiteral("hint \"%1\", expected \"%2\"").arg(w->toolTip(), line.hint));
        if (w != &window && w->isVisibleTo(&window) != line.shown)
            fail(line.name, line.shown ? QStringLiteral("hidden") : QStringLiteral("shown"));

        const QWidget* parent = w == &window ? &window : w->parentWidget();
        const QRect g = w == &window ? QRect(QPoint(0, 0), window.size()) : w->geometry();
        const Place& p = line.place;
        QWidget* other = p.other ? find(p.other) : nullptr;
        if (p.other && !other) {
            fail(line.name, QStringLiteral("no control %1 to place it by").arg(QLatin1String(p.other)));
            continue;
        }
        // Relations are between siblings; compare in the window's coordinates.
        auto inWindow = [&](const QWidget* c) {
            return c == &window ? QRect(QPoint(0, 0), window.size())
                                : QRect(c->mapTo(&window, QPoint(0, 0)), c->size());
        };
        const QRect here = inWindow(w);
        bool placed = true;
        switch (p.kind) {
        case Place::Anywhere:
            break;
        case Place::Left:
            placed = g.x() == p.x * s;
            break;
        case Place::At:
            placed = g.topLeft() == QPoint(p.x * s, p.y * s);
            break;
        case Place::Rect:
            placed = g == QRect(p.x * s, p.y * s, p.w * s, p.h * s);
            break;
        case Place::Size:
            placed = g.size() == QSize(p.w * s, p.h * s);
            break;
        case Place::After:
            placed = here.x() == inWindow(other).right() + 1 + p.x * s && here.y() == inWindow(other).y();
            break;
        case Place::SameAs:
            placed = here == inWindow(other);
            break;
        case Place::ClearOf:
            placed = here.x() > inWindow(other).right();
            break;
        case Place::FromRight:
            placed = parent->width() - (g.right() + 1) == p.x * s;
            break;
        case Place::AtBottom:
            placed = g.bottom() + 1 == parent->height() && g.height() == p.h * s;
            break;
        case Place::Between:
            placed = here.y() == inWindow(other).bottom() + 1 &&
                     here.bottom() + 1 == inWindow(find(p.below)).y() && here.width() == window.width();
            break;
        case Place::Height:
            placed = g.height() == p.h * s;
            break;
        }
        if (!placed) {
            fail(line.name, QStringLiteral("at %1,%2 %3x%4 in a window of %5x%6")
                                .arg(here.x())
                                .arg(here.y())
                                .arg(here.width())
                                .arg(here.height())
                                .arg(window.width())
                                .arg(window.height()));
        }
    }

    return differences;
}

QStringList sharedAccelerators(const QWidget& window)
{
    // Only what shows and works now answers its key; a label's key goes to its field.
    QList<QWidget*> controls;
    for (QAbstractButton* b : window.findChildren<QAbstractButton*>()) {
        if (b->isVisibleTo(&window) && b->isEnabled())
            controls << b;
    }
    for (QLabel* l : window.findChildren<QLabel*>()) {
        if (l->buddy() && l->isVisibleTo(&window) && l->buddy()->isEnabled())
            controls << l;
    }
    std::map<int, QString> keys;
    QStringList shared;
    for (QWidget* c : controls) {
        const QString text = captionOf(*c);
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (key.isEmpty())
            continue;
        const auto [place, fresh] = keys.emplace(key[0].toCombined(), text);
        if (!fresh)
            shared << place->second + " / " + text;
    }
    return shared;
}

QStringList columnDifferences(const QTableView& view, const std::vector<ColumnLine>& table, int lastGap)
{
    const int s = std::max(1, view.logicalDpiX() / 96);
    const QFontMetrics metrics(view.font());
    QStringList differences;
    auto fail = [&](const QString& what) { differences << what; };
    if (view.model()->columnCount() != int(table.size()))
        fail(QStringLiteral("%1 columns, expected %2").arg(view.model()->columnCount()).arg(table.size()));
    int used = lastGap * s;
    for (int col = 0; col < int(table.size()) && col < view.model()->columnCount(); ++col) {
        const ColumnLine& line = table[size_t(col)];
        const QString title = view.model()->headerData(col, Qt::Horizontal, Qt::DisplayRole).toString();
        if (title != line.title)
            fail(QStringLiteral("column %1 titled \"%2\", expected \"%3\"").arg(col).arg(title, line.title));
        const int width = view.columnWidth(col);
        if (col == int(table.size()) - 1 && lastGap >= 0) {
            if (width != view.width() - used)
                fail(QStringLiteral("last column %1 wide, expected %2").arg(width).arg(view.width() - used));
            break;
        }
        used += width;
        const bool fits = line.widest.isNull()
                              ? width == line.width * s
                              : width >= line.width * s && width > metrics.horizontalAdvance(line.widest);
        if (!fits)
            fail(QStringLiteral("column \"%1\" %2 wide").arg(line.title).arg(width));
    }
    return differences;
}

} // namespace kelvane::test
