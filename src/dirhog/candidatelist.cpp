#include "dirhog/candidatelist.h"

#include "common/sortkeys.h"
#include "common/stamptext.h"
#include "dirhog/dirline.h"

#include <oneapi/tbb/parallel_for.h>
#include <oneapi/tbb/parallel_sort.h>

#include <numeric>
#include <unordered_map>

namespace kelvane {

bool CandidateList::add(std::string path, const FileIdentity& identity, const DirTotals& totals,
                        int64_t capacity, size_t* index)
{
    if (taken_.fetch_add(1, std::memory_order_relaxed) >= limit_) {
        full_.store(true, std::memory_order_relaxed);
        return false;
    }
    const auto it = records_.push_back(Record{std::move(path), identity, totals, capacity});
    if (index)
        *index = size_t(it - records_.begin());
    return true;
}

std::vector<DirHogRow> CandidateList::handOver()
{
    struct Key {
        int64_t kilobytes;
        QByteArray rest; // the line after its size column, ASCII letters upper-cased
    };
    const size_t n = records_.size();
    // Dates repeat a lot; each is put into words once.
    std::vector<uint32_t> stamps(n);
    tbb::parallel_for(size_t(0), n, [&](size_t i) { stamps[i] = records_[i].totals.latestStamp(); });
    std::unordered_map<uint32_t, QString> dates;
    for (uint32_t stamp : stamps) {
        if (stamp != 0 && !dates.count(stamp >> 16))
            dates.emplace(stamp >> 16, fileDateText(stamp));
    }

    std::vector<DirHogRow> rows(n);
    std::vector<Key> keys(n);
    tbb::parallel_for(size_t(0), n, [&](size_t i) {
        Record& r = records_[i];
        const QString date = stamps[i] != 0 ? dates.at(stamps[i] >> 16) : QString();
        rows[i].line = directoryLine(r.totals, r.capacity, r.path, date);
        rows[i].path = std::move(r.path);
        rows[i].totals = r.totals;
        rows[i].capacity = r.capacity;
        rows[i].identity = r.identity;
        const qsizetype tab = rows[i].line.indexOf(QLatin1Char('\t'));
        keys[i] = {r.totals.bytes / 1024, textSortKey(QStringView(rows[i].line).mid(tab))};
    });
    // Sizes compare as numbers: a text order of the size column would put a
    // directory of 10,000,000 K and more behind one of 9,999,999 K.
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t(0));
    tbb::parallel_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (keys[a].kilobytes != keys[b].kilobytes)
            return keys[a].kilobytes > keys[b].kilobytes;
        if (keys[a].rest != keys[b].rest)
            return keys[a].rest > keys[b].rest;
        return rows[a].path > rows[b].path;
    });
    std::vector<DirHogRow> sorted;
    sorted.reserve(n);
    for (size_t i : order)
        sorted.push_back(std::move(rows[i]));
    records_.clear();
    return sorted;
}

} // namespace kelvane
