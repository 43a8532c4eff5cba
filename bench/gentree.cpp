// kelvane-gentree: writes a large, deterministic tree of sparse files for the
// benchmarks in bench/run.sh.
//
// The same parameters always give the same tree: names, sizes, timestamps and
// shape come only from a fixed seed (never from the clock), and every random
// choice is made with plain integer arithmetic on std::mt19937_64, whose output
// the C++ standard fixes, so the tree does not depend on the standard library's
// distributions or on libm.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>
#include <vector>

namespace {

constexpr std::uint64_t kDefaultSeed = 0x4b656c76616e6531ULL;
// Bump whenever the generated tree changes for the same parameters, so that
// trees written by an older generator are not mistaken for current ones.
constexpr int kFormat = 1;
constexpr const char* kDoneName = "kelvane-gentree.done";
constexpr const char* kPartialName = "kelvane-gentree.partial";
constexpr std::int64_t kTimeLo = 1420070400;  // 2015-01-01 00:00:00 UTC
constexpr std::int64_t kTimeHi = 1735689600;  // 2025-01-01 00:00:00 UTC
constexpr std::int64_t kDay = 86400;
constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kGiB = 1024 * kMiB;
constexpr int kMaxNormalDepth = 16;

// ---------------------------------------------------------------- random ---

std::uint64_t splitmix64(std::uint64_t x) {
  x += 0x9e3779b97f4a7c15ULL;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : engine_(seed) {}

  // Uniform in [lo, hi], by rejection (no modulo bias).
  std::uint64_t range(std::uint64_t lo, std::uint64_t hi) {
    const std::uint64_t span = hi - lo;
    if (span == UINT64_MAX) return engine_();
    const std::uint64_t n = span + 1;
    const std::uint64_t limit = (UINT64_MAX / n) * n;
    std::uint64_t x;
    do {
      x = engine_();
    } while (x >= limit);
    return lo + x % n;
  }
  std::int64_t srange(std::int64_t lo, std::int64_t hi) {
    return lo + static_cast<std::int64_t>(range(0, static_cast<std::uint64_t>(hi - lo)));
  }
  bool chance(unsigned perMille) { return range(0, 999) < perMille; }
  std::size_t index(std::size_t n) { return static_cast<std::size_t>(range(0, n - 1)); }
  template <class T, std::size_t N>
  const T& pick(const T (&items)[N]) {
    return items[index(N)];
  }

 private:
  std::mt19937_64 engine_;
};

// ---------------------------------------------------------------- names ----

// File names that occur over and over in real trees, with letter-case variants.
const char* const kCommonFiles[] = {
    "readme.txt", "README.txt", "ReadMe.txt", "README", "README.md", "readme.md",
    "Readme.md", "index.html", "Index.html", "INDEX.HTML", "index.htm", "index.js",
    "Makefile", "makefile", "MAKEFILE", "CMakeLists.txt", "LICENSE", "License.txt",
    "COPYING", "main.c", "main.cpp", "Main.java", "__init__.py", "setup.py",
    "config.json", "Config.json", "package.json", "style.css", "Style.css",
    "script.js", "app.js", "data.csv", "Data.csv", "notes.txt", "Notes.txt",
    "NOTES.TXT", "todo.txt", "TODO", "CHANGELOG.md", "changelog.txt", "image.png",
    "Image.PNG", "photo.jpg", "Photo.JPG", "thumbnail.jpg", "Thumbs.db",
    "desktop.ini", "favicon.ico", "report.pdf", "Report.pdf", "REPORT.PDF",
    "invoice.pdf", "output.log", "error.log", "debug.log", "test.py", "utils.py",
    "Utils.java", "build.sh", "run.sh", "install.sh", "Dockerfile",
    "requirements.txt", "settings.xml", "pom.xml", "config.yaml",
    "docker-compose.yml", "New Text Document.txt", "Copy of report.docx",
    "R\xc3\xa9sum\xc3\xa9.pdf", "Untitled.odt", "na\xc3\xafve notes.txt"};

const char* const kStems[] = {
    "report", "data", "image", "photo", "scan", "document", "notes", "draft",
    "final", "backup", "export", "output", "result", "summary", "invoice",
    "letter", "budget", "plan", "schedule", "presentation", "slides", "chart",
    "table", "list", "index", "main", "util", "helper", "config", "settings",
    "module", "parser", "lexer", "server", "client", "widget", "view", "model",
    "controller", "test", "specs", "bench", "sample", "example", "demo", "track",
    "song", "album", "cover", "video", "clip", "movie", "episode", "frame",
    "texture", "sprite", "icon", "logo", "banner", "font", "theme", "style",
    "script", "build", "package", "archive", "dump", "log", "trace", "record",
    "entry", "page", "chapter", "section", "thesis", "paper", "article", "memo",
    "Report", "Data", "Photo", "Notes", "Final", "Backup", "Invoice", "Budget",
    "IMG", "DSC", "Scan", "Screenshot", "Untitled", "Copy of report",
    "New Document", "caf\xc3\xa9 menu", "\303\274bersicht"};

struct Ext {
  const char* text;
  unsigned weight;
};
const Ext kExts[] = {
    {".txt", 60}, {".md", 25},    {".html", 20}, {".htm", 5},    {".css", 15},
    {".js", 40},  {".ts", 15},    {".json", 30}, {".xml", 15},   {".yaml", 8},
    {".yml", 8},  {".c", 30},     {".h", 35},    {".cpp", 25},   {".hpp", 10},
    {".py", 30},  {".pyc", 15},   {".rs", 8},    {".go", 8},     {".java", 15},
    {".class", 15}, {".o", 20},   {".so", 5},    {".a", 3},      {".png", 40},
    {".jpg", 40}, {".JPG", 15},   {".jpeg", 5},  {".gif", 8},    {".svg", 10},
    {".webp", 4}, {".mp3", 15},   {".flac", 4},  {".wav", 3},    {".ogg", 3},
    {".mp4", 6},  {".mkv", 2},    {".mov", 2},   {".MOV", 1},    {".pdf", 25},
    {".PDF", 3},  {".doc", 5},    {".docx", 10}, {".xls", 3},    {".xlsx", 6},
    {".odt", 4},  {".ods", 2},    {".csv", 12},  {".zip", 6},    {".tar", 2},
    {".tar.gz", 5}, {".gz", 4},   {".xz", 2},    {".bz2", 1},    {".7z", 1},
    {".log", 25}, {".db", 3},     {".sqlite", 2}, {".bak", 5},   {".tmp", 4},
    {".ini", 4},  {".cfg", 4},    {".conf", 4},  {".sh", 8},     {".bat", 1},
    {".deb", 1},  {".iso", 1},    {".bin", 3},   {".dat", 6},    {".TXT", 2},
    {"", 30}};

const char* const kDirNames[] = {
    "src", "lib", "include", "docs", "doc", "test", "tests", "build", "bin",
    "assets", "images", "img", "icons", "css", "js", "scripts", "data", "config",
    "vendor", "node_modules", "packages", "modules", "cache", "tmp", "temp",
    "logs", "backup", "Backups", "old", "archive", "Archive", "Documents",
    "Downloads", "Music", "Pictures", "Photos", "Videos", "Projects", "work",
    "misc", "stuff", "resources", "res", "static", "public", "private", "shared",
    "common", "core", "utils", "tools", "examples", "samples", "fonts", "locale",
    "i18n", "migrations", "models", "views", "controllers", "components",
    "widgets", "plugins", "themes", "templates", "output", "dist", "release",
    "debug", "x86_64", "arm64", "v1", "v2", "v3", "2015", "2016", "2017", "2018",
    "2019", "2020", "2021", "2022", "2023", "2024", "New Folder", "Old Stuff",
    "Q1", "Q2", "Q3", "Q4", "drafts", "final", "client", "server", "api", "web",
    "app", "mobile", "desktop", "linux", "windows", "macos", "third_party",
    "external", "generated", "obj", "Debug", "Release", "SRC", "Docs", "Src",
    "Caf\xc3\xa9", "r\xc3\xa9sum\xc3\xa9s"};

const char* const kChainStyles[] = {"sub", "nested", "a", "level", "deeper", "d", "x"};

const char* const kHugeNames[] = {
    "disk-image.img", "system-backup.tar.gz", "vm-disk.qcow2", "movie.mkv",
    "recording.mov", "install-dvd.iso", "database-dump.sql", "swapfile.bin",
    "Virtual Machine.vdi", "raw-footage.MP4"};

std::string pickExt(Rng& rng) {
  static const unsigned total = [] {
    unsigned t = 0;
    for (const Ext& e : kExts) t += e.weight;
    return t;
  }();
  unsigned r = static_cast<unsigned>(rng.range(0, total - 1));
  for (const Ext& e : kExts) {
    if (r < e.weight) return e.text;
    r -= e.weight;
  }
  return "";
}

// Appends prefix, n and suffix to name. (Appending piece by piece also keeps
// GCC 12's -Wrestrict false positive on "x" + std::string away.)
void appendNumber(std::string& name, std::string_view prefix, std::uint64_t n,
                  std::string_view suffix = {}) {
  name.append(prefix);
  name.append(std::to_string(n));
  name.append(suffix);
}

std::string upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string generalFileName(Rng& rng) {
  if (rng.chance(250)) return rng.pick(kCommonFiles);
  std::string name = rng.pick(kStems);
  switch (rng.range(0, 5)) {
    case 0: break;
    case 1: name += std::to_string(rng.range(1, 99)); break;
    case 2: appendNumber(name, "_", rng.range(1, 9999)); break;
    case 3: appendNumber(name, "-", rng.range(2015, 2024)); break;
    case 4: appendNumber(name, " (", rng.range(1, 9), ")"); break;
    default: appendNumber(name, "-v", rng.range(1, 12)); break;
  }
  name += pickExt(rng);
  if (rng.chance(30)) name = upper(name);
  return name;
}

struct Date {
  int year;
  unsigned month, day;
};

// Proleptic Gregorian date of a day count since 1970-01-01.
Date civilDate(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto doe = static_cast<unsigned>(days - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  const auto y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0));
  return {y, m, d};
}

