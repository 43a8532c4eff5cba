#pragma once

namespace kelvane {

// Makes freed memory go back to the system when it is freed: large blocks
// are mapped on their own and unmapped when freed, and the free end of every
// allocator arena is trimmed. Without it the allocator raises both limits
// after the first large block it frees, so a closed million-row result (built
// on the walk's threads, in their arenas) would stay resident. Call once at
// program start, before any thread starts.
void returnFreedMemoryPromptly();

} // namespace kelvane
