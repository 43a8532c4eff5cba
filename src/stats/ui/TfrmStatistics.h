#pragma once

#include <QWidget>

class QTabWidget;
class QPushButton;
class QComboBox;
class QStatusBar;

namespace kelvane {

struct Services;

// The statistics window: alive for the whole run, shown without being modal;
// Cancel only hides it.
class TfrmStatistics : public QWidget {
    Q_OBJECT
public:
    explicit TfrmStatistics(Services& services, QWidget* parent = nullptr);

    QTabWidget* pages() const { return PageControl1; }

private:
    Services& services_;
    QTabWidget* PageControl1;
    QComboBox* cbDrive;
    QPushButton* btCollect;
    QPushButton* btPrint;
    QPushButton* btCancel;
    QStatusBar* StatusBar1;
};

} // namespace kelvane