// Names in the wide directories follow one pattern per directory, as camera
// folders, rotated logs or caches do.
std::string wideFileName(int theme, std::uint64_t i, std::uint64_t start, Rng& rng) {
  char buf[96];
  switch (theme) {
    case 0: std::snprintf(buf, sizeof buf, "IMG_%04" PRIu64 ".JPG", start + i); break;
    case 1: std::snprintf(buf, sizeof buf, "DSC%05" PRIu64 ".jpg", start + i); break;
    case 2: std::snprintf(buf, sizeof buf, "frame_%06" PRIu64 ".png", start + i); break;
    case 3: {
      const Date day = civilDate(kTimeLo / kDay + static_cast<std::int64_t>(start + i / 3));
      std::snprintf(buf, sizeof buf, "app-%04d-%02u-%02u.%" PRIu64 ".log", day.year, day.month,
                    day.day, i % 3);
      break;
    }
    case 4:
      std::snprintf(buf, sizeof buf, "%016" PRIx64, rng.range(0, UINT64_MAX));
      return buf;
    default: return generalFileName(rng);
  }
  return buf;
}

// Makes name unique among used by adding "_N" before the extension.
std::string uniqueName(std::string name, std::unordered_set<std::string>& used) {
  if (used.insert(name).second) return name;
  const std::size_t dot = name.find('.', 1);
  const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
  const std::string ext = dot == std::string::npos ? "" : name.substr(dot);
  for (unsigned n = 2;; ++n) {
    std::string candidate = stem + "_" + std::to_string(n) + ext;
    if (used.insert(candidate).second) return candidate;
  }
}

