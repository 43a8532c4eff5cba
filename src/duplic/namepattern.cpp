#include "duplic/namepattern.h"

#include <QChar>
#include <QList>

namespace kelvane {

namespace {

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool isAscii(std::string_view s)
{
    for (const char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Wildcard match with backtracking to the last star only: linear in practice,
// never worse than name length times pattern length.
template <class Text, class Equal> bool wildcardMatch(const Text& pattern, const Text& name, Equal equal)
{
    size_t p = 0, n = 0;
    size_t starP = Text::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || equal(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP != Text::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::u32string foldedCodePoints(const QString& text)
{
    std::u32string out;
    for (const uint c : text.toUcs4())
        out.push_back(QChar::toCaseFolded(c));
    return out;
}

} // namespace

NamePattern::NamePattern(const QString& pattern)
{
    if (pattern.isEmpty()) {
        kind_ = Kind::None;
        return;
    }
    if (pattern == QStringLiteral("*.*") || pattern.count(QLatin1Char('*')) == pattern.size()) {
        kind_ = Kind::All;
        return;
    }
    kind_ = Kind::Wildcard;
    const QByteArray utf8 = pattern.toUtf8();
    ascii_ = isAscii(std::string_view(utf8.constData(), size_t(utf8.size())));
    if (ascii_) {
        for (const char c : utf8)
            asciiPattern_.push_back(asciiLower(c));
    }
    folded_ = foldedCodePoints(pattern);
}

bool NamePattern::matches(std::string_view name) const
{
    switch (kind_) {
    case Kind::None:
        return false;
    case Kind::All:
        return true;
    case Kind::Wildcard:
        break;
    }
    if (ascii_ && isAscii(name)) {
        const std::string_view pattern(asciiPattern_);
        return wildcardMatch(pattern, name, [](char p, char c) { return p == asciiLower(c); });
    }
    const std::u32string text = foldedCodePoints(QString::fromUtf8(name.data(), qsizetype(name.size())));
    return wildcardMatch(folded_, text, [](char32_t p, char32_t c) { return p == c; });
}

} // namespace kelvane
