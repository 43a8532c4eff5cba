#include "stats/statisticstexts.h"

namespace kelvane {

QString noDiskMessage(const QString& drive)
{
    return QStringLiteral("Error: There is no disk in drive ") + drive;
}

QString scanNotice(const QString& drive)
{
    return QStringLiteral("Drive \"") + drive +
           QStringLiteral("\" will be scanned.  The analysis may take some time.  You may quit at any "
                          "time by clicking CANCEL or pressing ESC.");
}

QString clusterNote(const QString& drive, int64_t clusterSize)
{
    const QString size = QString::number(clusterSize);
    return QStringLiteral("Since drive ") + drive + QStringLiteral(" is partitioned into ") + size +
           QStringLiteral(" bytes per cluster, the smallest file of only 1 byte will consume ") + size +
           QStringLiteral(" bytes.");
}

QString processingStatus(uint64_t filesCounted)
{
    if (filesCounted == 0)
        return {};
    return QStringLiteral("Processing files ... standby : ") + QString::number((filesCounted - 1) / 10 * 10);
}

QString finishedStatus(uint64_t filesProcessed, bool aborted)
{
    QString text =
        QStringLiteral("Finished - ") + QString::number(filesProcessed) + QStringLiteral(" files processed");
    if (aborted)
        text += QStringLiteral(" INCOMPLETE ... ABORTED");
    return text;
}

QString collectedCaption(const QString& drive, bool aborted)
{
    if (aborted)
        return QStringLiteral("File Statistics for drive ") + drive +
               QStringLiteral(" incomplete ... aborted.");
    return QStringLiteral("Statistics for drive ") + drive + QStringLiteral(" completed.");
}

} // namespace kelvane
