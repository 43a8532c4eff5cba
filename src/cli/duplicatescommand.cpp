#include "cli/duplicatescommand.h"

#include "cli/rootwalk.h"
#include "common/commas.h"
#include "common/searchpath.h"
#include "duplic/duplicatescan.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kelvane::cli {

namespace {

struct Request {
    DupScanSettings settings;
    std::vector<std::string> roots;
};

bool parseLimit(const std::string& text, int64_t* kb)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 12)
        return false;
    *kb = std::strtoll(text.c_str(), nullptr, 10);
    return true;
}

// Options first, then the paths ("--" ends the options).
bool parseRequest(const char* command, const std::vector<std::string>& args, bool exactAllowed,
                  Request* request)
{
    size_t i = 0;
    for (; i < args.size() && args[i].size() > 1 && args[i][0] == '-'; ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "--exact" && exactAllowed) {
            request->settings.exact = true;
        } else if (arg == "--limit") {
            if (i + 1 == args.size() || !parseLimit(args[i + 1], &request->settings.limitKB)) {
                std::fprintf(stderr, "kelvane-cli %s: --limit needs a number of KB (0 or more)\n", command);
                return false;
            }
            ++i;
        } else if (arg == "--pattern") {
            if (i + 1 == args.size()) {
                std::fprintf(stderr, "kelvane-cli %s: --pattern needs a pattern\n", command);
                return false;
            }
            request->settings.pattern = QString::fromUtf8(args[++i].c_str());
        } else {
            std::fprintf(stderr, "kelvane-cli %s: unknown option %s\n", command, arg.c_str());
            return false;
        }
    }
    request->roots.assign(args.begin() + std::ptrdiff_t(i), args.end());
    if (request->roots.empty()) {
        std::fprintf(stderr, "kelvane-cli %s: no path given\n", command);
        return false;
    }
    return true;
}

int run(const char* command, const char* usage, DupMode mode, const CliOptions& options)
{
    Request request;
    request.settings.mode = mode;
    if (!parseRequest(command, options.args, mode == DupMode::Duplicates, &request)) {
        std::fprintf(stderr, "usage: kelvane-cli %s\n", usage);
        return kExitUsage;
    }
    SearchPathList searchPath;
    searchPath.GetSearchPath();
    request.settings.searchPath = &searchPath;
    request.settings.keepPaths = false; // only the lines are printed

    int status = kExitOk;
    DuplicateScan scan(request.settings);
    for (const std::string& root : request.roots) {
        if (scan.stopped())
            break;
        const bool opened = walkOneRoot(root, [&](WalkProgress& progress) {
            WalkOptions walkOptions;
            walkOptions.threads = options.threads;
            walkOptions.progress = &progress;
            return scan.scanTree(root, walkOptions);
        });
        if (!opened)
            status = kExitUnreadable;
    }
    if (scan.full()) {
        std::fprintf(stderr,
                     "kelvane-cli %s: the candidate list is full (%s lines); the result is incomplete\n",
                     command, addCommas(int64_t(scan.candidateCount())).toUtf8().constData());
        status = kExitUnreadable;
    }
    // Lines go out in large writes: a million of them is the usual case.
    const std::vector<Candidate> sorted = scan.takeCandidates();
    std::string out;
    out.reserve(1 << 20);
    for (const size_t i : scan.resultOrder(sorted)) {
        out.append(sorted[i].text, sorted[i].lineSize);
        out.push_back('\n');
        if (out.size() >= (1 << 20) - 4096) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    return status;
}

} // namespace

int runDuplicates(const CliOptions& options)
{
    return run("duplicates", "duplicates [--exact] [--limit KB] [--pattern P] PATH...", DupMode::Duplicates,
               options);
}

int runHogs(const CliOptions& options)
{
    return run("hogs", "hogs [--limit KB] [--pattern P] PATH...", DupMode::Hogs, options);
}

} // namespace kelvane::cli
