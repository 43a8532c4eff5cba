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

std::vector<Drive> parseMountInfo(std::string_view text, const LabelMap& labels, IsDirectory isDirectory)
{
    std::vector<Drive> found;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        const auto fields = splitSpaces(line);
        // id parent major:minor root mountpoint options [optional...] - type source superopts
        const auto dash = std::find(fields.begin(), fields.end(), std::string_view("-"));
        if (fields.size() < 5 || dash == fields.end() || fields.end() - dash < 3)
            continue;
        Drive d;
        d.deviceId = std::string(fields[2]);
        d.root = unescapeMountField(fields[4]);
        d.fsType = unescapeMountField(*(dash + 1));
        d.device = unescapeMountField(*(dash + 2));
        if (d.root.empty() || d.root[0] != '/' || !isStorage(d.root, d.fsType, d.device))
            continue;
        const bool network = kNetworkTypes.count(d.fsType) > 0;
        // Local mount points only: a stat of a dead network share could hang.
        if (d.root != "/" && !network && isDirectory && !isDirectory(d.root))
            continue;
        const auto label = labels.find(d.device);
        if (label != labels.end())
            d.label = label->second;
        found.push_back(std::move(d));
    }
    // Each file system once, at its shortest mount path ("/" wins ties).
    std::sort(found.begin(), found.end(), [](const Drive& a, const Drive& b) {
        if (a.root.size() != b.root.size())
            return a.root.size() < b.root.size();
        return a.root < b.root;
    });
    std::vector<Drive> drives;
    std::set<std::string> seenDevices;
    std::set<std::string> seenRoots;
    for (Drive& d : found) {
        if (!seenRoots.insert(d.root).second)
            continue;
        if (d.root != "/" && !seenDevices.insert(d.deviceId).second)
            continue;
        if (d.root == "/")
            seenDevices.insert(d.deviceId);
        d.caption = displayName(d.root);
        d.toolTip = toolTipOf(d);
        drives.push_back(std::move(d));
    }
    std::sort(drives.begin(), drives.end(), [](const Drive& a, const Drive& b) { return a.root < b.root; });
    return drives;
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
    std::ifstream in("/proc/self/mountinfo");
    std::stringstream text;
    text << in.rdbuf();
    return parseMountInfo(text.str(), readDiskLabels(), [](const std::string& path) {
        struct stat st;
        return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
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
