#pragma once

#include "common/scanoptions.h"

#include "stats/typetable.h"

#include <QWidget>

#include <vector>

class QLabel;
class QTableWidget;

namespace kelvane {

// The File Types page: the type table in a grid with its two top-ten
// rankings, by number of files and by bytes.
class TypesPage : public QWidget {
    Q_OBJECT
public:
    explicit TypesPage(QWidget* parent = nullptr);

    QTableWidget* grid() const { return gridTypes; }

    // Writes the five column titles.
    // The size column's heading names the measure.
    void setTitles(SizeMeasure measure = SizeMeasure::Apparent);
    // Empties every data cell, keeping the rows.
    void clearCells();
    // One row per table line, in table order, with both rankings.
    void showTypes(const std::vector<TypeRow>& types);

private:
    QTableWidget* gridTypes;
    QLabel* lblNote;
};

} // namespace kelvane
