#pragma once

#include <QString>

namespace kelvane {

// Texts that several tools show alike.

// The notice of a scan the user aborted, also the line that marks a result
// list as incomplete.
QString abortNoticeText();
// A scan found nothing to list.
QString noFilesFoundText();
// A drive or folder root that could not be opened: "Can't open drive /home".
QString cantOpenDriveText(const QString& caption);

// The warnings of a full list: directory hogs (and kelvane-cli), files
// changed, duplicates and file hogs.
QString resourceLimitText();
QString changedListFullText();
QString candidateListFullText();

} // namespace kelvane
