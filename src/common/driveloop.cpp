#include "common/driveloop.h"

#include "common/diskspace.h"
#include "common/nestedroots.h"

#include <algorithm>

namespace kelvane {

namespace {

bool ready(const Drive& drive)
{
    try {
        return driveReady(drive);
    } catch (const DriveError&) {
        return false; // a root the panel never produces
    }
}

} // namespace

void forEachSelectedDrive(const std::vector<Drive>& selected, const std::function<bool(const Drive&)>& walk,
                          const std::function<void(const Drive&)>& cannotOpen,
                          const std::function<bool()>& stop, bool enterHidden)
{
    const bool anyFolder =
        std::any_of(selected.begin(), selected.end(), [](const Drive& d) { return d.folder; });
    if (!anyFolder) {
        for (const Drive& drive : selected) {
            if (stop && stop())
                return;
            if (ready(drive) && !walk(drive) && cannotOpen)
                cannotOpen(drive);
        }
        return;
    }
    // Only roots that answer are opened to see which folders lie inside others:
    // the root of a drive that stopped answering could hang the walk.
    std::vector<Drive> answering;
    for (const Drive& drive : selected) {
        if (stop && stop())
            return;
        if (ready(drive))
            answering.push_back(drive);
    }
    std::vector<std::string> roots;
    for (const Drive& drive : answering)
        roots.push_back(drive.root);
    const std::vector<int> covering = coveringRoots(roots, enterHidden);
    for (size_t i = 0; i < answering.size(); ++i) {
        if (stop && stop())
            return;
        if (answering[i].folder && covering[i] >= 0)
            continue;
        if (!walk(answering[i]) && cannotOpen)
            cannotOpen(answering[i]);
    }
}

} // namespace kelvane
