#include "common/ui/folderchooser.h"

#include <QDir>
#include <QFileDialog>

namespace kelvane {

QString DialogFolderChooser::chooseFolder(QWidget* parent)
{
    const QString chosen = QFileDialog::getExistingDirectory(parent, QStringLiteral("Folder to scan"),
                                                             last_.isEmpty() ? QDir::homePath() : last_);
    if (!chosen.isEmpty())
        last_ = chosen;
    return chosen;
}

QString ScriptedFolderChooser::chooseFolder(QWidget*)
{
    ++asked;
    return answers.isEmpty() ? QString() : answers.takeFirst();
}

} // namespace kelvane
