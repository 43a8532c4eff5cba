#include "common/ui/TfrmBrowse.h"

#include "common/boundpath.h"
#include "common/displayname.h"
#include "common/filedeletion.h"
#include "common/fileops.h"
#include "common/ui/filemask.h"
#include "common/ui/geometry.h"
#include "common/ui/services.h"
#include "common/ui/settings.h"

#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>

namespace kelvane {

namespace {

// The text Qt uses for a raw name, or an empty text when it does not come
// back as the same bytes (invalid UTF-8): Qt would find another file or none.
QString qtName(const std::string& raw)
{
    const QString name = QFile::decodeName(QByteArray::fromStdString(raw));
    return QFile::encodeName(name).toStdString() == raw ? name : QString();
}

bool isDirectory(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

TfrmBrowse::TfrmBrowse(QWidget* parent, Services& services)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      services_(services), mask_(QStringLiteral("*.*")), filters_(maskNameFilters(mask_)),
      icons_(std::make_unique<QFileIconProvider>())
{
    setWindowTitle(QStringLiteral("Browse through directories"));

    // The file-type images come from the style when the desktop has no icon theme.
    dirModel_ = new QFileSystemModel(this);
    dirModel_->setIconProvider(icons_.get());
    dirModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    dirModel_->setRootPath(QStringLiteral("/"));

    fileModel_ = new QFileSystemModel(this);
    fileModel_->setIconProvider(icons_.get());
    fileModel_->setFilter(QDir::Files);
    fileModel_->setNameFilterDisables(false); // hide what the mask leaves out
    fileModel_->setNameFilters(filters_);

    lblWildcard = new QLabel(this);
    lblWildcard->setObjectName(QStringLiteral("lblWildcard"));
    QFont bold = lblWildcard->font();
    bold.setBold(true);
    lblWildcard->setFont(bold);

    DirectoryListBox1 = new QTreeView(this);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setModel(dirModel_);
    for (int column = 1; column < dirModel_->columnCount(); ++column)
        DirectoryListBox1->hideColumn(column);
    DirectoryListBox1->setHeaderHidden(true);
    DirectoryListBox1->setIconSize(QSize(16, 16));
    DirectoryListBox1->viewport()->installEventFilter(this);
    DirectoryListBox1->installEventFilter(this);
    connect(DirectoryListBox1->verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { followTree_ = false; });

    FileListBox1 = new QListView(this);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setModel(fileModel_);
    FileListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FileListBox1->setIconSize(QSize(16, 16));
    FileListBox1->setUniformItemSizes(true);
    FileListBox1->setToolTip(QStringLiteral("Press CTRL and click to select multiple files"));
    FileListBox1->viewport()->installEventFilter(this);
    FileListBox1->installEventFilter(this);

    BitBtn1 =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Close"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    btDelete =
        new QPushButton(style()->standardIcon(QStyle::SP_TrashIcon), QStringLiteral("Delete Files"), this);
    btDelete->setObjectName(QStringLiteral("btDelete"));
    btDelete->setToolTip(QStringLiteral("Delete all selected files"));
    btDelete->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btDelete);
    buttons->addWidget(BitBtn1);
    auto* layout = new QGridLayout(this);
    layout->addWidget(lblWildcard, 0, 0, 1, 2);
    layout->addWidget(DirectoryListBox1, 1, 0);
    layout->addWidget(FileListBox1, 1, 1);
    layout->addLayout(buttons, 2, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(btDelete, &QPushButton::clicked, this, &TfrmBrowse::btDeleteClick);
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { treeCurrentChanged(current); });
    connect(dirModel_, &QFileSystemModel::directoryLoaded, this, [this] { followCurrentDirectory(); });
    connect(dirModel_, &QAbstractItemModel::layoutChanged, this, [this] { followCurrentDirectory(); });
    // The list fills in the background; the file to select may come late.
    connect(fileModel_, &QFileSystemModel::directoryLoaded, this, [this] { selectPendingFile(); });
    connect(fileModel_, &QAbstractItemModel::rowsInserted, this, [this] { selectPendingFile(); });
    connect(fileModel_, &QAbstractItemModel::layoutChanged, this, [this] { selectPendingFile(); });

    setFixedSize(QSize(scaled(this, 560), scaled(this, 380)).expandedTo(minimumSizeHint()));
    BitBtn1->setFocus();
}

TfrmBrowse::~TfrmBrowse()
{
    // The models' background threads use the icon provider: they go first.
    delete fileModel_;
    delete dirModel_;
}

bool TfrmBrowse::browse(QWidget* parent, Services& services, const std::string& dir, const std::string& file,
                        const QString& mask)
{
    TfrmBrowse window(parent, services);
    if (!window.setDirectory(dir)) {
        services.messages->error(parent, QStringLiteral("Invalid path - ") + displayName(dir));
        return false;
    }
    if (!file.empty() && !window.selectFile(file)) {
        const std::string path =
            file.find('/') == std::string::npos ? joinPath(window.directory(), file) : file;
        services.messages->error(parent, QStringLiteral("Invalid file name - ") + displayName(path));
        return false;
    }
    window.setMask(mask);
    window.exec();
    return true;
}

bool TfrmBrowse::setDirectory(const std::string& dir)
{
    if (dir.empty() || !isDirectory(dir))
        return false;
    const QString name = qtName(dir);
    if (name.isEmpty())
        return false;
    showDirectory(QDir::cleanPath(QDir::current().absoluteFilePath(name)));
    return true;
}

void TfrmBrowse::showDirectory(const QString& dir)
{
    currentDir_ = QFile::encodeName(dir).toStdString();
    pendingSelection_.clear();
    FileListBox1->setRootIndex(fileModel_->setRootPath(dir));

    // Open the tree down to the directory and its subdirectories, so that its
    // path from "/" shows.
    const QModelIndex index = dirModel_->index(dir);
    for (QModelIndex up = index; up.isValid(); up = up.parent())
        DirectoryListBox1->expand(up);
    movingTree_ = true;
    DirectoryListBox1->setCurrentIndex(index);
    movingTree_ = false;
    followTree_ = true;
    followCurrentDirectory();
}

void TfrmBrowse::followCurrentDirectory()
{
    if (followTree_)
        DirectoryListBox1->scrollTo(DirectoryListBox1->currentIndex(), QAbstractItemView::PositionAtCenter);
}

void TfrmBrowse::treeCurrentChanged(const QModelIndex& current)
{
    if (movingTree_ || !current.isValid())
        return;
    const QString dir = dirModel_->filePath(current);
    if (QFile::encodeName(dir).toStdString() == currentDir_)
        return;
    currentDir_ = QFile::encodeName(dir).toStdString();
    pendingSelection_.clear();
    FileListBox1->setRootIndex(fileModel_->setRootPath(dir));
    DirectoryListBox1->expand(current);
}

bool TfrmBrowse::selectFile(const std::string& fileOrPath)
{
    std::string name = fileOrPath;
    if (fileOrPath.find('/') != std::string::npos) {
        const auto [parent, last] = splitPath(fileOrPath);
        if (!setDirectory(parent))
            return false;
        name = last;
    }
    const auto entry = lookupFile(joinPath(currentDir_, name));
    if (name.empty() || !entry || entry->isDirectory())
        return false;
    const QString shown = qtName(name);
    if (shown.isEmpty())
        return true; // exists, but the list cannot show it
    if (!matchesNameFilters(shown, filters_)) {
        mask_ = shown;
        filters_ = QStringList{literalNameFilter(shown)};
        fileModel_->setNameFilters(filters_);
        lblWildcard->setText(QStringLiteral("Files matching : ") + mask_);
    }
    pendingSelection_ = shown;
    selectPendingFile();
    return true;
}

void TfrmBrowse::setMask(const QString& mask)
{
    mask_ = mask;
    filters_ = maskNameFilters(mask);
    fileModel_->setNameFilters(filters_);
    lblWildcard->setText(QStringLiteral("Files matching : ") + mask_);
}

void TfrmBrowse::selectPendingFile()
{
    if (pendingSelection_.isEmpty())
        return;
    const QModelIndex root = FileListBox1->rootIndex();
    for (int row = 0; row < fileModel_->rowCount(root); ++row) {
        const QModelIndex index = fileModel_->index(row, 0, root);
        if (fileModel_->fileName(index) != pendingSelection_)
            continue;
        pendingSelection_.clear();
        FileListBox1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        FileListBox1->scrollTo(index);
        return;
    }
}

void TfrmBrowse::FormShow()
{
    lblWildcard->setText(QStringLiteral("Files matching : ") + mask_);
}

void TfrmBrowse::FileListBox1Click()
{
    btDelete->setEnabled(true);
}

void TfrmBrowse::btDeleteClick()
{
    QModelIndexList selected = FileListBox1->selectionModel()->selectedIndexes();
    if (selected.isEmpty()) {
        services_.messages->plain(this,
                                  QStringLiteral("Select a file or files to delete first.  You may select "
                                                 "multiple files by pressing the CTRL key while clicking "
                                                 "the left mouse button."));
        return;
    }
    const QString question = QStringLiteral("The files you selected to delete may belong to valid working "
                                            "applications.  If you are not sure about these files do NOT "
                                            "delete them.  Really delete %1 files?")
                                 .arg(selected.size());
    // What each file is now, before the question: the deletion acts on
    // these very files or leaves them. The last entry goes first.
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() > b.row(); });
    std::vector<MarkedFile> files;
    for (const QModelIndex& index : selected)
        files.push_back(browsedFile(QFile::encodeName(fileModel_->filePath(index)).toStdString()));
    bool toTrash = moveToTrashChosen();
    if (services_.messages->askWithChoice(this, question, QStringLiteral("Move to Trash instead of deleting"),
                                          &toTrash) != Messages::Answer::Yes)
        return;
    setMoveToTrashChosen(toTrash);
    FileListBox1->selectionModel()->clearSelection();
    const DeletionReport report = deleteFiles(files, toTrash);
    const QString ending = deletionEnding(report, toTrash);
    if (report.stayedCount() > 0)
        services_.messages->warning(this, ending);
    else
        services_.messages->plain(this, ending);
    btDelete->setEnabled(false);
}

