#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace kelvane {

// Asks the user for a folder to scan. The windows ask through this so that
// tests can answer.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // The chosen folder's path, or an empty string when none was chosen.
    virtual QString chooseFolder(QWidget* parent) = 0;
};

// The real dialog (QFileDialog), starting in the folder chosen last, or home.
class DialogFolderChooser final : public FolderChooser {
public:
    QString chooseFolder(QWidget* parent) override;

private:
    QString last_;
};

// For tests: answers from a queue (nothing chosen once it is empty).
class ScriptedFolderChooser final : public FolderChooser {
public:
    QString chooseFolder(QWidget* parent) override;

    QStringList answers;
    int asked = 0;
};

} // namespace kelvane
