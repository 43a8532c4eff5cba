// kelvane-gencontent: writes a deterministic tree of real file contents for
// the same-content benchmark (bench/samecontent.sh): true copies, copies nested
// in several folders, and near copies that only reading can tell apart (same
// size with other bytes, same head with another tail, same head and tail with
// another middle).
//
//   kelvane-gencontent TARGET [--scale N]
//
// The same scale always gives the same tree: every choice comes from a fixed
// seed through std::mt19937_64 and integer arithmetic. Scale 100 (the default)
// writes about 3 GiB. A complete tree is marked by kelvane-gencontent.done in
// TARGET and reused; anything else in TARGET is deleted first.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t kSeed = 0x53616d65436f6e74ULL;
constexpr int kFormat = 1;
constexpr const char* kDoneName = "kelvane-gencontent.done";

struct Content {
    std::uint64_t seed;
    std::uint64_t size;
    // A change applied over the seed's bytes: none, or one byte flipped at a position.
    bool flip = false;
    std::uint64_t flipAt = 0;
};

struct File {
    std::string path;
    Content content;
};

std::uint64_t splitmix64(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

class Rng {
public:
    explicit Rng(std::uint64_t seed) : engine_(seed) {}
    std::uint64_t below(std::uint64_t n) { return engine_() % n; }
    // Log-uniform in [lo, hi].
    std::uint64_t logUniform(std::uint64_t lo, std::uint64_t hi)
    {
        int bitsLo = 0, bitsHi = 0;
        while ((std::uint64_t(1) << bitsLo) < lo)
            ++bitsLo;
        while ((std::uint64_t(1) << bitsHi) < hi)
            ++bitsHi;
        const int bits = bitsLo + int(below(std::uint64_t(bitsHi - bitsLo + 1)));
        const std::uint64_t top = std::uint64_t(1) << bits;
        const std::uint64_t v = top / 2 + below(top / 2 + 1);
        return v < lo ? lo : v > hi ? hi : v;
    }
    bool percent(int p) { return below(100) < std::uint64_t(p); }

private:
    std::mt19937_64 engine_;
};

void die(const std::string& what)
{
    std::fprintf(stderr, "kelvane-gencontent: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(1);
}

void makeDirs(const std::string& path)
{
    for (size_t pos = 1; pos != std::string::npos; pos = path.find('/', pos + 1)) {
        const std::string part = path.substr(0, pos);
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            die("mkdir " + part);
    }
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
        die("mkdir " + path);
}

void writeFile(const std::string& path, const Content& c, std::vector<char>& buffer)
{
    const size_t slash = path.rfind('/');
    makeDirs(path.substr(0, slash));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        die("create " + path);
    std::uint64_t state = splitmix64(c.seed);
    for (std::uint64_t offset = 0; offset < c.size;) {
        const size_t n = size_t(std::min<std::uint64_t>(buffer.size(), c.size - offset));
        for (size_t i = 0; i < n; i += 8) {
            state = splitmix64(state);
            std::memcpy(buffer.data() + i, &state, std::min<size_t>(8, n - i));
        }
        if (c.flip && c.flipAt >= offset && c.flipAt < offset + n)
            buffer[size_t(c.flipAt - offset)] ^= 0x5a;
        for (size_t done = 0; done < n;) {
            const ssize_t w = ::write(fd, buffer.data() + done, n - done);
            if (w < 0)
                die("write " + path);
            done += size_t(w);
        }
        offset += n;
    }
    if (::close(fd) != 0)
        die("close " + path);
}

std::vector<File> plan(int scale)
{
    Rng rng(kSeed);
    std::vector<File> files;
    std::uint64_t nextSeed = 1;
    const char* areas[] = {"photos", "music", "projects", "downloads", "documents"};
    const char* exts[] = {".jpg", ".mp3", ".c", ".zip", ".pdf"};
    // Originals: many small files, fewer medium ones, a few large ones.
    std::vector<File> originals;
    const int small = 300 * scale, medium = 12 * scale, large = scale / 12;
    for (int i = 0; i < small + medium + large; ++i) {
        const int area = int(rng.below(5));
        std::uint64_t size = i < small            ? rng.logUniform(1, 64 * 1024)
                             : i < small + medium ? rng.logUniform(64 * 1024, 8 * 1024 * 1024)
                                                  : rng.logUniform(32 << 20, 128 << 20);
        char name[128];
        std::snprintf(name, sizeof name, "%s/set%02d/sub%d/item%06d%s", areas[area], int(rng.below(40)),
                      int(rng.below(4)), i, exts[area]);
        originals.push_back(File{name, Content{nextSeed++, size}});
    }
    files = originals;
    for (const File& o : originals) {
        const Content& c = o.content;
        // Exact copies: in a backup folder, some nested one more level down.
        if (rng.percent(15)) {
            const int copies = 1 + int(rng.below(3));
            for (int k = 0; k < copies; ++k) {
                const std::string where =
                    k == 0   ? "backup/" + o.path
                    : k == 1 ? "backup/old/backup/" + o.path
                             : "archive/" + std::to_string(2015 + rng.below(10)) + "/" + o.path;
                files.push_back(File{where, c});
            }
        }
        // Same size, other bytes.
        if (rng.percent(5))
            files.push_back(File{"downloads/other/" + o.path, Content{nextSeed++, c.size}});
        // Same head, another last byte (after the first 4 KiB for most).
        if (rng.percent(5) && c.size > 0)
            files.push_back(File{"downloads/tail/" + o.path, Content{c.seed, c.size, true, c.size - 1}});
        // Same head and tail, another byte in the middle.
        if (rng.percent(3) && c.size > 8192)
            files.push_back(File{"downloads/middle/" + o.path, Content{c.seed, c.size, true, c.size / 2}});
    }
    // A whole project folder copied into two nested places.
    for (int i = 0; i < 40 * scale / 10; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "src/module%02d/file%04d.c", i % 7, i);
        const Content c{nextSeed++, rng.logUniform(100, 40000)};
        files.push_back(File{std::string("projects/alpha/") + name, c});
        files.push_back(File{std::string("backup/projects/alpha/") + name, c});
        files.push_back(File{std::string("backup/projects/alpha/old/alpha/") + name, c});
    }
    // Empty files: never duplicates here.
    for (int i = 0; i < 2 * scale; ++i)
        files.push_back(File{"documents/empty/e" + std::to_string(i), Content{0, 0}});
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: kelvane-gencontent TARGET [--scale N]\n");
        return 2;
    }
    const std::string target = argv[1];
    int scale = 100;
    if (argc == 4 && std::strcmp(argv[2], "--scale") == 0)
        scale = std::atoi(argv[3]);
    if (scale < 1) {
        std::fprintf(stderr, "kelvane-gencontent: --scale needs a positive number\n");
        return 2;
    }
    char marker[128];
    std::snprintf(marker, sizeof marker, "format=%d\nscale=%d\n", kFormat, scale);
    const std::string donePath = target + "/" + kDoneName;
    if (FILE* f = std::fopen(donePath.c_str(), "r")) {
        char seen[128] = {};
        const size_t n = std::fread(seen, 1, sizeof seen - 1, f);
        std::fclose(f);
        if (std::string(seen, n).rfind(marker, 0) == 0) {
            std::printf("kelvane-gencontent: %s is complete, reused\n", target.c_str());
            return 0;
        }
    }
    if (std::system(("rm -rf -- '" + target + "'").c_str()) != 0)
        die("rm " + target);
    makeDirs(target);
    const std::vector<File> files = plan(scale);
    std::vector<char> buffer(1 << 20);
    std::uint64_t bytes = 0;
    for (const File& f : files) {
        writeFile(target + "/" + f.path, f.content, buffer);
        bytes += f.content.size;
    }
    FILE* done = std::fopen(donePath.c_str(), "w");
    if (!done)
        die("create " + donePath);
    std::fprintf(done, "%sfiles=%zu\nbytes=%" PRIu64 "\n", marker, files.size(), bytes);
    std::fclose(done);
    std::printf("kelvane-gencontent: %zu files, %.2f GiB in %s\n", files.size(), double(bytes) / (1 << 30),
                target.c_str());
    return 0;
}
