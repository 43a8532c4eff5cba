#include "stats/sizebands.h"

#include "stats/bandtotals.h"

#include <array>

namespace kelvane {

namespace {

constexpr int64_t K = 1024;
constexpr int64_t Mb = 1024 * 1024;
constexpr std::array<int64_t, kBands - 1> kUpperBounds = {16 * K, 32 * K, 128 * K, 1 * Mb,
                                                          2 * Mb, 4 * Mb, 8 * Mb,  16 * Mb};

} // namespace

int sizeBand(int64_t size)
{
    for (size_t i = 0; i < kUpperBounds.size(); ++i) {
        if (size <= kUpperBounds[i])
            return int(i) + 1;
    }
    return kBands;
}

QString sizeBandCaption(int band)
{
    static const char* const captions[kBands] = {"0 - 16 K",   "16K - 32K",  "32K - 128K",
                                                 "128K - 1Mb", "1Mb - 2Mb",  "2Mb - 4Mb",
                                                 "4Mb - 8Mb",  "8Mb - 16Mb", "Over 16Mb"};
    return band >= 1 && band <= kBands ? QString::fromLatin1(captions[band - 1]) : QString();
}

} // namespace kelvane
