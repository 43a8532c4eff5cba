#include "common/scantexts.h"

#include <QChar>

namespace kelvane {

QString abortNoticeText()
{
    return QStringLiteral("LIST INCOMPLETE ... ABORTED BY USER");
}

QString noFilesFoundText()
{
    return QStringLiteral("No files found.");
}

QString cantOpenDriveText(const QString& caption)
{
    return QStringLiteral("Can't open drive ") + caption;
}

QString resourceLimitText()
{
    return QStringLiteral("Resource limit reached ... cannot process any more files.");
}

QString changedListFullText()
{
    return resourceLimitText() + QChar(13) + QStringLiteral("Try increasing the file threshold.");
}

QString candidateListFullText()
{
    return QStringLiteral("Due to Windows resource limitations ... cannot process any more files.\n\n"
                          "Try increasing the file size limits or file match and re-scan.");
}

} // namespace kelvane
