#pragma once

#include <exception>
#include <string>

namespace kelvane {

// True for the failures that mean the system ran out of memory: a failed
// allocation, or a thread that could not be created (its stack could not be
// mapped, or the process has too many threads).
bool isOutOfMemory(const std::exception& e);

// What a failure says to the user: "out of memory" for the above, else its own
// text.
std::string failureText(const std::exception& e);

} // namespace kelvane
