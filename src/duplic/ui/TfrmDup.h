#pragma once

#include "common/ui/ScanWindow.h"

namespace kelvane {

// Duplicate files or file hogs, as findDuplicates says when it opens.
class TfrmDup : public ScanWindow {
    Q_OBJECT
public:
    explicit TfrmDup(Services& services, QWidget* parent = nullptr);

    void FormShow();

private:
    QPushButton* btScan;
    QPushButton* btExact;
};

} // namespace kelvane
