#include "duplic/findduplicates.h"

namespace kelvane {

bool findDuplicates = true;

} // namespace kelvane
