#include "cli/samecontentcommand.h"

#include "cli/rootwalk.h"
#include "cli/rowwriter.h"
#include "common/displayname.h"
#include "duplic/contentcandidates.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stop_token>
#include <string>
#include <thread>
#include <unistd.h>

namespace kelvane::cli {

namespace {

bool parseLimit(const std::string& text, int64_t* kb)
{
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *kb = std::strtoll(text.c_str(), nullptr, 10);
    return true;
}

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int)
{
    interrupted = true;
}

// Ctrl-C stops the walk or the reads; the groups proven by then are printed.
// The handler may only set a flag; a watching thread turns it into a stop.
class InterruptCatcher {
public:
    InterruptCatcher()
        : previous_(std::signal(SIGINT, onInterrupt)), watcher_([this](std::stop_token done) { watch(done); })
    {
    }
    ~InterruptCatcher()
    {
        watcher_.request_stop();
        watcher_.join();
        std::signal(SIGINT, previous_);
    }
    std::stop_token token() const { return stop_.get_token(); }

private:
    void watch(const std::stop_token& done)
    {
        while (!done.stop_requested()) {
            if (interrupted) {
                stop_.request_stop();
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    std::stop_source stop_;
    void (*previous_)(int);
    std::jthread watcher_;
};

// Shows the comparison's progress on standard error while it runs, only when
// that is a terminal.
class CompareProgress {
public:
    explicit CompareProgress(const ContentProgress& progress) : progress_(progress)
    {
        if (::isatty(STDERR_FILENO))
            thread_ = std::jthread([this](std::stop_token stop) { follow(stop); });
    }
    ~CompareProgress()
    {
        if (thread_.joinable()) {
            thread_.request_stop();
            thread_.join();
            std::fprintf(stderr, "\r\033[K");
            std::fflush(stderr);
        }
    }

private:
    void follow(std::stop_token stop)
    {
        while (!stop.stop_requested()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            const int step = progress_.step.load();
            if (step != int(ContentStep::Heads) && step != int(ContentStep::Whole))
                continue;
            std::fprintf(stderr, "\r\033[Kcomparing %s: %llu of %llu files, %llu of %llu MiB",
                         step == int(ContentStep::Heads) ? "heads" : "contents",
                         (unsigned long long)progress_.filesRead.load(),
                         (unsigned long long)progress_.filesToRead.load(),
                         (unsigned long long)(progress_.bytesRead.load() >> 20),
                         (unsigned long long)(progress_.bytesToRead.load() >> 20));
            std::fflush(stderr);
        }
    }

    const ContentProgress& progress_;
    std::jthread thread_;
};

// Lines: display paths, an empty line between groups. -0: real paths, an
// empty name between groups. JSON: one object per file with its group.
void writeGroups(const std::vector<ContentFile>& files, const ContentGroups& found, OutputFormat format)
{
    RowWriter out(format);
    int64_t number = 0;
    for (const std::vector<size_t>& group : found.groups) {
        if (++number > 1) {
            out.line({});
            out.path({});
        }
        for (const size_t i : group) {
            const ContentFile& f = files[i];
            switch (format) {
            case OutputFormat::Lines:
                out.line(displayName(f.path).toUtf8().toStdString());
                break;
            case OutputFormat::Null:
                out.path(f.path);
                break;
            case OutputFormat::Json: {
                JsonRow row;
                row.number("group", number)
                    .path(f.path)
                    .number("size", f.id.size)
                    .time("modified", f.id.mtimeSec);
                out.json(row);
                break;
            }
            }
        }
    }
}

} // namespace

int runSameContent(const CliOptions& options)
{
    int64_t limitKB = 0;
    if (options.has("limit") && !parseLimit(options.value("limit"), &limitKB))
        return usageError(options.command, "--limit needs a number of KB (0 or more)");
    const bool hidden = options.has("hidden");
    InterruptCatcher catcher;
    int status = kExitOk;
    ContentCandidates candidates(limitKB * 1024, hidden);
    for (const std::string& root : options.paths) {
        if (interrupted)
            break;
        const bool opened = walkOneRoot(root, [&](WalkProgress& progress) {
            WalkOptions walkOptions = walkOptionsFor(options, progress);
            walkOptions.stop = catcher.token();
            return candidates.addTree(root, walkOptions);
        });
        if (!opened)
            status = kExitUnreadable;
    }
    const std::vector<ContentFile> files = candidates.take();
    ContentOptions compareOptions;
    compareOptions.byteCompare = options.has("byte-compare");
    compareOptions.stop = catcher.token();
    ContentProgress progress;
    compareOptions.progress = &progress;
    ContentGroups found;
    {
        CompareProgress follower(progress);
        found = findSameContent(files, compareOptions);
    }
    writeGroups(files, found, options.format);

    for (const FileProblem& p : found.problems) {
        const QByteArray path = displayName(p.path).toUtf8();
        if (p.error == 0)
            std::fprintf(stderr, "kelvane-cli same-content: %s changed while it was compared; left out\n",
                         path.constData());
        else
            std::fprintf(stderr, "kelvane-cli same-content: cannot read %s: %s\n", path.constData(),
                         std::strerror(p.error));
    }
    const uint64_t problems = found.changed + found.unreadable;
    if (problems > found.problems.size())
        std::fprintf(stderr, "kelvane-cli same-content: ... and %llu more files left out\n",
                     (unsigned long long)(problems - found.problems.size()));
    if (problems > 0)
        status = kExitUnreadable;
    if (interrupted || found.aborted) {
        std::fprintf(stderr,
                     "kelvane-cli same-content: interrupted; only the groups proven so far are listed\n");
        status = kExitUnreadable;
    }
    if (std::ferror(stdout)) {
        std::fprintf(stderr, "kelvane-cli same-content: the output could not be written\n");
        status = kExitUnreadable;
    }
    return status;
}

} // namespace kelvane::cli
