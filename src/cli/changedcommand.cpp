#include "cli/changedcommand.h"

#include "cli/rootwalk.h"
#include "filemod/changedscan.h"
#include "filemod/changedtexts.h"

#include <QDate>
#include <QRegularExpression>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace kelvane::cli {

namespace {

const char kUsage[] = "usage: kelvane-cli changed --from YYYY-MM-DD --to YYYY-MM-DD PATH...\n";

int usageError(const std::string& message)
{
    std::fprintf(stderr, "kelvane-cli changed: %s\n%s", message.c_str(), kUsage);
    return kExitUsage;
}

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

void printLines(const ChangedFileList& files)
{
    ChangedTexts texts;
    QByteArray out;
    for (size_t i = 0; i < files.size(); ++i) {
        out += texts.line(files, i).toUtf8();
        out += '\n';
        if (out.size() > (1 << 16)) {
            std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
            out.clear();
        }
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
}

} // namespace

int runChanged(const CliOptions& options)
{
    std::optional<QDate> from;
    std::optional<QDate> to;
    size_t i = 0;
    const std::vector<std::string>& args = options.args;
    for (; i < args.size() && args[i].starts_with("--"); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg != "--from" && arg != "--to")
            return usageError("unknown option " + arg);
        if (i + 1 == args.size())
            return usageError(arg + " needs a date");
        const std::optional<QDate> date = parseIsoDate(args[++i]);
        if (!date)
            return usageError("not a date in the form YYYY-MM-DD: " + args[i]);
        (arg == "--from" ? from : to) = date;
    }
    if (!from || !to)
        return usageError("both --from and --to are needed");
    if (i == args.size())
        return usageError("no path given");

    const DateRange range(*from, *to);
    int status = kExitOk;
    for (; i < args.size(); ++i) {
        const std::string& root = args[i];
        std::unique_ptr<ChangedFilesScan> scan;
        const bool opened = walkOneRoot(root, [&](WalkProgress& progress) {
            ChangedScanOptions scanOptions;
            scanOptions.threads = options.threads;
            scanOptions.progress = &progress;
            scanOptions.limit = SIZE_MAX; // no list control to fill here
            scan = std::make_unique<ChangedFilesScan>(range, scanOptions);
            return scan->walk(root);
        });
        if (!opened) {
            status = kExitUnreadable;
            continue;
        }
        printLines(scan->files());
    }
    std::fflush(stdout);
    return status;
}

} // namespace kelvane::cli
