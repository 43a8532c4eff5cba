#include "stats/typetable.h"

#include <algorithm>

namespace kelvane {

std::vector<TypeRow> typeTable(const ExtensionTally& tally)
{
    const std::vector<ExtensionCount>& counts = tally.counts();
    std::vector<TypeRow> rows(counts.begin(), counts.begin() + std::min(counts.size(), kMaxTypeRows));
    std::sort(rows.begin(), rows.end(), [](const TypeRow& a, const TypeRow& b) { return a.key < b.key; });
    return rows;
}

} // namespace kelvane
