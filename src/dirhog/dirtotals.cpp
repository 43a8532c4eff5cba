#include "dirhog/dirtotals.h"

#include "common/filestamp.h"

#include <ctime>

namespace kelvane {

namespace {

int64_t localNewYear(int year)
{
    struct tm t = {};
    t.tm_year = year - 1900;
    t.tm_mday = 1;
    t.tm_isdst = -1;
    return int64_t(std::mktime(&t));
}

} // namespace

bool hasStamp(int64_t time)
{
    // Worked out once: the local time zone does not change while we run.
    static const int64_t first = localNewYear(1980);
    static const int64_t end = localNewYear(2108);
    return time >= first && time < end;
}

void DirTotals::addFile(const Entry& file, int64_t fileBytes)
{
    bytes += fileBytes;
    ++files;
    if (file.mtime > latestTime && hasStamp(file.mtime))
        latestTime = file.mtime;
}

DirTotals& DirTotals::operator+=(const DirTotals& other)
{
    bytes += other.bytes;
    files += other.files;
    subdirs += other.subdirs;
    if (other.latestTime > latestTime)
        latestTime = other.latestTime;
    return *this;
}

uint32_t DirTotals::latestStamp() const
{
    return latestTime == kNoTime ? 0 : packStamp(latestTime);
}

} // namespace kelvane
