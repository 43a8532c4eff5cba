#pragma once

#include "common/markedfiles.h"

#include <QDialog>
#include <QStringList>

#include <memory>
#include <string>

class QFileIconProvider;
class QFileSystemModel;
class QLabel;
class QListView;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace kelvane {

struct Services;

// A small file browser on the directory of a result row: a directory tree, the
// files of the current directory that match a mask, and deletion of the
// selected files at once after one question. The lists show what is on disk;
// Qt's file-system model loads them in the background.
//
// Names that are not valid UTF-8 cannot be shown by Qt's model: such files and
// directories are not listed, so they can be neither selected nor deleted here.
class TfrmBrowse : public QDialog {
    Q_OBJECT

public:
    TfrmBrowse(QWidget* parent, Services& services);
    ~TfrmBrowse() override;

    // The whole protocol of a caller: opens on dir, selects file (a bare name
    // or a path; empty selects nothing), sets mask and shows the window
    // modally. Returns false, after an error box, when the window did not open
    // because dir is not a directory that can be shown or file does not exist.
    static bool browse(QWidget* parent, Services& services, const std::string& dir, const std::string& file,
                       const QString& mask);

    // Makes dir the current directory of the tree and of the file list. false
    // when it is not a directory or its name cannot be shown.
    bool setDirectory(const std::string& dir);
    // Selects a file of the current directory (a bare name), or of the
    // directory of a path, which becomes current. A file the mask hides makes
    // the mask its name. The selection is made once the list has loaded. false
    // when there is no such file; a name that cannot be shown selects nothing.
    bool selectFile(const std::string& fileOrPath);
    void setMask(const QString& mask);

    const std::string& directory() const { return currentDir_; }
    const QString& mask() const { return mask_; }

    // Shows the mask in the label.
    void FormShow();
    // Any click in the file list: deleting becomes possible.
    void FileListBox1Click();
    // Asks once (offering the Trash instead) and deletes the selected files,
    // each bound to what it was when asked about; the ending says what went
    // and what stayed and why.
    void btDeleteClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A selected file as it is now, at its real path.
    static MarkedFile browsedFile(const std::string& shownPath);
    void showDirectory(const QString& dir);
    void treeCurrentChanged(const QModelIndex& current);
    void followCurrentDirectory();
    void selectPendingFile();

    Services& services_;
    std::string currentDir_;
    QString mask_;
    QStringList filters_;
    QString pendingSelection_;
    bool movingTree_ = false;
    // The tree fills in the background and keeps the current directory in
    // view until the user moves it.
    bool followTree_ = false;

    std::unique_ptr<QFileIconProvider> icons_;
    QFileSystemModel* dirModel_ = nullptr;
    QFileSystemModel* fileModel_ = nullptr;
    QLabel* lblWildcard = nullptr;
    QTreeView* DirectoryListBox1 = nullptr;
    QListView* FileListBox1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* btDelete = nullptr;
};

} // namespace kelvane
