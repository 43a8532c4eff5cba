#include "common/memoryrelease.h"

#include <malloc.h>

namespace kelvane {

void returnFreedMemoryPromptly()
{
    // Setting either limit turns the allocator's own raising of them off.
    ::mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    ::mallopt(M_TRIM_THRESHOLD, 1024 * 1024);
}

} // namespace kelvane
