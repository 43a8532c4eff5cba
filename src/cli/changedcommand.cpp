#include "cli/changedcommand.h"

#include "cli/rootwalk.h"
#include "cli/rowwriter.h"
#include "filemod/changedscan.h"
#include "filemod/changedtexts.h"

#include <QDate>
#include <QRegularExpression>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace kelvane::cli {

namespace {

std::optional<QDate> parseIsoDate(const std::string& text)
{
    static const QRegularExpression shape(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    const QString s = QString::fromStdString(text);
    if (!shape.match(s).hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(s, Qt::ISODate);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

void printRows(const ChangedFileList& files, RowWriter& out)
{
    ChangedTexts texts;
    for (size_t i = 0; i < files.size(); ++i) {
        switch (out.format()) {
        case OutputFormat::Lines:
            out.line(texts.line(files, i).toUtf8().toStdString());
            break;
        case OutputFormat::Null:
            out.path(files.path(i));
            break;
        case OutputFormat::Json:
            out.json(JsonRow()
                         .path(files.path(i))
                         .number("size", files.bytes(i))
                         .time("modified", files.mtime(i)));
            break;
        }
    }
}

} // namespace

int runChanged(const CliOptions& options)
{
    if (!options.has("from") || !options.has("to"))
        return usageError(options.command, "both --from and --to are needed");
    std::optional<QDate> dates[2];
    const char* names[2] = {"from", "to"};
    for (int d = 0; d < 2; ++d) {
        const std::string text = options.value(names[d]);
        dates[d] = parseIsoDate(text);
        if (!dates[d])
            return usageError(options.command, "not a date in the form YYYY-MM-DD: " + text);
    }
    const QDate from = *dates[0];
    const QDate to = *dates[1];

    const DateRange range(from, to);
    int status = kExitOk;
    RowWriter out(options.format);
    for (const std::string& root : distinctRoots(options.paths, options.scan().hidden)) {
        // No list control to fill here; each root's files are printed once it is walked.
        ChangedFilesScan scan(range, SIZE_MAX, options.scan());
        if (!scanOneRoot(scan, root, options)) {
            status = kExitUnreadable;
            continue;
        }
        printRows(scan.files(), out);
    }
    return status;
}

} // namespace kelvane::cli
