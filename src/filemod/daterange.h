#pragma once

#include <QDate>

#include <cstdint>

namespace kelvane {

// The calendar date of a file stamp; the invalid stamp (times before 1980 or
// after 2107) counts as 1 January 1980, the date its texts show.
QDate stampDate(uint32_t stamp);

// Two dates, both included, compared as whole local days with the dates that
// file stamps carry. A first date after the last one contains nothing.
class DateRange {
public:
    DateRange() = default;
    DateRange(QDate first, QDate last);

    QDate first() const { return first_; }
    QDate last() const { return last_; }

    bool containsDate(QDate date) const { return date.isValid() && first_ <= date && date <= last_; }
    bool containsStamp(uint32_t stamp) const { return containsDate(stampDate(stamp)); }
    // Same answer as containsStamp(packStamp(mtime)), but converts to local
    // time only near the ends of the range: a walk asks this for every file.
    bool contains(int64_t mtime) const;

private:
    QDate first_;
    QDate last_;
    bool empty_ = true;
    bool fallbackInside_ = false; // 1 January 1980 lies in the range
    int64_t firstMidnightUtc_ = 0;
    int64_t afterLastMidnightUtc_ = 0;
};

} // namespace kelvane
