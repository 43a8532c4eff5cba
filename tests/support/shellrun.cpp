#include "support/shellrun.h"

#include "support/temptree.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace kelvane::test {

std::string shellQuote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

ShellRun runShell(const std::string& command)
{
    TempTree scratch;
    const std::string errFile = scratch.path("stderr");
    ShellRun run;
    FILE* pipe = ::popen((command + " 2>" + shellQuote(errFile)).c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* err = std::fopen(errFile.c_str(), "r")) {
        while ((n = std::fread(buffer.data(), 1, buffer.size(), err)) > 0)
            run.err.append(buffer.data(), n);
        std::fclose(err);
    }
    return run;
}

} // namespace kelvane::test