// ---------------------------------------------------------------- sizes ----

struct SizeBucket {
  unsigned weight;  // out of 10000
  std::uint64_t lo, hi;
};
const SizeBucket kSizes[] = {
    {100, 0, 0},
    {300, 1, 99},
    {900, 100, 299},
    {1800, 300, 999},
    {2200, 1000, 2999},
    {2000, 3000, 9999},
    {1400, 10000, 29999},
    {800, 30000, 99999},
    {300, 100000, 299999},
    {130, 300000, 999999},
    {50, 1000000, 2999999},
    {15, 3000000, 9999999},
    {4, 10000000, 29999999},
    {1, 30000000, 99999999},
};

std::uint64_t drawSize(Rng& rng) {
  unsigned r = static_cast<unsigned>(rng.range(0, 9999));
  for (const SizeBucket& b : kSizes) {
    if (r < b.weight) {
      // Two draws lean towards the low end of the bucket.
      return b.lo + rng.range(0, rng.range(0, b.hi - b.lo));
    }
    r -= b.weight;
  }
  return 0;
}

// ---------------------------------------------------------------- plan -----

enum class Kind : std::uint8_t { Root, Normal, Hub, Chain, ChainEnd, Wide };

struct Dir {
  std::uint32_t parent = 0;
  std::uint16_t depth = 0;
  Kind kind = Kind::Normal;
  int theme = 0;
  std::uint64_t files = 0;
  std::string name;
  std::string path;  // relative to the target; empty for the root
  std::vector<std::uint32_t> children;
  std::vector<std::uint64_t> huge;  // sizes of huge files, one per file slot
};

struct Params {
  std::uint64_t files = 1000000;
  std::uint64_t dirs = 60000;
  std::uint64_t seed = kDefaultSeed;
};

