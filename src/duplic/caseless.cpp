#include "duplic/caseless.h"

#include <QString>

#include <cstdint>
#include <cstring>

namespace kelvane {

namespace {

unsigned char asciiLower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Position of the first byte at which a and b differ, from i on (n at most).
size_t mismatchFrom(const char* a, const char* b, size_t i, size_t n)
{
    for (; i + 8 <= n; i += 8) {
        uint64_t wa, wb;
        std::memcpy(&wa, a + i, 8);
        std::memcpy(&wb, b + i, 8);
        if (wa != wb)
            break;
    }
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

bool continuationByte(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

} // namespace

int compareCaseless(std::string_view a, std::string_view b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    size_t i = 0;
    for (;;) {
        // Equal bytes are equal text, whatever their case.
        i = mismatchFrom(a.data(), b.data(), i, n);
        if (i == n)
            return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if ((ca | cb) & 0x80)
            break;
        const unsigned char la = asciiLower(ca);
        const unsigned char lb = asciiLower(cb);
        if (la != lb)
            return la < lb ? -1 : 1;
        ++i;
    }
    // A non-ASCII character differs: back to its first byte (the bytes before
    // it are the same in both texts) and let Qt fold the rest, since some
    // non-ASCII letters fold to ASCII ones.
    while (i > 0 && (continuationByte(static_cast<unsigned char>(a[i])) ||
                     continuationByte(static_cast<unsigned char>(b[i]))))
        --i;
    const QString ra = QString::fromUtf8(a.data() + i, qsizetype(a.size() - i));
    const QString rb = QString::fromUtf8(b.data() + i, qsizetype(b.size() - i));
    return ra.compare(rb, Qt::CaseInsensitive);
}

} // namespace kelvane
