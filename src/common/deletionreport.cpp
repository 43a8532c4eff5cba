#include "common/deletionreport.h"

#include "common/boundpath.h"
#include "common/commas.h"
#include "common/displayname.h"

#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace kelvane {

namespace {

const char* const kSummaryNames[kStayReasons] = {
    "changed since the scan", "already gone", "permission denied", "mount point", "immutable", "read-only",
    "kept at your answer",    "other error",
};

bool immutable(int dirFd, const char* name)
{
    struct statx sx;
    if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_BASIC_STATS, &sx) != 0)
        return false;
    const uint64_t flags = STATX_ATTR_IMMUTABLE | STATX_ATTR_APPEND;
    return (sx.stx_attributes_mask & flags) && (sx.stx_attributes & flags);
}

} // namespace

void DeletionReport::deleted(int64_t bytesFreed)
{
    ++deletedFiles_;
    bytesFreed_ += bytesFreed;
}

void DeletionReport::trashed(int64_t bytes)
{
    ++trashedItems_;
    trashedBytes_ += bytes;
}

void DeletionReport::stayed(const std::string& path, StayReason reason, int error)
{
    ++stayedCount_;
    ++byReason_[size_t(reason)];
    if (named_.size() < kNamedPaths)
        named_.push_back(Named{path, reason, error});
}

QString DeletionReport::deletedLine() const
{
    return QStringLiteral("Deleted ") + addCommas(deletedFiles_) +
           QStringLiteral(" files for a savings of ") + addCommas(bytesFreed_) + QStringLiteral(" bytes.");
}

QString DeletionReport::trashedLine() const
{
    return QStringLiteral("Moved to Trash: ") + addCommas(trashedItems_) + QStringLiteral(" files, ") +
           addCommas(trashedBytes_) +
           QStringLiteral(" bytes. That space is freed only when the Trash is emptied.");
}

QString DeletionReport::reasonSummary() const
{
    QStringList parts;
    for (int r = 0; r < kStayReasons; ++r) {
        if (byReason_[size_t(r)] > 0)
            parts << addCommas(byReason_[size_t(r)]) + QLatin1Char(' ') + QLatin1String(kSummaryNames[r]);
    }
    return parts.join(QStringLiteral(", "));
}

QString DeletionReport::stayedText() const
{
    if (stayedCount_ == 0)
        return QString();
    QString text = addCommas(stayedCount_) + QStringLiteral(" not deleted: ") + reasonSummary();
    for (const Named& n : named_)
        text += QLatin1Char('\n') + stayLine(n.path, n.reason, n.error);
    if (stayedCount_ > int64_t(named_.size()))
        text += QStringLiteral("\nand ") + addCommas(stayedCount_ - int64_t(named_.size())) +
                QStringLiteral(" more");
    return text;
}

QString stayLine(const std::string& path, StayReason reason, int error)
{
    const QString shown = displayName(path);
    switch (reason) {
    case StayReason::ChangedSinceScan:
        return QStringLiteral("Changed since the scan - ") + shown;
    case StayReason::AlreadyGone:
        return QStringLiteral("Already gone - ") + shown;
    case StayReason::Permission:
        return QStringLiteral("Permission denied - ") + shown;
    case StayReason::MountPoint:
        return QStringLiteral("Mount point of another file system - ") + shown;
    case StayReason::Immutable:
        return QStringLiteral("Immutable - ") + shown;
    case StayReason::ReadOnly:
        return QStringLiteral("Read-only - ") + shown;
    case StayReason::KeptAtAnswer:
        return QStringLiteral("Kept at your answer - ") + shown;
    case StayReason::Other:
        break;
    }
    return QStringLiteral("Couldn't delete file - ") + shown +
           (error ? QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(error)) + QLatin1Char(')')
                  : QString());
}

StayReason failureReason(int error, int dirFd, const char* name)
{
    switch (error) {
    case ENOENT:
        return StayReason::AlreadyGone;
    case EBUSY:
        return StayReason::MountPoint;
    case EPERM:
    case EACCES:
        // The attribute may sit on the file or on the directory holding it.
        if (immutable(dirFd, name) || immutable(dirFd, "."))
            return StayReason::Immutable;
        return StayReason::Permission;
    case EROFS:
        return StayReason::Permission;
    default:
        return StayReason::Other;
    }
}

std::optional<Stay> stayOfBinding(const BoundPath& bound)
{
    switch (bound.binding) {
    case Binding::Same:
        return std::nullopt;
    case Binding::Changed:
        return Stay{StayReason::ChangedSinceScan, 0};
    case Binding::Gone:
        return Stay{StayReason::AlreadyGone, ENOENT};
    case Binding::Failed:
        break;
    }
    const bool refused = bound.error == EACCES || bound.error == EPERM;
    return Stay{refused ? StayReason::Permission : StayReason::Other, bound.error};
}

} // namespace kelvane
