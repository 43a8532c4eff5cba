#include "common/mounttable.h"

#include "common/displayname.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane {

namespace {

const std::set<std::string_view> kStorageTypes = {
    "ext2",  "ext3",      "ext4",           "xfs",     "btrfs",   "vfat",   "msdos",
    "exfat", "ntfs",      "ntfs3",          "fuseblk", "f2fs",    "zfs",    "iso9660",
    "udf",   "jfs",       "reiserfs",       "hfs",     "hfsplus", "nilfs2", "bcachefs",
    "nfs",   "nfs4",      "cifs",           "smb3",    "smbfs",   "9p",     "fuse.sshfs",
    "ceph",  "glusterfs", "fuse.glusterfs", "virtiofs"};

const std::set<std::string_view> kNetworkTypes = {
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "ceph", "glusterfs", "fuse.glusterfs", "9p"};

const std::set<std::string_view> kPseudoTypes = {
    "proc",    "sysfs",     "cgroup",      "cgroup2",  "devpts",     "devtmpfs", "tmpfs",    "mqueue",
    "debugfs", "tracefs",   "securityfs",  "bpf",      "autofs",     "fusectl",  "configfs", "squashfs",
    "pstore",  "hugetlbfs", "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs",     "ramfs",    "overlay"};

std::vector<std::string_view> splitSpaces(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && line[pos] == ' ')
            ++pos;
        const size_t end = std::min(line.find(' ', pos), line.size());
        if (end > pos)
            fields.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    return fields;
}

bool isStorage(const std::string& mountPath, const std::string& fsType, const std::string& source)
{
    if (mountPath == "/")
        return true;
    if (kPseudoTypes.count(fsType))
        return false;
    return kStorageTypes.count(fsType) || source.rfind("/dev/", 0) == 0;
}

QString toolTipOf(const Drive& d)
{
    QString tip = displayName(d.device) + QStringLiteral(", ") + displayName(d.fsType);
    if (!d.label.empty())
        tip += QStringLiteral(", ") + displayName(d.label);
    return tip;
}

std::string canonical(const std::string& path)
{
    char buffer[PATH_MAX];
    if (realpath(path.c_str(), buffer) == nullptr)
        return path;
    return buffer;
}

} // namespace

std::string unescapeMountField(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out.push_back(char((a - '0') * 64 + (b - '0') * 8 + (c - '0')));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

namespace {

struct MountLine {
    std::string deviceId;
    std::string mountRoot;
    std::string mountPoint;
    std::string fsType;
    std::string source;
};

// id parent major:minor root mountpoint options [optional...] - type source superopts
std::optional<MountLine> parseMountLine(std::string_view line)
{
    const auto fields = splitSpaces(line);
    const auto dash = std::find(fields.begin(), fields.end(), std::string_view("-"));
    if (fields.size() < 5 || dash == fields.end() || fields.end() - dash < 3)
        return std::nullopt;
    MountLine m;
    m.deviceId = std::string(fields[2]);
    m.mountRoot = unescapeMountField(fields[3]);
    m.mountPoint = unescapeMountField(fields[4]);
    m.fsType = unescapeMountField(*(dash + 1));
    m.source = unescapeMountField(*(dash + 2));
    return m;
}

std::vector<MountLine> mountLines(std::string_view text)
{
    std::vector<MountLine> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        if (auto m = parseMountLine(text.substr(pos, end - pos)))
            lines.push_back(std::move(*m));
        pos = end + 1;
    }
    return lines;
}

std::string readMountInfo()
{
    std::ifstream in("/proc/self/mountinfo");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

std::vector<Drive> parseMountInfo(std::string_view text, const LabelMap& labels, ProbeMountPoint probe)
{
    // A later mount on the same path hides the earlier one.
    std::map<std::string, Drive> byPath;
    for (MountLine& m : mountLines(text)) {
        Drive d;
        d.deviceId = std::move(m.deviceId);
        d.mountRoot = std::move(m.mountRoot);
        d.root = std::move(m.mountPoint);
        d.fsType = std::move(m.fsType);
        d.device = std::move(m.source);
        if (d.root.empty() || d.root[0] != '/' || !isStorage(d.root, d.fsType, d.device)) {
            byPath.erase(d.root);
            continue;
        }
        // Local mount points only: a stat of a dead network share could hang.
        if (probe && !kNetworkTypes.count(d.fsType)) {
            const std::optional<uint64_t> dev = probe(d.root);
            if (!dev && d.root != "/") {
                byPath.erase(d.root);
                continue;
            }
            d.rootDev = dev.value_or(0);
        }
        const auto label = labels.find(d.device);
        if (label != labels.end())
            d.label = label->second;
        byPath[d.root] = std::move(d);
    }
    // Each file system root once, at its shortest mount path ("/" wins ties).
    std::vector<Drive> found;
    for (auto& entry : byPath)
        found.push_back(std::move(entry.second));
    std::stable_sort(found.begin(), found.end(),
                     [](const Drive& a, const Drive& b) { return a.root.size() < b.root.size(); });
    std::vector<Drive> drives;
    std::set<std::string> seen;
    for (Drive& d : found) {
        const std::string key =
            d.rootDev != 0 ? "st_dev " + std::to_string(d.rootDev) : d.deviceId + " " + d.mountRoot;
        if (!seen.insert(key).second)
            continue;
        d.caption = displayName(d.root);
        d.toolTip = toolTipOf(d);
        drives.push_back(std::move(d));
    }
    std::sort(drives.begin(), drives.end(), [](const Drive& a, const Drive& b) { return a.root < b.root; });
    return drives;
}

bool stillMounted(const Drive& drive)
{
    if (drive.deviceId.empty())
        return true;
    const std::string text = readMountInfo();
    std::optional<MountLine> inView;
    for (MountLine& m : mountLines(text)) {
        if (m.mountPoint == drive.root)
            inView = std::move(m);
    }
    return inView && inView->deviceId == drive.deviceId && inView->mountRoot == drive.mountRoot;
}

LabelMap readDiskLabels()
{
    LabelMap labels;
    const std::string dir = "/dev/disk/by-label";
    DIR* d = opendir(dir.c_str());
    if (!d)
        return labels;
    while (dirent* e = readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        // udev escapes unusual characters as \xHH.
        std::string label;
        const std::string raw = e->d_name;
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 3 < raw.size() && raw[i + 1] == 'x') {
                label.push_back(char(std::strtol(raw.substr(i + 2, 2).c_str(), nullptr, 16)));
                i += 3;
            } else {
                label.push_back(raw[i]);
            }
        }
        labels[canonical(dir + "/" + raw)] = label;
    }
    closedir(d);
    return labels;
}

std::vector<Drive> systemDrives()
{
    return parseMountInfo(readMountInfo(), readDiskLabels(), [](const std::string& path) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return std::optional<uint64_t>();
        return std::optional<uint64_t>(uint64_t(st.st_dev));
    });
}

int driveIndexOf(const std::vector<Drive>& drives, std::string_view path)
{
    int best = -1;
    size_t bestLength = 0;
    for (size_t i = 0; i < drives.size(); ++i) {
        const std::string& root = drives[i].root;
        const bool prefix = root == "/" || (path.substr(0, root.size()) == root &&
                                            (path.size() == root.size() || path[root.size()] == '/'));
        if (prefix && (best < 0 || root.size() > bestLength)) {
            best = int(i);
            bestLength = root.size();
        }
    }
    return best;
}

} // namespace kelvane
