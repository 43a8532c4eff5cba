#include "stats/ui/TypesPage.h"

#include "common/commas.h"
#include "common/displayname.h"
#include "common/ui/geometry.h"
#include "stats/typeranking.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kelvane {

namespace {

enum Column { Extension, Files, FilesRank, Bytes, BytesRank, ColumnCount };

QTableWidgetItem* cell(const QString& text, bool number)
{
    auto* item = new QTableWidgetItem(text);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QString rankText(int rank)
{
    return rank > 0 ? QString::number(rank) : QString();
}

} // namespace

TypesPage::TypesPage(QWidget* parent) : QWidget(parent)
{
    gridTypes = new QTableWidget(0, ColumnCount, this);
    // Tab leaves the table; the arrows move between cells.
    gridTypes->setTabKeyNavigation(false);
    gridTypes->setObjectName(QStringLiteral("gridTypes"));
    gridTypes->verticalHeader()->hide();
    gridTypes->verticalHeader()->setMinimumSectionSize(scaled(this, 19));
    gridTypes->verticalHeader()->setDefaultSectionSize(scaled(this, 19));
    gridTypes->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    gridTypes->horizontalHeader()->setHighlightSections(false);
    gridTypes->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridTypes->setSelectionMode(QAbstractItemView::SingleSelection);
    gridTypes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const int widths[ColumnCount] = {80, 93, 80, 80, 80};
    for (int c = 0; c < ColumnCount; ++c)
        gridTypes->setColumnWidth(c, scaled(this, widths[c]));
    setTitles();

    lblNote = new QLabel(QStringLiteral("Files are grouped by file extension (three letters after the '.' in "
                                        "the file name).  This is a listing of all files with common file "
                                        "extensions."),
                         this);
    lblNote->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gridTypes, 1);
    layout->addWidget(lblNote);
}

void TypesPage::setTitles(SizeMeasure measure)
{
    gridTypes->setHorizontalHeaderLabels(
        {QStringLiteral("Extension"), QStringLiteral("# Files"), QStringLiteral("Top Ten #"),
         sizeHeading(measure, QStringLiteral("Size")), QStringLiteral("Top Ten Size")});
}

void TypesPage::clearCells()
{
    gridTypes->clearContents();
}

void TypesPage::showTypes(const std::vector<TypeRow>& types)
{
    std::vector<uint64_t> files, bytes;
    for (const TypeRow& row : types) {
        files.push_back(row.files);
        bytes.push_back(row.bytes);
    }
    const std::vector<int> filesRanks = topTenRanks(files);
    const std::vector<int> bytesRanks = topTenRanks(bytes);
    gridTypes->clearContents();
    gridTypes->setRowCount(int(types.size()));
    for (int r = 0; r < int(types.size()); ++r) {
        gridTypes->setItem(r, Extension, cell(displayName(types[r].key), false));
        gridTypes->setItem(r, Files, cell(addCommas(int64_t(types[r].files)), true));
        gridTypes->setItem(r, FilesRank, cell(rankText(filesRanks[r]), true));
        gridTypes->setItem(r, Bytes, cell(addCommas(int64_t(types[r].bytes)), true));
        gridTypes->setItem(r, BytesRank, cell(rankText(bytesRanks[r]), true));
    }
    // Large sums would be cut short in their design widths: widen a number
    // column to its contents, never narrowing what the user has set.
    for (const int c : {Files, Bytes}) {
        const int needed = static_cast<QAbstractItemView*>(gridTypes)->sizeHintForColumn(c);
        if (gridTypes->columnWidth(c) < needed)
            gridTypes->setColumnWidth(c, needed);
    }
}

} // namespace kelvane
