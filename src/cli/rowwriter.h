#pragma once

#include "cli/clioptions.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace kelvane::cli {

// One JSON object, built field by field and written as one line.
class JsonRow {
public:
    static constexpr int64_t kNoTime = std::numeric_limits<int64_t>::min();

    JsonRow& text(std::string_view key, std::string_view utf8);
    JsonRow& number(std::string_view key, int64_t value);
    JsonRow& decimal(std::string_view key, double value); // two decimals
    JsonRow& boolean(std::string_view key, bool value);
    JsonRow& null(std::string_view key);
    // Seconds since the epoch as ISO 8601 UTC ("2024-03-05T13:37:58Z"), or null for kNoTime.
    JsonRow& time(std::string_view key, int64_t secondsSinceEpoch);
    // A real path: "path" when its bytes are valid UTF-8, else "path_b64"
    // holding them in base64.
    JsonRow& path(std::string_view raw) { return bytes("path", raw); }
    // Any raw bytes the same way: key, or key + "_b64" when not UTF-8.
    JsonRow& bytes(std::string_view key, std::string_view raw);

    // The object's text, without a line end.
    std::string finish() const { return body_.empty() ? "{}" : body_ + "}"; }

private:
    void key(std::string_view key);
    std::string body_;
};

// True when bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(std::string_view bytes);

// Writes the rows of a result to standard output in the chosen format, in
// large writes: a million rows is the usual case.
class RowWriter {
public:
    explicit RowWriter(OutputFormat format) : format_(format) {}
    ~RowWriter();
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    OutputFormat format() const { return format_; }
    // One row: its display line, its real path and its JSON object; only
    // what the format prints is used.
    void line(std::string_view text);
    void path(std::string_view bytes);
    void json(const JsonRow& row);
    void flush();

private:
    void put(std::string_view bytes, char end);
    OutputFormat format_;
    std::string buffer_;
};

} // namespace kelvane::cli
