#include "common/failure.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <system_error>

namespace kelvane {

bool isOutOfMemory(const std::exception& e)
{
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return true;
    if (const auto* s = dynamic_cast<const std::system_error*>(&e)) {
        // std::thread's failure to start.
        const int code = s->code().value();
        return s->code().category() == std::generic_category() && (code == EAGAIN || code == ENOMEM);
    }
    // oneTBB reports a worker it could not start in these words.
    return std::strstr(e.what(), "pthread_create has failed") != nullptr;
}

std::string failureText(const std::exception& e)
{
    return isOutOfMemory(e) ? std::string("out of memory") : std::string(e.what());
}

} // namespace kelvane
