#pragma once

#include <QString>

#include <cstdint>

namespace kelvane {

// Size band 1 to 9 of a file: each band includes its upper bound, 16 K, 32 K,
// 128 K, 1 Mb, 2 Mb, 4 Mb, 8 Mb and 16 Mb; band 9 is everything larger.
int sizeBand(int64_t size);

// "0 - 16 K" ... "Over 16Mb" for bands 1 to 9.
QString sizeBandCaption(int band);

} // namespace kelvane
