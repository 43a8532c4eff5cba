#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace kelvane {

// A file-name pattern as the scan box takes it: "*" stands for any run of
// characters, "?" for one character, letter case is ignored, and "*.*" (like
// "*") matches every name, dotted or not. An empty pattern matches no name.
class NamePattern {
public:
    explicit NamePattern(const QString& pattern);

    // name: raw bytes as stored; bytes that are not UTF-8 match only "*" and "?".
    bool matches(std::string_view name) const;
    bool matchesEverything() const { return kind_ == Kind::All; }
    bool matchesNothing() const { return kind_ == Kind::None; }

private:
    enum class Kind { None, All, Wildcard };
    Kind kind_ = Kind::None;
    bool ascii_ = false;
    std::string asciiPattern_; // lower case, when the pattern is ASCII
    std::u32string folded_;    // case-folded code points
};

} // namespace kelvane
