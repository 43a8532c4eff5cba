#pragma once

#include <QColor>
#include <QProgressBar>

namespace kelvane {

// A percentage gauge: a flat bar filled from the left in its own colour over
// its background colour, with the percentage written across it (light over
// the filled part, dark over the rest) unless the text is switched off.
class Gauge : public QProgressBar {
    Q_OBJECT
public:
    Gauge(const QColor& fill, const QColor& background, QWidget* parent = nullptr);

    // A second part of the bar, in its own colour, right after the filled one.
    void setSecondPart(int value, const QColor& colour);
    int secondPart() const { return second_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
    QColor background_;
    QColor secondColour_;
    int second_ = 0;
};

} // namespace kelvane
