#include "duplic/caseless.h"

#include <QString>

#include <cstdint>
#include <cstring>
#include <string>

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

bool allAscii(std::string_view s)
{
    for (const char c : s) {
        if (static_cast<unsigned char>(c) & 0x80)
            return false;
    }
    return true;
}

std::string folded(std::string_view name)
{
    const QString text = QString::fromUtf8(name.data(), qsizetype(name.size()));
    const QByteArray back = text.toUtf8();
    if (std::string_view(back.constData(), size_t(back.size())) == name) {
        const QByteArray f = text.toCaseFolded().toUtf8();
        return std::string(f.constData(), size_t(f.size()));
    }
    std::string out(name);
    for (char& c : out)
        c = char(asciiLower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

int compareFoldedNames(std::string_view a, std::string_view b)
{
    if (a == b)
        return 0;
    if (allAscii(a) && allAscii(b)) {
        const size_t n = a.size() < b.size() ? a.size() : b.size();
        for (size_t i = 0; i < n; ++i) {
            const unsigned char la = asciiLower(static_cast<unsigned char>(a[i]));
            const unsigned char lb = asciiLower(static_cast<unsigned char>(b[i]));
            if (la != lb)
                return la < lb ? -1 : 1;
        }
        return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
    }
    const std::string fa = folded(a);
    const std::string fb = folded(b);
    return fa < fb ? -1 : (fa > fb ? 1 : 0);
}

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

int compareCaselessThenBytes(std::string_view a, std::string_view b)
{
    if (a == b)
        return 0;
    if (const int c = compareCaseless(a, b))
        return c;
    return a.compare(b);
}

uint64_t caselessKey(std::string_view text, size_t from)
{
    uint64_t key = 0;
    for (size_t i = from; i < from + 8; ++i) {
        const auto c = i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
        if (c >= 0x80)
            return kNoCaselessKey;
        key = (key << 8) | (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return key;
}

} // namespace kelvane
