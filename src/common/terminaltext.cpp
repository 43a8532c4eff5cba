#include "common/terminaltext.h"

#include <cstdint>

namespace kelvane {

namespace {

// Length of the valid UTF-8 sequence at s[i] (0 when it is not one), and its
// code point.
size_t utf8Sequence(std::string_view s, size_t i, char32_t* codePoint)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    size_t length;
    char32_t cp;
    char32_t min;
    if (b0 < 0x80) {
        *codePoint = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        length = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > s.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0; // overlong, beyond Unicode, or a surrogate
    *codePoint = cp;
    return length;
}

bool actsOnATerminal(char32_t cp)
{
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || (cp >= 0x202A && cp <= 0x202E) ||
           (cp >= 0x2066 && cp <= 0x2069);
}

void appendEscaped(std::string& out, unsigned char b)
{
    static const char hex[] = "0123456789ABCDEF";
    out += "\\x";
    out += hex[b >> 4];
    out += hex[b & 0xF];
}

} // namespace

std::string terminalSafe(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const size_t length = utf8Sequence(bytes, i, &cp);
        if (length == 0) {
            appendEscaped(out, static_cast<unsigned char>(bytes[i]));
            ++i;
            continue;
        }
        if (actsOnATerminal(cp)) {
            for (size_t k = 0; k < length; ++k)
                appendEscaped(out, static_cast<unsigned char>(bytes[i + k]));
        } else if (cp == '\\') {
            out += "\\\\";
        } else {
            out.append(bytes.substr(i, length));
        }
        i += length;
    }
    return out;
}

std::string terminalTail(const std::string& safe, size_t maxBytes)
{
    if (safe.size() <= maxBytes)
        return safe;
    const size_t keep = maxBytes > 3 ? maxBytes - 3 : 0;
    size_t start = safe.size() - keep;
    while (start < safe.size() && (static_cast<unsigned char>(safe[start]) & 0xC0) == 0x80)
        ++start; // not inside a character
    return "..." + safe.substr(start);
}

} // namespace kelvane
