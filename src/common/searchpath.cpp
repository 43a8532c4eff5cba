#include "common/searchpath.h"

#include "common/displayname.h"

#include <cstdlib>

namespace kelvane {

void SearchPathList::GetSearchPath()
{
    const char* value = std::getenv("PATH");
    GetSearchPath(value ? QByteArray(value) : QByteArray());
}

void SearchPathList::GetSearchPath(const QByteArray& pathValue)
{
    lines_.clear();
    qsizetype start = 0;
    for (;;) {
        const qsizetype colon = pathValue.indexOf(':', start);
        if (colon < 0)
            break;
        lines_.append(displayName(std::string_view(pathValue.constData() + start, size_t(colon - start))));
        start = colon + 1;
    }
    if (start < pathValue.size())
        lines_.append(
            displayName(std::string_view(pathValue.constData() + start, size_t(pathValue.size() - start))));
}

bool SearchPathList::inSearchPath(QStringView dir) const
{
    for (const QString& line : lines_) {
        if (line == dir)
            return true;
    }
    return false;
}

} // namespace kelvane
