#include "common/filedeletion.h"

#include "common/fileops.h"
#include "common/trash.h"

namespace kelvane {

DeletionReport deleteFiles(const std::vector<MarkedFile>& files, bool toTrash, SizeMeasure measure)
{
    DeletionReport report;
    for (const MarkedFile& file : files) {
        // Content is compared only where the scan saw the file.
        const bool content = file.scanned.known() && file.scanned.size >= 0;
        if (toTrash) {
            const TrashOutcome out = moveToTrash(file.path, file.scanned, content);
            if (out.trashed)
                report.trashed(out.bytes);
            else
                report.stayed(file.path, out.reason, out.error);
            continue;
        }
        const FileOutcome out = deleteBoundFile(file.path, file.scanned, content);
        if (out.deleted)
            report.deleted(measure == SizeMeasure::Apparent ? out.bytesFreed : out.diskFreed);
        else
            report.stayed(file.path, out.reason, out.error);
    }
    return report;
}

QString deletionEnding(const DeletionReport& report, bool toTrash)
{
    QString text = toTrash ? report.trashedLine() : report.deletedLine();
    if (report.stayedCount() > 0)
        text += QStringLiteral("\n\n") + report.stayedText();
    return text;
}

} // namespace kelvane
