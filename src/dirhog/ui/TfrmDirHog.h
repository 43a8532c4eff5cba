#pragma once

#include "common/ui/ScanWindow.h"

namespace kelvane {

// Directory hogs: every directory, or the main directories with their subtrees.
class TfrmDirHog : public ScanWindow {
    Q_OBJECT
public:
    explicit TfrmDirHog(Services& services, QWidget* parent = nullptr);

    void FormShow();

private:
    QPushButton* btTop;
    QPushButton* btAll;
};

} // namespace kelvane