std::vector<Dir> planTree(const Params& p) {
  Rng rng(splitmix64(p.seed));
  const std::uint64_t m = p.dirs;
  std::vector<Dir> dirs(1);
  dirs.reserve(m + 1);
  dirs[0].kind = Kind::Root;
  std::unordered_set<std::string> taken;  // "parent/name"

  auto addDir = [&](std::uint32_t parent, std::string name, Kind kind) {
    std::string key = std::to_string(parent) + "/" + name;
    if (!taken.insert(key).second) {
      for (unsigned n = 2;; ++n) {
        std::string alt = name + "_" + std::to_string(n);
        if (taken.insert(std::to_string(parent) + "/" + alt).second) {
          name = alt;
          break;
        }
      }
    }
    Dir d;
    d.parent = parent;
    d.depth = static_cast<std::uint16_t>(dirs[parent].depth + 1);
    d.kind = kind;
    d.path = dirs[parent].path.empty() ? name : dirs[parent].path + "/" + name;
    d.name = std::move(name);
    const auto index = static_cast<std::uint32_t>(dirs.size());
    dirs.push_back(std::move(d));
    dirs[parent].children.push_back(index);
    return index;
  };

  // Deep chains: 20-40 levels each, at most a quarter of all directories.
  std::vector<std::uint64_t> chainLengths;
  if (m >= 200) {
    const std::uint64_t chains = std::clamp<std::uint64_t>(m / 4000, 1, 30);
    std::uint64_t budget = m / 4;
    for (std::uint64_t c = 0; c < chains && budget >= 20; ++c) {
      const std::uint64_t len = std::min(rng.range(20, 40), budget);
      chainLengths.push_back(len);
      budget -= len;
    }
  }
  std::uint64_t chainTotal = 0;
  for (std::uint64_t len : chainLengths) chainTotal += len;

  // Ordinary directories: a random recursive tree, with some locality (new
  // directories often land next to recent ones, which makes it deeper) and a
  // few hubs that collect hundreds of subdirectories.
  const std::uint64_t normal = m - chainTotal;
  const std::uint64_t hubEvery = normal >= 3000 ? 3000 : 0;
  std::vector<std::uint32_t> hubs;
  for (std::uint64_t i = 1; i <= normal; ++i) {
    const auto count = static_cast<std::uint32_t>(dirs.size());
    std::uint32_t parent = 0;
    const std::uint64_t r = rng.range(0, 99);
    if (r < 12 && !hubs.empty()) {
      parent = hubs[rng.index(hubs.size())];
    } else {
      for (int attempt = 0; attempt < 8; ++attempt) {
        std::uint32_t candidate;
        if (r < 35) {
          const std::uint32_t window = std::min<std::uint32_t>(count, 64);
          candidate = count - 1 - static_cast<std::uint32_t>(rng.range(0, window - 1));
        } else {
          // The shallower of two random directories: keeps most of the tree
          // at depths a person's files are usually at.
          candidate = static_cast<std::uint32_t>(rng.range(0, count - 1));
          const auto other = static_cast<std::uint32_t>(rng.range(0, count - 1));
          if (dirs[other].depth < dirs[candidate].depth) candidate = other;
        }
        if (dirs[candidate].depth < kMaxNormalDepth) {
          parent = candidate;
          break;
        }
      }
    }
    std::string name = rng.pick(kDirNames);
    if (rng.chance(150)) appendNumber(name, "-", rng.range(1, 500));
    const std::uint32_t index = addDir(parent, std::move(name), Kind::Normal);
    if (hubEvery != 0 && hubs.size() < i / hubEvery + 1 && dirs[index].depth <= 5) {
      dirs[index].kind = Kind::Hub;
      hubs.push_back(index);
    }
  }

  for (std::uint64_t len : chainLengths) {
    std::uint32_t at = 0;
    for (int attempt = 0; attempt < 64; ++attempt) {
      const auto candidate = static_cast<std::uint32_t>(rng.range(0, dirs.size() - 1));
      if (dirs[candidate].depth <= 6 && (dirs[candidate].kind == Kind::Normal ||
                                         dirs[candidate].kind == Kind::Root)) {
        at = candidate;
        break;
      }
    }
    const std::string style = rng.pick(kChainStyles);
    for (std::uint64_t level = 0; level < len; ++level) {
      std::string name = style;
      if (style == "level" || style == "d") {
        char buf[24];
        std::snprintf(buf, sizeof buf, "%02" PRIu64, level + 1);
        name += buf;
      }
      at = addDir(at, std::move(name), level + 1 == len ? Kind::ChainEnd : Kind::Chain);
    }
  }

  // File counts. One file is the completion marker in the root.
  const std::uint64_t spread = p.files - 1;
  std::uint64_t wideTotal = 0;
  if (m >= 50) {
    const std::uint64_t wides = std::clamp<std::uint64_t>(m / 6000, 1, 12);
    const std::uint64_t cap = spread / 10 / wides;
    for (std::uint64_t w = 0; w < wides; ++w) {
      for (int attempt = 0; attempt < 64; ++attempt) {
        Dir& d = dirs[rng.range(1, dirs.size() - 1)];
        if (d.kind != Kind::Normal) continue;
        d.kind = Kind::Wide;
        d.theme = static_cast<int>(rng.range(0, 5));
        d.files = std::min(rng.range(2000, 8000), cap);
        wideTotal += d.files;
        break;
      }
    }
  }
  std::uint64_t weightSum = 0;
  std::vector<std::uint32_t> spreadable;  // directories that may take extra files
  for (std::uint32_t i = 0; i < dirs.size(); ++i) {
    Dir& d = dirs[i];
    switch (d.kind) {
      case Kind::Wide: continue;
      case Kind::Chain: d.files = rng.range(0, 2); break;
      case Kind::Hub: d.files = rng.range(0, 10); break;
      case Kind::Root:
      case Kind::ChainEnd:
      case Kind::Normal: {
        const std::uint64_t r = rng.range(0, 999);
        d.files = r < 850 ? rng.range(4, 26) : r < 950 ? rng.range(0, 3) : rng.range(27, 100);
        spreadable.push_back(i);
        break;
      }
    }
    weightSum += d.files;
  }
  const std::uint64_t rest = spread - wideTotal;
  std::uint64_t assigned = 0;
  for (Dir& d : dirs) {
    if (d.kind == Kind::Wide) continue;
    d.files = weightSum == 0 ? 0 : d.files * rest / weightSum;
    assigned += d.files;
  }
  while (assigned < rest) {
    dirs[spreadable[rng.index(spreadable.size())]].files += 1;
    ++assigned;
  }

  // A few huge files: hundreds of MiB up to 4 GiB.
  if (p.files >= 10000) {
    const std::uint64_t huge = std::clamp<std::uint64_t>(p.files / 50000, 1, 40);
    for (std::uint64_t h = 0; h < huge; ++h) {
      for (int attempt = 0; attempt < 1000; ++attempt) {
        Dir& d = dirs[rng.index(dirs.size())];
        if (d.files <= d.huge.size()) continue;
        const std::uint64_t k = rng.range(0, 5);
        const std::uint64_t lo = 100 * kMiB << k;
        const std::uint64_t hi = std::min(2 * lo - 1, 4 * kGiB);
        d.huge.push_back(rng.range(lo, hi));
        break;
      }
    }
  }
  return dirs;
}

