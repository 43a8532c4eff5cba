// kelvane-cli: every tool's scan without windows, for scripts and benchmarks.

#include "cli/clioptions.h"
#include "cli/commandline.h"
#include "cli/rootwalk.h"
#include "cli/standardoutput.h"
#include "common/failure.h"
#include "common/memoryrelease.h"
#include "common/stamptext.h"
#include "common/unreadabletext.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <unistd.h>

namespace {

[[noreturn]] void outOfMemory()
{
    // Nothing here may allocate: write, then leave without running anything more.
    // Several threads may run out at once: the first writes and ends the
    // process, the others wait for that.
    static std::atomic_flag reported = ATOMIC_FLAG_INIT;
    static const char message[] = "kelvane-cli: out of memory\n";
    if (reported.test_and_set()) {
        for (;;)
            ::pause();
    }
    [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(kelvane::cli::kExitUnreadable);
}

// A failure no code could catch (thrown on one of oneTBB's own threads, or
// through a function that may not throw) ends here: running out of memory
// still ends with its message and status 1, not with an abort.
[[noreturn]] void onTerminate()
{
    if (const std::exception_ptr failure = std::current_exception()) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            if (kelvane::isOutOfMemory(e))
                outOfMemory();
            std::fprintf(stderr, "kelvane-cli: %s\n", e.what());
        } catch (...) {
        }
    }
    std::abort();
}

} // namespace

int main(int argc, char** argv)
{
    std::set_terminate(onTerminate);
    kelvane::returnFreedMemoryPromptly();
    kelvane::cli::watchStandardOutput();
    int status;
    try {
        kelvane::prepareStampTexts();
        status = kelvane::cli::runCommandLine(argc, argv);
    } catch (const std::exception& e) {
        if (kelvane::isOutOfMemory(e))
            outOfMemory();
        std::fprintf(stderr, "kelvane-cli: %s\n", e.what());
        return kelvane::cli::kExitUnreadable;
    }
    // Everything that could be read has been printed; now say what could not.
    if (const uint64_t unreadable = kelvane::cli::unreadableCount()) {
        std::fprintf(stderr, "kelvane-cli: %s\n", kelvane::unreadableText(unreadable).toUtf8().constData());
        if (status == kelvane::cli::kExitOk)
            status = kelvane::cli::kExitUnreadable;
    }
    if (const int error = kelvane::cli::standardOutputError()) {
        // A reader that went away (EPIPE) needs no message: it has all it wanted.
        if (error != EPIPE)
            std::fprintf(stderr, "kelvane-cli: write error: %s\n", std::strerror(error));
        if (status == kelvane::cli::kExitOk)
            status = kelvane::cli::kExitUnreadable;
    }
    return status;
}
