#pragma once

#include <QDialog>

namespace kelvane {

// How to reach the maker.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace kelvane
