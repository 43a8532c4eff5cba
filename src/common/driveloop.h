#pragma once

#include "common/drive.h"

#include <functional>
#include <vector>

namespace kelvane {

// Runs a walk once per selected drive, in box order. A drive that does not
// answer is skipped without a word; a drive whose root cannot be opened is
// reported through cannotOpen and the others are still walked. walk returns
// false when it could not open the root. Stops early when stop() turns true.
// A folder that the walk of another selected root takes in (entering hidden
// directories when enterHidden) is not walked again.
void forEachSelectedDrive(const std::vector<Drive>& selected, const std::function<bool(const Drive&)>& walk,
                          const std::function<void(const Drive&)>& cannotOpen,
                          const std::function<bool()>& stop = {}, bool enterHidden = false);

} // namespace kelvane
