#include "support/childprocess.h"

#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kelvane::test {

ChildOutcome runInChild(const std::function<int()>& body)
{
    ChildOutcome outcome;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return outcome;
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return outcome;
    if (pid == 0) {
        ::close(pipeFds[0]);
        ::dup2(pipeFds[1], STDOUT_FILENO);
        const int status = body();
        std::fflush(stdout);
        ::_exit(status);
    }
    ::close(pipeFds[1]);
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        outcome.output.append(buffer, size_t(n));
    ::close(pipeFds[0]);
    int status = 0;
    if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        outcome.status = WEXITSTATUS(status);
    return outcome;
}

bool enterPrivateMounts()
{
    return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool becomeNobody()
{
    constexpr uid_t nobody = 65534;
    return ::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0;
}

std::string mountScratchFileSystem(const std::string& image, const std::string& dir, int sizeMB)
{
    const std::string quiet = " >/dev/null 2>&1";
    const std::string make = "truncate -s " + std::to_string(sizeMB) + "M '" + image +
                             "' && mkfs.ext4 -q -F '" + image + "'" + quiet;
    if (std::system(make.c_str()) == 0 &&
        std::system(("mount -o loop '" + image + "' '" + dir + "'" + quiet).c_str()) == 0)
        return "ext4";
    if (::mount("scratch", dir.c_str(), "tmpfs", 0, "size=16m") == 0)
        return "tmpfs";
    return {};
}

} // namespace kelvane::test
