#pragma once

#include "common/ui/ScanWindow.h"

class QLineEdit;

namespace kelvane {

// Files changed between two dates.
class TfrmMods : public ScanWindow {
    Q_OBJECT
public:
    explicit TfrmMods(Services& services, QWidget* parent = nullptr);

    void FormShow();

private:
    QLineEdit* dtStart;
    QLineEdit* dtEnd;
    QPushButton* btOK;
};

} // namespace kelvane
