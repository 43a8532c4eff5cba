#include "duplic/grouping.h"

#include "duplic/caseless.h"

#include <string_view>

namespace kelvane {

std::string_view groupKey(const Candidate& c, bool exact)
{
    const std::string_view text = c.line();
    size_t end = text.find('\t');
    if (exact && end != std::string_view::npos)
        end = text.find('\t', end + 1);
    return text.substr(0, end);
}

std::vector<size_t> addDups(const std::vector<Candidate>& sorted, bool exact, std::vector<uint32_t>* groups)
{
    std::vector<size_t> result;
    uint32_t group = 0;
    size_t i = 0;
    while (i < sorted.size()) {
        const std::string_view key = groupKey(sorted[i], exact);
        size_t j = i + 1;
        while (j < sorted.size() && groupKey(sorted[j], exact) == key &&
               compareFoldedNames(sorted[j].realName(), sorted[i].realName()) == 0)
            ++j;
        if (j - i >= 2) {
            for (size_t k = i; k < j; ++k) {
                result.push_back(k);
                if (groups)
                    groups->push_back(group);
            }
            ++group;
        }
        i = j;
    }
    return result;
}

std::vector<size_t> reSort(const std::vector<Candidate>& sorted)
{
    std::vector<size_t> result(sorted.size());
    for (size_t k = 0; k < sorted.size(); ++k)
        result[k] = sorted.size() - 1 - k;
    return result;
}

} // namespace kelvane