MarkedFile TfrmBrowse::browsedFile(const std::string& shownPath)
{
    // The directory shown may be reached through a link; its real path is
    // where the files are, and from there no link is followed.
    const auto [dir, name] = splitPath(shownPath);
    std::string path = shownPath;
    if (char* real = ::realpath(dir.c_str(), nullptr)) {
        path = joinPath(real, name);
        std::free(real);
    }
    MarkedFile file{path, {}, std::nullopt, -1};
    const BoundPath bound = bindPath(path, FileIdentity{});
    if (bound.binding == Binding::Same)
        file.scanned = FileIdentity::ofStat(bound.st);
    return file;
}

void TfrmBrowse::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
    centreOnScreen(this);
}

bool TfrmBrowse::eventFilter(QObject* watched, QEvent* event)
{
    const bool inTree = watched == DirectoryListBox1 || watched == DirectoryListBox1->viewport();
    if (inTree && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel ||
                   event->type() == QEvent::KeyPress))
        followTree_ = false;
    if (event->type() == QEvent::MouseButtonPress && watched == FileListBox1->viewport()) {
        FileListBox1Click();
    } else if (event->type() == QEvent::KeyPress && watched == FileListBox1) {
        // A selection made from the keyboard counts as a click, as in a list box.
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Space:
            FileListBox1Click();
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kelvane
