#pragma once

#include <QDateTime>

#include <cstdint>
#include <optional>

namespace kelvane {

// A file stamp packs a local date and time into 32 bits: date in the high half
// (bits 15-9 year minus 1980, 8-5 month, 4-0 day), time in the low half (bits
// 15-11 hour, 10-5 minute, 4-0 seconds / 2). Stamp 0 is the invalid stamp.

// Packs a time (seconds since the epoch) in the local time zone. Times before
// 1980 or after 2107 give 0.
uint32_t packStamp(int64_t secondsSinceEpoch);

// Packs calendar fields directly; used by tests and by date ranges.
uint32_t packStampFields(int year, int month, int day, int hour, int minute, int second);

// The calendar date-time of a stamp (its wall-clock fields, held as UTC), or nothing when a field is out of
// range (month 0, day beyond the month, hour above 23, ...).
std::optional<QDateTime> unpackStamp(uint32_t stamp);

} // namespace kelvane
