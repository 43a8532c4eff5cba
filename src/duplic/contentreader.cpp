#include "duplic/contentreader.h"

#define XXH_STATIC_LINKING_ONLY // the hash state lives on the stack
#include <xxhash.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane {

namespace {

constexpr int kFileFlags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY;

bool sameTime(const struct stat& st, const ContentIdentity& id)
{
    return int64_t(st.st_mtim.tv_sec) == id.mtimeSec &&
           (id.mtimeNsec < 0 || int64_t(st.st_mtim.tv_nsec) == id.mtimeNsec);
}

} // namespace

ReadOutcome CheckedFile::open(const std::string& path, ContentIdentity& id)
{
    fd_.reset(::open(path.c_str(), kFileFlags));
    if (!fd_.valid() && errno == ENAMETOOLONG)
        fd_ = openStepwise(path, kDirFlags, kFileFlags);
    if (!fd_.valid()) {
        error_ = errno;
        // Gone, or a link or a directory in its place: not the listed file.
        if (error_ == ENOENT || error_ == ELOOP || error_ == ENOTDIR || error_ == EISDIR)
            return ReadOutcome::Changed;
        return ReadOutcome::Unreadable;
    }
    struct stat st;
    if (::fstat(fd_.get(), &st) != 0) {
        error_ = errno;
        return ReadOutcome::Unreadable;
    }
    if (!S_ISREG(st.st_mode) || st.st_dev != id.dev || st.st_ino != id.ino ||
        int64_t(st.st_size) != id.size || !sameTime(st, id))
        return ReadOutcome::Changed;
    id.mtimeNsec = int64_t(st.st_mtim.tv_nsec);
    ::posix_fadvise(fd_.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    return ReadOutcome::Read;
}

ssize_t CheckedFile::read(void* buffer, size_t n)
{
    for (;;) {
        const ssize_t got = ::read(fd_.get(), buffer, n);
        if (got >= 0)
            return got;
        if (errno != EINTR) {
            error_ = errno;
            return -1;
        }
    }
}

ReadOutcome CheckedFile::stillSame(const ContentIdentity& id)
{
    struct stat st;
    if (::fstat(fd_.get(), &st) != 0) {
        error_ = errno;
        return ReadOutcome::Unreadable;
    }
    return int64_t(st.st_size) == id.size && sameTime(st, id) ? ReadOutcome::Read : ReadOutcome::Changed;
}

ContentReader::ContentReader() : buffer_(new char[kBufferSize]) {}

ContentReader::~ContentReader() = default;

ReadOutcome ContentReader::fail(const CheckedFile& file)
{
    error_ = file.error();
    return ReadOutcome::Unreadable;
}

ReadOutcome ContentReader::headHash(const std::string& path, ContentIdentity& id, ContentHash* hash)
{
    CheckedFile file;
    if (const ReadOutcome opened = file.open(path, id); opened != ReadOutcome::Read) {
        error_ = file.error();
        return opened;
    }
    const size_t want = size_t(std::min(id.size, kHeadBytes));
    size_t have = 0;
    while (have < want) {
        const ssize_t got = file.read(buffer_.get() + have, want - have);
        if (got < 0)
            return fail(file);
        if (got == 0)
            return ReadOutcome::Changed; // shorter than listed
        have += size_t(got);
    }
    if (const ReadOutcome after = file.stillSame(id); after != ReadOutcome::Read) {
        error_ = file.error();
        return after;
    }
    const XXH128_hash_t h = XXH3_128bits(buffer_.get(), have);
    *hash = ContentHash{h.low64, h.high64};
    return ReadOutcome::Read;
}

ReadOutcome ContentReader::fullHash(const std::string& path, ContentIdentity& id, ContentHash* hash,
                                    const std::stop_token& stop, std::atomic<uint64_t>* bytesRead)
{
    CheckedFile file;
    if (const ReadOutcome opened = file.open(path, id); opened != ReadOutcome::Read) {
        error_ = file.error();
        return opened;
    }
    XXH3_state_t state;
    XXH3_INITSTATE(&state);
    XXH3_128bits_reset(&state);
    int64_t total = 0;
    for (;;) {
        if (stop.stop_requested())
            return ReadOutcome::Aborted;
        const ssize_t got = file.read(buffer_.get(), kBufferSize);
        if (got < 0)
            return fail(file);
        if (got == 0)
            break;
        total += got;
        if (total > id.size)
            return ReadOutcome::Changed; // grew while read
        XXH3_128bits_update(&state, buffer_.get(), size_t(got));
        if (bytesRead)
            bytesRead->fetch_add(uint64_t(got), std::memory_order_relaxed);
    }
    if (total != id.size)
        return ReadOutcome::Changed;
    if (const ReadOutcome after = file.stillSame(id); after != ReadOutcome::Read) {
        error_ = file.error();
        return after;
    }
    const XXH128_hash_t h = XXH3_128bits_digest(&state);
    *hash = ContentHash{h.low64, h.high64};
    return ReadOutcome::Read;
}

} // namespace kelvane
