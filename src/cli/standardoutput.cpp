#include "cli/standardoutput.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace kelvane::cli {

namespace {

int firstError = 0;

ssize_t writeAll(void*, const char* data, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(STDOUT_FILENO, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (firstError == 0)
                firstError = n < 0 ? errno : EIO;
            // Claim the data was taken: what cannot be written is lost
            // either way, and the stream keeps no stale bytes to retry.
            return ssize_t(size);
        }
        done += size_t(n);
    }
    return ssize_t(size);
}

} // namespace

void watchStandardOutput()
{
    cookie_io_functions_t functions{};
    functions.write = writeAll;
    FILE* stream = ::fopencookie(nullptr, "w", functions);
    if (!stream)
        return; // the plain stream then; its errors still show in ferror
    std::setvbuf(stream, nullptr, ::isatty(STDOUT_FILENO) ? _IOLBF : _IOFBF, 1 << 16);
    stdout = stream; // glibc's stdout is an ordinary variable
}

int standardOutputError()
{
    if (std::fflush(stdout) != 0 && firstError == 0)
        firstError = errno != 0 ? errno : EIO;
    if (firstError == 0 && std::ferror(stdout))
        firstError = EIO;
    return firstError;
}

} // namespace kelvane::cli