// ---------------------------------------------------------------- errors ---

std::mutex errorMutex;
std::atomic<bool> failed{false};

void reportError(const std::string& what, const std::string& path, int err) {
  std::lock_guard lock(errorMutex);
  if (!failed.exchange(true))
    std::fprintf(stderr, "kelvane-gentree: %s %s: %s\n", what.c_str(), path.c_str(),
                 std::strerror(err));
}

[[noreturn]] void die(const std::string& message) {
  std::fprintf(stderr, "kelvane-gentree: %s\n", message.c_str());
  std::exit(1);
}

// ---------------------------------------------------------------- files ----

// A timestamp at seconds, or anywhere in the ten years if seconds falls outside
// them (clamping would pile files up on the first and last day).
timespec stamp(std::int64_t seconds, Rng& rng) {
  if (seconds < kTimeLo || seconds >= kTimeHi) seconds = rng.srange(kTimeLo, kTimeHi - 1);
  timespec t{};
  t.tv_sec = static_cast<time_t>(seconds);
  t.tv_nsec = static_cast<long>(rng.range(0, 999999999));
  return t;
}

struct Totals {
  std::atomic<std::uint64_t> files{0};
  std::atomic<std::uint64_t> bytes{0};
};

// Writes the files of directory index; returns the directory's own mtime.
timespec writeFiles(int rootFd, const std::vector<Dir>& dirs, std::uint32_t index,
                    std::uint64_t seed, Totals& totals) {
  const Dir& d = dirs[index];
  Rng rng(splitmix64(seed ^ splitmix64(index + 1)));
  const std::int64_t base = rng.srange(kTimeLo, kTimeHi - 1);
  const timespec dirTime = stamp(base + rng.srange(0, 30 * kDay), rng);
  const std::uint64_t start = rng.range(1, 4000);
  if (d.files == 0) return dirTime;

  const std::string shown = d.path.empty() ? "." : d.path;
  int fd = d.path.empty() ? dup(rootFd)
                          : openat(rootFd, d.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    reportError("cannot open directory", shown, errno);
    return dirTime;
  }
  std::unordered_set<std::string> used;
  used.reserve(d.files + d.children.size() + 2);
  for (std::uint32_t child : d.children) used.insert(dirs[child].name);
  if (index == 0) {
    used.insert(kDoneName);
    used.insert(kPartialName);
  }
  std::uint64_t bytes = 0;
  for (std::uint64_t i = 0; i < d.files && !failed.load(std::memory_order_relaxed); ++i) {
    std::uint64_t size;
    std::string name;
    if (i < d.huge.size()) {
      size = d.huge[i];
      name = rng.pick(kHugeNames);
    } else {
      size = drawSize(rng);
      name = d.kind == Kind::Wide ? wideFileName(d.theme, i, start, rng) : generalFileName(rng);
    }
    name = uniqueName(std::move(name), used);
    const std::int64_t when = rng.chance(700) ? base + rng.srange(-180 * kDay, 180 * kDay)
                                              : rng.srange(kTimeLo, kTimeHi - 1);
    const timespec t = stamp(when, rng);
    const timespec times[2] = {t, t};

    const int f = openat(fd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (f < 0) {
      reportError("cannot create", shown + "/" + name, errno);
      break;
    }
    if (size > 0 && ftruncate(f, static_cast<off_t>(size)) != 0) {
      reportError("cannot set size of", shown + "/" + name, errno);
      close(f);
      break;
    }
    if (futimens(f, times) != 0) {
      reportError("cannot set times of", shown + "/" + name, errno);
      close(f);
      break;
    }
    close(f);
    bytes += size;
  }
  close(fd);
  totals.files.fetch_add(d.files, std::memory_order_relaxed);
  totals.bytes.fetch_add(bytes, std::memory_order_relaxed);
  return dirTime;
}

// ---------------------------------------------------------------- target ---

bool readFile(int dirFd, const char* name, std::string& out) {
  const int fd = openat(dirFd, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  char buf[4096];
  ssize_t n;
  out.clear();
  while ((n = read(fd, buf, sizeof buf)) > 0) out.append(buf, static_cast<std::size_t>(n));
  close(fd);
  return n == 0;
}

std::map<std::string, std::string> parseMarker(const std::string& text) {
  std::map<std::string, std::string> values;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    const std::size_t eq = line.find('=');
    if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
    pos = end + 1;
  }
  return values;
}

std::string paramsText(const Params& p) {
  char buf[256];
  std::snprintf(buf, sizeof buf,
                "generator=kelvane-gentree\nformat=%d\nseed=%" PRIu64 "\nfiles=%" PRIu64
                "\ndirs=%" PRIu64 "\n",
                kFormat, p.seed, p.files, p.dirs);
  return buf;
}

bool sameParams(const std::map<std::string, std::string>& marker, const Params& p) {
  const auto want = parseMarker(paramsText(p));
  for (const auto& [key, value] : want) {
    const auto it = marker.find(key);
    if (it == marker.end() || it->second != value) return false;
  }
  return true;
}

std::vector<std::string> listNames(int dirFd) {
  std::vector<std::string> names;
  const int fd = dup(dirFd);
  if (fd < 0) return names;
  DIR* dir = fdopendir(fd);
  if (dir == nullptr) {
    close(fd);
    return names;
  }
  while (const dirent* e = readdir(dir)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    names.emplace_back(e->d_name);
  }
  closedir(dir);
  return names;
}

// Removes everything inside dirFd without following symlinks or leaving the
// file system.
void removeContents(int dirFd, dev_t dev, const std::string& shown) {
  for (const std::string& name : listNames(dirFd)) {
    const std::string path = shown + "/" + name;
    struct stat st;
    if (fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
      die("cannot stat " + path + ": " + std::strerror(errno));
    if (S_ISDIR(st.st_mode)) {
      if (st.st_dev != dev) die("refusing to remove " + path + ": another file system");
      const int sub = openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (sub < 0) die("cannot open " + path + ": " + std::strerror(errno));
      removeContents(sub, dev, path);
      close(sub);
      if (unlinkat(dirFd, name.c_str(), AT_REMOVEDIR) != 0)
        die("cannot remove " + path + ": " + std::strerror(errno));
    } else if (unlinkat(dirFd, name.c_str(), 0) != 0) {
      die("cannot remove " + path + ": " + std::strerror(errno));
    }
  }
}

void makeDirs(const std::string& path) {
  for (std::size_t pos = 1; pos <= path.size(); ++pos) {
    if (pos != path.size() && path[pos] != '/') continue;
    const std::string prefix = path.substr(0, pos);
    if (mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST)
      die("cannot create " + prefix + ": " + std::strerror(errno));
  }
}

bool writeWhole(int dirFd, const char* name, const std::string& text) {
  const int fd = openat(dirFd, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n <= 0) {
      close(fd);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return close(fd) == 0;
}

std::string humanBytes(std::uint64_t bytes) {
  const char* const units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
  double value = static_cast<double>(bytes);
  std::size_t unit = 0;
  while (value >= 1024 && unit + 1 < std::size(units)) {
    value /= 1024;
    ++unit;
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f %s", value, units[unit]);
  return buf;
}

// ---------------------------------------------------------------- main -----

const char* const kHelp = R"(Usage: kelvane-gentree TARGET [--files N] [--dirs M] [--jobs J] [--seed S] [--replace]

Writes a deterministic tree of N regular files in M directories under TARGET
(TARGET itself not counted), for benchmarking. The same N, M and seed always
give the same names, sizes, timestamps and shape.

  --files N   regular files, including the marker file (default 1000000)
  --dirs M    directories below TARGET (default 60000)
  --jobs J    threads that create files (default: number of CPUs)
  --seed S    seed of the generator (default 0x4b656c76616e6531)
  --replace   if TARGET holds a complete tree made with other parameters,
              delete it and write the new one
  -h, --help  show this text

The tree: mixed depths and fan-outs (a few wide directories of thousands of
files, deep chains of 20-40 levels, hubs with hundreds of subdirectories, most
directories 5-30 files); mostly small files with a long tail up to 4 GiB, all
sparse (sizes are set with ftruncate, no data is written, so the tree takes
little disk); modification times spread over 2015-2024; many repeated names
(readme.txt, README.txt, index.html, Makefile ...) and extensions. No name
starts with '.', and there are no symlinks.

TARGET: created if missing (with its parents). Generation starts by writing
TARGET/kelvane-gentree.partial and ends by writing TARGET/kelvane-gentree.done
(which holds the parameters and totals and is one of the N files) and removing
the .partial file. Then:
  - TARGET holds a .done file with the same parameters: nothing is written;
    the totals are printed again (exit 0). The tree itself is not checked.
  - TARGET holds a .partial file (an interrupted run): its whole content is
    deleted and the tree is written anew.
  - TARGET holds a .done file with other parameters: refused (exit 2), unless
    --replace is given, which deletes the content and writes the new tree.
  - TARGET is empty: the tree is written.
  - anything else in TARGET: refused (exit 2); nothing is touched.
Deleting never follows symlinks nor leaves TARGET's file system.

Prints one line: directories, files and apparent bytes (sum of the regular
files' sizes). Exit status: 0 done, 1 error, 2 refused or bad usage.
)";

std::uint64_t parseNumber(const std::string& option, const std::string& text) {
  std::uint64_t value = 0;
  int base = 10;
  std::string_view digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty()) {
    std::fprintf(stderr, "kelvane-gentree: %s needs a number, not '%s'\n", option.c_str(),
                 text.c_str());
    std::exit(2);
  }
  return value;
}

int usageError(const std::string& message) {
  std::fprintf(stderr, "kelvane-gentree: %s\nTry 'kelvane-gentree --help'.\n", message.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  Params params;
  std::string target;
  bool replace = false;
  unsigned jobs = std::max(1u, std::thread::hardware_concurrency());

  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (arg == "--replace") {
      replace = true;
      continue;
    }
    std::string option = arg, value;
    const std::size_t eq = arg.find('=');
    const bool takesValue = arg.rfind("--", 0) == 0;
    if (takesValue && eq != std::string::npos) {
      option = arg.substr(0, eq);
      value = arg.substr(eq + 1);
    }
    if (option == "--files" || option == "--dirs" || option == "--jobs" || option == "--seed") {
      if (eq == std::string::npos) {
        if (i + 1 >= argc) return usageError(option + " needs a value");
        value = argv[++i];
      }
      const std::uint64_t n = parseNumber(option, value);
      if (option == "--files") params.files = n;
      else if (option == "--dirs") params.dirs = n;
      else if (option == "--seed") params.seed = n;
      else jobs = static_cast<unsigned>(std::clamp<std::uint64_t>(n, 1, 64));
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-') return usageError("unknown option " + arg);
    if (!target.empty()) return usageError("only one TARGET");
    target = arg;
  }
  if (target.empty()) return usageError("missing TARGET");
  if (params.files < 1) return usageError("--files must be at least 1 (the marker file)");
  if (params.files > 100000000) return usageError("--files is at most 100000000");
  if (params.dirs > 10000000) return usageError("--dirs is at most 10000000");
  while (target.size() > 1 && target.back() == '/') target.pop_back();

  makeDirs(target);
  const int rootFd = open(target.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (rootFd < 0) die("cannot open " + target + ": " + std::strerror(errno));
  struct stat rootStat;
  if (fstat(rootFd, &rootStat) != 0) die("cannot stat " + target + ": " + std::strerror(errno));

  std::string text;
  if (readFile(rootFd, kDoneName, text)) {
    const auto marker = parseMarker(text);
    if (sameParams(marker, params)) {
      std::printf("kelvane-gentree: %s: already complete: %s dirs, %s files, %s apparent bytes (%s)\n",
                  target.c_str(), marker.count("dirs") ? marker.at("dirs").c_str() : "?",
                  marker.count("files") ? marker.at("files").c_str() : "?",
                  marker.count("apparent_bytes") ? marker.at("apparent_bytes").c_str() : "?",
                  marker.count("apparent_bytes")
                      ? humanBytes(std::strtoull(marker.at("apparent_bytes").c_str(), nullptr, 10)).c_str()
                      : "?");
      return 0;
    }
    if (!replace) {
      std::fprintf(stderr,
                   "kelvane-gentree: %s holds a tree made with other parameters; "
                   "use --replace to write a new one\n",
                   target.c_str());
      return 2;
    }
    std::fprintf(stderr, "kelvane-gentree: %s: deleting the tree made with other parameters\n",
                 target.c_str());
    removeContents(rootFd, rootStat.st_dev, target);
  } else if (readFile(rootFd, kPartialName, text)) {
    std::fprintf(stderr, "kelvane-gentree: %s: deleting an interrupted earlier run\n",
                 target.c_str());
    removeContents(rootFd, rootStat.st_dev, target);
  } else if (!listNames(rootFd).empty()) {
    std::fprintf(stderr,
                 "kelvane-gentree: %s is not empty and holds no tree of kelvane-gentree; "
                 "refusing to write into it\n",
                 target.c_str());
    return 2;
  }

  const auto started = std::chrono::steady_clock::now();
  if (!writeWhole(rootFd, kPartialName, paramsText(params)))
    die("cannot write " + target + "/" + kPartialName + ": " + std::strerror(errno));

  const std::vector<Dir> dirs = planTree(params);
  unsigned maxDepth = 0;
  for (std::size_t i = 1; i < dirs.size(); ++i) {
    maxDepth = std::max<unsigned>(maxDepth, dirs[i].depth);
    if (mkdirat(rootFd, dirs[i].path.c_str(), 0755) != 0)
      die("cannot create directory " + target + "/" + dirs[i].path + ": " + std::strerror(errno));
  }

  Totals totals;
  std::vector<timespec> dirTimes(dirs.size());
  std::atomic<std::uint32_t> next{0};
  auto worker = [&] {
    for (;;) {
      const std::uint32_t index = next.fetch_add(1, std::memory_order_relaxed);
      if (index >= dirs.size() || failed.load(std::memory_order_relaxed)) return;
      dirTimes[index] = writeFiles(rootFd, dirs, index, params.seed, totals);
    }
  };
  std::vector<std::thread> threads;
  for (unsigned j = 1; j < jobs; ++j) threads.emplace_back(worker);
  worker();
  for (std::thread& t : threads) t.join();
  if (failed) return 1;

  for (std::size_t i = 1; i < dirs.size(); ++i) {
    const timespec times[2] = {dirTimes[i], dirTimes[i]};
    if (utimensat(rootFd, dirs[i].path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
      die("cannot set times of " + target + "/" + dirs[i].path + ": " + std::strerror(errno));
  }

  // The marker is one of the files, so its own size is part of the total it
  // records: find the length that is consistent with itself.
  const std::uint64_t files = totals.files.load() + 1;
  std::uint64_t markerSize = 0;
  std::string marker;
  for (int round = 0; round < 4; ++round) {
    char buf[256];
    std::snprintf(buf, sizeof buf,
                  "apparent_bytes=%" PRIu64 "\nmax_depth=%u\n"
                  "note=made by kelvane-gentree; see bench/README.md\n",
                  totals.bytes.load() + markerSize, maxDepth);
    marker = paramsText(params) + buf;
    if (marker.size() == markerSize) break;
    markerSize = marker.size();
  }
  const std::uint64_t bytes = totals.bytes.load() + marker.size();
  if (!writeWhole(rootFd, kDoneName, marker))
    die("cannot write " + target + "/" + kDoneName + ": " + std::strerror(errno));
  Rng timeRng(splitmix64(params.seed ^ 0x6d61726b6572ULL));
  const timespec markerTime = stamp(kTimeHi - 1 - kDay, timeRng);
  const timespec markerTimes[2] = {markerTime, markerTime};
  if (utimensat(rootFd, kDoneName, markerTimes, AT_SYMLINK_NOFOLLOW) != 0)
    die("cannot set times of " + target + "/" + kDoneName + ": " + std::strerror(errno));
  if (unlinkat(rootFd, kPartialName, 0) != 0)
    die("cannot remove " + target + "/" + kPartialName + ": " + std::strerror(errno));
  const timespec rootTimes[2] = {dirTimes[0], dirTimes[0]};
  if (futimens(rootFd, rootTimes) != 0)
    die("cannot set times of " + target + ": " + std::strerror(errno));
  close(rootFd);

  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("kelvane-gentree: %s: %zu dirs, %" PRIu64 " files, %" PRIu64
              " apparent bytes (%s), max depth %u, in %.1f s\n",
              target.c_str(), dirs.size() - 1, files, bytes, humanBytes(bytes).c_str(), maxDepth,
              seconds);
  return 0;
}
