#include "duplic/namecontentgroups.h"

#include "common/readworkers.h"
#include "duplic/caseless.h"

#include <algorithm>
#include <string_view>
#include <sys/stat.h>

namespace kelvane {

namespace {

std::string_view fileName(std::string_view path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace

NameContentResult splitByContent(std::vector<GridRow> scanRows, const ContentOptions& options)
{
    NameContentResult result;
    // The rows of one name follow one another.
    std::vector<ContentFile> files(scanRows.size());
    uint32_t nameClass = 0;
    for (size_t i = 0; i < scanRows.size(); ++i) {
        if (i > 0 && compareCaseless(fileName(scanRows[i].path), fileName(scanRows[i - 1].path)) != 0)
            ++nameClass;
        files[i].path = scanRows[i].path;
        files[i].nameClass = nameClass;
    }
    // The scan's own view of each file: what the comparison holds it to.
    std::vector<char> present(files.size(), 0);
    forEachOnReadThreads(
        files.size(), options.readThreads > 0 ? options.readThreads : defaultReadThreads(),
        [&](size_t i) {
            struct stat st;
            if (::lstat(files[i].path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
                files[i].id = ContentIdentity{st.st_dev, st.st_ino, int64_t(st.st_size),
                                              int64_t(st.st_mtim.tv_sec), int64_t(st.st_mtim.tv_nsec)};
                present[i] = 1;
            }
        },
        options.stop);
    std::vector<ContentFile> compared;
    std::vector<size_t> rowOf;
    for (size_t i = 0; i < files.size(); ++i) {
        if (present[i]) {
            compared.push_back(std::move(files[i]));
            rowOf.push_back(i);
        } else if (!options.stop.stop_requested()) {
            ++result.leftOut;
        }
    }
    files = {};

    ContentGroups found = findSameContent(compared, options);
    result.aborted = found.aborted || (options.stop.stop_requested() && !compared.empty());
    result.leftOut += found.changed + found.unreadable;
    std::sort(found.groups.begin(), found.groups.end());
    uint32_t number = 0;
    for (const std::vector<size_t>& group : found.groups) {
        if (!result.rows.empty()) {
            result.rows.push_back(GridRow{});
            result.groups.push_back(number++);
        }
        for (const size_t k : group) {
            result.rows.push_back(std::move(scanRows[rowOf[k]]));
            result.groups.push_back(number);
        }
        ++number;
    }
    return result;
}

} // namespace kelvane
