#pragma once

#include "common/entry.h"

#include <QString>

#include <cstdint>

namespace kelvane {

// How a scan measures a file.
enum class SizeMeasure {
    Apparent,  // the size the file reports (st_size)
    DiskUsage, // the blocks it takes on disk (st_blocks * 512); a file with
               // several names counts once per scan, at the name met first
};

// The user's choices every scan carries from its window or command line.
// The defaults keep the long-standing behaviour.
struct ScanOptions {
    bool hidden = false; // walk hidden directories and list hidden files
    SizeMeasure measure = SizeMeasure::Apparent;
};

// The size of an entry in the chosen measure.
inline int64_t sizeOf(const Entry& e, SizeMeasure measure)
{
    return measure == SizeMeasure::Apparent ? e.size : e.blocks * 512;
}

// An attribute request that also takes hidden entries when they are asked for.
constexpr uint32_t requestFor(uint32_t request, const ScanOptions& options)
{
    return options.hidden ? request | kAttrHidden : request;
}

// True when this entry's file may be met under another name in the same scan
// (a hard link): only those are checked for being counted once.
inline bool mayShareFile(const Entry& e)
{
    return !e.isDirectory() && e.nlink > 1;
}

// "Apparent size" or "Space on disk", the measure's own name.
QString measureName(SizeMeasure measure);

// The heading of a size column: the window's own for apparent sizes; for
// space on disk "On disk" in place of its leading "Size" ("On disk in K").
QString sizeHeading(SizeMeasure measure, const QString& apparentHeading);

// A print title: as it is for apparent sizes, with " (space on disk)" after it
// for space on disk.
QString measuredTitle(SizeMeasure measure, const QString& title);

} // namespace kelvane
