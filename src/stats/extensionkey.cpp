#include "stats/extensionkey.h"

#include <QString>

#include <algorithm>

namespace kelvane {

std::string extensionKey(std::string_view name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    std::string key(name.substr(dot));
    for (char& c : key) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return key;
}

bool keyFitsTable(std::string_view key)
{
    // A character takes at most four bytes.
    if (key.size() > 4 * size_t(kMaxKeyCharacters))
        return false;
    const bool ascii = std::all_of(key.begin(), key.end(), [](char c) { return (c & 0x80) == 0; });
    if (ascii)
        return key.size() <= size_t(kMaxKeyCharacters);
    // Counted as shown: a UTF-8 sequence is one character, an invalid byte one
    // replacement character.
    const QString text = QString::fromUtf8(key.data(), qsizetype(key.size()));
    const auto characters =
        std::count_if(text.begin(), text.end(), [](QChar c) { return !c.isLowSurrogate(); });
    return characters <= kMaxKeyCharacters;
}

} // namespace kelvane
