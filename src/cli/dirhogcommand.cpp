#include "cli/dirhogcommand.h"

#include "cli/rootwalk.h"
#include "dirhog/dirhogscan.h"

#include <atomic>
#include <cstdio>
#include <cstring>

namespace kelvane::cli {

namespace {

constexpr const char* kUsage = "usage: kelvane-cli dirhogs [--main] PATH...\n";

} // namespace

int runDirHogs(const CliOptions& options)
{
    DirHogMode mode = DirHogMode::AllDirectories;
    std::vector<std::string> roots;
    bool optionsDone = false;
    for (const std::string& arg : options.args) {
        if (!optionsDone && arg == "--main") {
            mode = DirHogMode::MainDirectories;
        } else if (!optionsDone && arg == "--") {
            optionsDone = true;
        } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "kelvane-cli dirhogs: bad option %s\n%s", arg.c_str(), kUsage);
            return kExitUsage;
        } else {
            roots.push_back(arg);
        }
    }
    if (roots.empty()) {
        std::fprintf(stderr, "kelvane-cli dirhogs: no path given\n%s", kUsage);
        return kExitUsage;
    }

    int status = kExitOk;
    std::atomic<bool> abort{false};
    DirHogScan scan(mode);
    scan.setOnFull([&abort] { abort = true; });
    for (const std::string& root : roots) {
        const bool opened = walkOneRoot(root, [&](WalkProgress& progress) {
            WalkOptions walkOptions;
            walkOptions.threads = options.threads;
            walkOptions.progress = &progress;
            walkOptions.abort = &abort;
            return scan.scanDrive(root, walkOptions);
        });
        if (!opened)
            status = kExitUnreadable;
    }
    if (scan.limitReached())
        std::fprintf(stderr, "kelvane-cli: Resource limit reached ... cannot process any more files.\n");
    for (const DirHogRow& row : scan.handOver()) {
        const QByteArray line = row.line.toUtf8();
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        std::fputc('\n', stdout);
    }
    return status;
}

} // namespace kelvane::cli
