#pragma once

#include "common/resultgrid.h"
#include "common/scan.h"
#include "common/scanoptions.h"
#include "common/walker.h"
#include "duplic/candidates.h"
#include "duplic/dupmode.h"
#include "duplic/namecandidates.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelvane {

class SearchPathList;

// Lines the candidate list takes at most; beyond it a scan stops, full.
inline constexpr size_t kCandidateCapacity = 5'000'000;

struct DupScanSettings {
    DupMode mode = DupMode::Duplicates;
    bool exact = false;    // duplicates: group by name and size in KB
    int64_t limitKB = 250; // files strictly larger than limitKB * 1024 bytes
    QString pattern = QStringLiteral("*.*");
    const SearchPathList* searchPath = nullptr; // no marker when null
    size_t capacity = kCandidateCapacity;
    bool keepPaths = true;  // the real path of each line, for acting on its file
    bool keepFacts = false; // each file's size in bytes, time and search-path mark (Candidate::facts)
    ScanOptions scan;       // hidden entries, size measure
};

// One scan of the duplicates window over any number of trees (the selected
// drives): collects a line for each file that is neither hidden (unless asked
// for) nor system, matches the pattern and is larger than the limit, then
// builds the result. Nothing below a hidden directory is seen unless hidden
// entries are asked for. Sizes are in the chosen measure; with space on disk a
// hard-linked file is taken once per scan, at the first of its names that
// the scan takes in walk order (the drives in the order they are scanned).
class DuplicateScan final : public Scan {
public:
    explicit DuplicateScan(DupScanSettings settings);
    ~DuplicateScan() override;

    // Lines taken; the capacity when the list is full.
    size_t candidateCount() const;

    // File hogs: the candidate list in its order. Ends the scan; the
    // candidates live as long as this scan. (A duplicates scan keeps its
    // files without lines: see forEachResultLine.)
    std::vector<Candidate> takeCandidates();
    // Positions in that list of the result lines, in the order of the result
    // list: addDups (Scan or Exact) or reSort (file hogs).
    // groups, when given, receives the duplicate group (0, 1, ...) of each.
    std::vector<size_t> resultOrder(const std::vector<Candidate>& sorted,
                                    std::vector<uint32_t>* groups = nullptr) const;
    // Calls emit with each line of the result list, in order. Ends the scan.
    void forEachResultLine(const std::function<void(const ResultLine&)>& emit);
    // The result list as grid rows: each line with the real path of its file
    // and what the scan saw of it; groups, when given, receives the duplicate
    // group number of each row (duplicates mode). Ends the scan.
    std::vector<GridRow> handOver(std::vector<uint32_t>* groups = nullptr);

private:
    WalkStats walkRoot(const std::string& root, const WalkOptions& options) override;

    class Collector;
    DupScanSettings settings_;
    std::unique_ptr<Collector> collector_;
};

} // namespace kelvane
