#pragma once

#include <QString>

#include <cstdint>

namespace kelvane {

// The texts a collection shows, for the drive known by its caption.

// "Error: There is no disk in drive " + drive.
QString noDiskMessage(const QString& drive);
// The notice shown before a collection starts.
QString scanNotice(const QString& drive);
// The note about the smallest space a file takes on the drive.
QString clusterNote(const QString& drive, int64_t clusterSize);
// The status while collecting, after filesCounted files: the count as it
// stood at the last tenth file ("... standby : 0" from the first file on);
// empty before the first file.
QString processingStatus(uint64_t filesCounted);
// "Finished - N files processed", with " INCOMPLETE ... ABORTED" after an abort.
QString finishedStatus(uint64_t filesProcessed, bool aborted);
// The window caption after a collection.
QString collectedCaption(const QString& drive, bool aborted);

} // namespace kelvane
