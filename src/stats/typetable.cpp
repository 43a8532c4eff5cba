#include "stats/typetable.h"

#include <algorithm>

namespace kelvane {

std::vector<TypeRow> typeTable(const ExtensionTally& tally)
{
    std::vector<TypeRow> rows;
    for (const ExtensionCount& c : tally.counts()) {
        if (rows.size() == kMaxTypeRows)
            break;
        if (c.files != 0) // only names of files counted under other names
            rows.push_back(c);
    }
    std::sort(rows.begin(), rows.end(), [](const TypeRow& a, const TypeRow& b) { return a.key < b.key; });
    return rows;
}

} // namespace kelvane
