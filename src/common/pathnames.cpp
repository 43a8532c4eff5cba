#include "common/pathnames.h"

namespace kelvane {

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::pair<std::string, std::string> splitPath(const std::string& path)
{
    const std::string trimmed = withoutTrailingSlashes(path);
    const size_t slash = trimmed.rfind('/');
    if (slash == std::string::npos)
        return {".", trimmed};
    if (slash == 0)
        return {"/", trimmed.substr(1)};
    return {trimmed.substr(0, slash), trimmed.substr(slash + 1)};
}

void appendPathName(std::string& path, std::string_view name)
{
    if (path.empty() || path.back() != '/')
        path.push_back('/');
    path.append(name);
}

std::string joinPath(const std::string& parent, std::string_view name)
{
    std::string path = parent;
    appendPathName(path, name);
    return path;
}

} // namespace kelvane
