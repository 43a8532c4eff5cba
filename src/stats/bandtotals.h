#pragma once

#include <array>
#include <cstdint>

namespace kelvane {

// Files are sorted into nine bands, numbered 1 to 9.
constexpr int kBands = 9;

// Number of files and their bytes per band; index 0 is never used.
struct BandTotals {
    std::array<uint64_t, kBands + 1> files{};
    std::array<uint64_t, kBands + 1> bytes{};

    void add(int band, uint64_t size)
    {
        ++files[band];
        bytes[band] += size;
    }
    void remove(int band, uint64_t size)
    {
        --files[band];
        bytes[band] -= size;
    }
    BandTotals& operator+=(const BandTotals& other)
    {
        for (int b = 1; b <= kBands; ++b) {
            files[b] += other.files[b];
            bytes[b] += other.bytes[b];
        }
        return *this;
    }
    bool operator==(const BandTotals&) const = default;
};

} // namespace kelvane
