#include "common/ui/TfrmReallyDelete.h"

#include "common/commas.h"
#include "common/displayname.h"
#include "common/filedeletion.h"
#include "common/ui/busypointer.h"
#include "common/ui/geometry.h"
#include "common/ui/services.h"
#include "common/ui/settings.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kelvane {

TfrmReallyDelete::TfrmReallyDelete(QWidget* parent, Services& services)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      services_(services)
{
    setWindowTitle(QStringLiteral("Delete the following files:"));

    Label1 = new QLabel(QStringLiteral("The following files will be deleted:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label3 = new QLabel(QStringLiteral("Savings of :"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    lblSavings = new QLabel(QStringLiteral("9,999,999,999 bytes"), this);
    lblSavings->setObjectName(QStringLiteral("lblSavings"));

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::NoSelection);
    ListBox1->setUniformItemSizes(true);

    auto* warningFrame = new QFrame(this);
    warningFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Label2 = new QLabel(
        QStringLiteral(
            "WARNING: The file(s) that you selected to delete may belong to working applications.  "
            "Kelvane cannot determine if they are needed for proper working of other applications.  "
            "If in doubt do not delete these files."),
        warningFrame);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    auto* frameLayout = new QVBoxLayout(warningFrame);
    frameLayout->addWidget(Label2);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setToolTip(QStringLiteral("Go ahead and delete these files"));
    BitBtn1->setDefault(true);
    BitBtn2 =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setToolTip(QStringLiteral("Do not delete the files"));
    cbTrash = new QCheckBox(QStringLiteral("Move to &Trash instead of deleting"), this);
    cbTrash->setObjectName(QStringLiteral("cbTrash"));
    cbTrash->setToolTip(QStringLiteral("The files can be restored from the Trash; their space is freed only "
                                       "when the Trash is emptied"));
    cbTrash->setChecked(moveToTrashChosen());

    auto* heading = new QHBoxLayout;
    heading->addWidget(Label1, 1);
    heading->addWidget(Label3);
    heading->addWidget(lblSavings);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(ListBox1, 1);
    layout->addWidget(warningFrame);
    layout->addWidget(cbTrash);
    layout->addLayout(buttons);

    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        BitBtn1Click();
        accept();
    });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(QSize(scaled(this, 540), scaled(this, 400)).expandedTo(minimumSizeHint()));
    BitBtn1->setFocus();
}

void TfrmReallyDelete::confirmAndDelete(QWidget* parent, Services& services, std::vector<MarkedFile> files,
                                        int64_t savings, QStringList shown, SizeMeasure measure)
{
    TfrmReallyDelete window(parent, services);
    window.setFiles(std::move(files), std::move(shown));
    window.setSavings(savings);
    window.setMeasure(measure);
    window.exec();
}

void TfrmReallyDelete::setFiles(std::vector<MarkedFile> files, QStringList shown)
{
    if (shown.size() != qsizetype(files.size())) {
        shown.clear();
        for (const MarkedFile& file : files)
            shown.append(displayName(file.path));
    }
    files_ = std::move(files);
    ListBox1->clear();
    ListBox1->addItems(shown);
}

void TfrmReallyDelete::setPaths(const std::vector<std::string>& paths, QStringList shown)
{
    std::vector<MarkedFile> files;
    files.reserve(paths.size());
    for (const std::string& path : paths)
        files.push_back(MarkedFile{path, {}, std::nullopt, -1});
    setFiles(std::move(files), std::move(shown));
}

void TfrmReallyDelete::FormShow()
{
    lblSavings->setText(addCommas(savings_) + QStringLiteral(" bytes"));
    Label1->setText(QStringLiteral("The following %1 files will be deleted.").arg(files_.size()));
}

void TfrmReallyDelete::BitBtn1Click()
{
    const bool toTrash = cbTrash->isChecked();
    setMoveToTrashChosen(toTrash);
    const QString question =
        toTrash ? QStringLiteral("Really move to Trash?") : QStringLiteral("Really delete?");
    if (services_.messages->ask(this, question) != Messages::Answer::Yes) {
        services_.messages->plain(this, QStringLiteral("Not deleted"));
        return;
    }
    const DeletionReport report = [&] {
        const BusyPointer busy;
        return deleteFiles(files_, toTrash, measure_);
    }();
    const QString ending = deletionEnding(report, toTrash);
    if (report.stayedCount() > 0)
        services_.messages->warning(this, ending);
    else
        services_.messages->plain(this, ending);
}

void TfrmReallyDelete::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
    centreOnScreen(this);
}

} // namespace kelvane
