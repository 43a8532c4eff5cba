#pragma once

#include "common/scanoptions.h"

#include <QWidget>

class QCheckBox;
class QRadioButton;

namespace kelvane {

// The strip of scan choices a scanning window shows above its status line:
// "Include hidden files and folders" and, where sizes are shown, "Apparent
// size" or "Space on disk". Each window remembers its own choices (under its
// settings group) from one run to the next.
class ScanChoices : public QWidget {
    Q_OBJECT
public:
    ScanChoices(const QString& settingsGroup, bool withMeasure, QWidget* parent = nullptr);

    ScanOptions options() const;
    QCheckBox* hiddenBox() const { return cbHidden; }
    QRadioButton* apparentButton() const { return rbApparent; }
    QRadioButton* diskButton() const { return rbDisk; }
    // The strip's height at the window's scale.
    int stripHeight() const;

Q_SIGNALS:
    // The user changed a choice (already remembered).
    void changed();

private:
    void save();

    QString group_;
    QCheckBox* cbHidden;
    QRadioButton* rbApparent = nullptr;
    QRadioButton* rbDisk = nullptr;
};

} // namespace kelvane
