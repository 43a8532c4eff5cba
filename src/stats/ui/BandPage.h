#pragma once

#include "stats/bandtotals.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <array>

class QGridLayout;
class QLabel;

namespace kelvane {

class Gauge;

// Object names of the controls of one band row.
struct BandRowNames {
    QString caption;
    QString filesGauge;
    QString filesLabel;
    QString bytesGauge;
    QString bytesLabel;
};

// The File Sizes or File Ages page: nine rows, one per band, each with its
// caption, a gauge and a label for the band's share of the files, and a gauge
// and a label for its share of the bytes.
class BandPage : public QWidget {
    Q_OBJECT
public:
    BandPage(const std::array<BandRowNames, kBands>& names, const std::array<QString, kBands>& captions,
             const QColor& filesColour, const QColor& bytesColour, QWidget* parent = nullptr);

    // The heading over the bytes column (it names the size measure).
    void setBytesHeading(const QString& text);

    // Writes the numbers and, for a column whose total is above 0, the
    // truncated shares; a column with nothing in it keeps its gauges.
    void showTotals(const BandTotals& totals);

    // Puts a widget below the rows (the cluster note).
    void addBelow(QWidget* widget);

    Gauge* filesGauge(int band) const { return rows_[band - 1].filesGauge; }
    Gauge* bytesGauge(int band) const { return rows_[band - 1].bytesGauge; }
    QLabel* filesLabel(int band) const { return rows_[band - 1].filesLabel; }
    QLabel* bytesLabel(int band) const { return rows_[band - 1].bytesLabel; }

private:
    QLabel* bytesHeading_ = nullptr;
    struct Row {
        Gauge* filesGauge;
        QLabel* filesLabel;
        Gauge* bytesGauge;
        QLabel* bytesLabel;
    };
    std::array<Row, kBands> rows_;
    QGridLayout* grid_;
};

} // namespace kelvane
