#include "common/driveloop.h"

#include "common/diskspace.h"

namespace kelvane {

void forEachSelectedDrive(const std::vector<Drive>& selected, const std::function<bool(const Drive&)>& walk,
                          const std::function<void(const Drive&)>& cannotOpen,
                          const std::function<bool()>& stop)
{
    for (const Drive& drive : selected) {
        if (stop && stop())
            return;
        bool ready = false;
        try {
            ready = driveReady(drive);
        } catch (const DriveError&) {
            ready = false; // a root the panel never produces
        }
        if (!ready)
            continue;
        if (!walk(drive) && cannotOpen)
            cannotOpen(drive);
    }
}

QString cantOpenDriveText(const Drive& drive)
{
    return QStringLiteral("Can't open drive ") + drive.caption;
}

} // namespace kelvane
