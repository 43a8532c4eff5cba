#include "cli/rowwriter.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringDecoder>
#include <QTimeZone>

#include <cstdio>

namespace kelvane::cli {

bool isValidUtf8(std::string_view bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return !decoder.hasError();
}

void JsonRow::key(std::string_view key)
{
    body_ += body_.empty() ? "{\"" : ",\"";
    body_ += key;
    body_ += "\":";
}

JsonRow& JsonRow::text(std::string_view key, std::string_view utf8)
{
    this->key(key);
    body_ += '"';
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            body_ += '\\';
            body_ += c;
        } else if (c == '\n') {
            body_ += "\\n";
        } else if (c == '\t') {
            body_ += "\\t";
        } else if (u < 0x20 || u == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            body_ += escaped;
        } else {
            body_ += c;
        }
    }
    body_ += '"';
    return *this;
}

JsonRow& JsonRow::number(std::string_view key, int64_t value)
{
    this->key(key);
    body_ += std::to_string(value);
    return *this;
}

JsonRow& JsonRow::decimal(std::string_view key, double value)
{
    this->key(key);
    char text[40];
    std::snprintf(text, sizeof text, "%.2f", value);
    body_ += text;
    return *this;
}

JsonRow& JsonRow::boolean(std::string_view key, bool value)
{
    this->key(key);
    body_ += value ? "true" : "false";
    return *this;
}

JsonRow& JsonRow::null(std::string_view key)
{
    this->key(key);
    body_ += "null";
    return *this;
}

JsonRow& JsonRow::time(std::string_view key, int64_t secondsSinceEpoch)
{
    if (secondsSinceEpoch == kNoTime)
        return null(key);
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, QTimeZone::utc());
    return text(key, utc.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'")).toStdString());
}

JsonRow& JsonRow::bytes(std::string_view key, std::string_view raw)
{
    if (isValidUtf8(raw))
        return text(key, raw);
    const QByteArray data(raw.data(), qsizetype(raw.size()));
    return text(std::string(key) + "_b64", data.toBase64().toStdString());
}

RowWriter::~RowWriter()
{
    flush();
}

void RowWriter::put(std::string_view bytes, char end)
{
    buffer_.append(bytes);
    buffer_.push_back(end);
    if (buffer_.size() >= (1 << 20) - 4096)
        flush();
}

void RowWriter::line(std::string_view text)
{
    if (format_ == OutputFormat::Lines)
        put(text, '\n');
}

void RowWriter::path(std::string_view bytes)
{
    if (format_ == OutputFormat::Null)
        put(bytes, '\0');
}

void RowWriter::json(const JsonRow& row)
{
    if (format_ == OutputFormat::Json)
        put(row.finish(), '\n');
}

void RowWriter::flush()
{
    std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
    buffer_.clear();
    std::fflush(stdout);
}

} // namespace kelvane::cli
