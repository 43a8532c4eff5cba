#pragma once

#include "common/searchpath.h"

#include <QWidget>

#include <functional>

class QDialog;
class QListWidget;
class QPushButton;

namespace kelvane {

struct Services;
class TfrmStatistics;

// The launcher: five tools, Exit and the contact window.
class TfrmMain : public QWidget {
    Q_OBJECT
public:
    explicit TfrmMain(Services& services, QWidget* parent = nullptr);
    // The statistics window, created after the launcher and alive as long.
    void setStatistics(TfrmStatistics* statistics) { statistics_ = statistics; }

    // Shows a tool window modally; tests put their own in place of exec().
    using ModalRunner = std::function<void(QDialog&)>;
    void setModalRunner(ModalRunner runner) { runModal_ = std::move(runner); }

    const SearchPathList& searchPath() const { return searchPath_; }

    void btDuplicateClick();
    void btFileHogClick();
    void btFilesClick();
    void btDirHogsClick();
    void btStatisticClick();
    void btReachClick();
    void btCloseClick();

Q_SIGNALS:
    // The launcher closed: the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    // Creates, shows modally and frees a window, also when showing it fails.
    void openModal(const std::function<QDialog*(QWidget*)>& create);
    QPushButton* addTool(int index, const QString& name, const QString& caption, const QString& description);

    Services& services_;
    TfrmStatistics* statistics_ = nullptr;
    SearchPathList searchPath_;
    ModalRunner runModal_;
    QListWidget* lb1;
    QPushButton* btDuplicate;
    QPushButton* btFileHog;
    QPushButton* btFiles;
    QPushButton* btDirHogs;
    QPushButton* btStatistic;
    QPushButton* btClose;
    QPushButton* btReach;
};

} // namespace kelvane
