#pragma once

#include <QTableView>

namespace kelvane {

class ResultGrid;

// The visible result grid: whole rows selected, one at a time, fixed row
// heights so that a million rows scroll smoothly.
class ResultGridView : public QTableView {
    Q_OBJECT
public:
    explicit ResultGridView(QWidget* parent = nullptr);

    void setGrid(ResultGrid* grid);
    ResultGrid* grid() const { return grid_; }

    // The current grid row (1 or more), or 0 when there is none.
    int Row() const;
    void setRow(int row);
    // Column widths in pixels, from the first column.
    void setColWidths(const QList<int>& widths);
    // The width of a column whose sample text, in the grid's font, and title,
    // in the header's, show whole with margin to spare; at least design.
    int fittedWidth(int design, const QString& sample, int margin, const QString& title = {}) const;

Q_SIGNALS:
    // The Delete key on a row.
    void deletePressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ResultGrid* grid_ = nullptr;
};

} // namespace kelvane
