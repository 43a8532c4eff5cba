#include "duplic/resultlines.h"

#include "common/displayname.h"
#include "common/searchpath.h"

namespace kelvane {

namespace {

constexpr int kNameWidth = 14;

// Printable ASCII goes into a line unchanged; anything else through displayName.
bool plainAscii(std::string_view s)
{
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F)
            return false;
    }
    return true;
}

template <class Text> void appendPadNumber(Text& out, int64_t value)
{
    char digits[24];
    int n = 0;
    uint64_t v = value < 0 ? uint64_t(-value) : uint64_t(value);
    do {
        digits[n++] = char('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (value < 0)
        digits[n++] = '-';
    for (int i = n; i < 5; ++i)
        out.push_back(' ');
    while (n > 0)
        out.push_back(digits[--n]);
}

template <class Text> void appendSize(Text& out, int64_t bytes)
{
    appendPadNumber(out, bytes / 1024);
    out.append(" K");
}

} // namespace

QString padNumber(int64_t value)
{
    QByteArray out;
    appendPadNumber(out, value);
    return QString::fromLatin1(out);
}

QString nameKey(std::string_view rawName)
{
    return displayName(rawName).toLower().leftJustified(kNameWidth, QLatin1Char(' '));
}

QString sizeText(int64_t bytes)
{
    QByteArray out;
    appendSize(out, bytes);
    return QString::fromLatin1(out);
}

void appendDuplicateLine(std::string& out, std::string_view nameColumn, int64_t bytes, uint32_t stamp,
                         std::string_view directoryColumn, StampTextCache& stamps)
{
    out.append(nameColumn);
    out.push_back('\t');
    appendSize(out, bytes);
    out.push_back('\t');
    stamps.appendDate(out, stamp);
    out.push_back('\t');
    stamps.appendTime(out, stamp);
    out.push_back('\t');
    out.append(directoryColumn);
}

LineMaker::LineMaker(DupMode mode, const SearchPathList* searchPath, StampTextCache& stamps)
    : mode_(mode), searchPath_(searchPath), stamps_(stamps)
{
}

void LineMaker::setDirectory(std::string_view path)
{
    const QString shown = displayName(path);
    marked_ = searchPath_ && searchPath_->inSearchPath(shown);
    directory_ = shown.toStdString();
    if (directory_.empty() || directory_.back() != '/')
        directory_.push_back('/');
}

void LineMaker::appendShownName(std::string_view name, bool key)
{
    if (plainAscii(name)) {
        // Written in place: a million names go through here per scan.
        const size_t at = line_.size();
        const size_t width = key && name.size() < size_t(kNameWidth) ? size_t(kNameWidth) : name.size();
        line_.resize(at + width, ' ');
        char* out = line_.data() + at;
        for (size_t i = 0; i < name.size(); ++i) {
            const char c = name[i];
            out[i] = key && c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        }
        return;
    }
    line_.append((key ? nameKey(name) : displayName(name)).toStdString());
}

std::string_view LineMaker::nameColumn(std::string_view rawName)
{
    line_.clear();
    appendShownName(rawName, true);
    return line_;
}

std::string LineMaker::directoryColumn() const
{
    return marked_ ? directory_ + kSearchPathMarker : directory_;
}

std::string_view LineMaker::line(const Entry& file, int64_t bytes)
{
    const uint32_t stamp = file.stamp();
    line_.clear();
    if (mode_ == DupMode::Duplicates) {
        appendShownName(file.name, true);
        firstTab_ = line_.size();
        line_.push_back('\t');
    }
    appendSize(line_, bytes);
    if (mode_ == DupMode::Duplicates)
        secondTab_ = line_.size();
    else
        firstTab_ = line_.size();
    line_.push_back('\t');
    stamps_.appendDate(line_, stamp);
    if (mode_ == DupMode::Hogs)
        secondTab_ = line_.size();
    line_.push_back('\t');
    stamps_.appendTime(line_, stamp);
    line_.push_back('\t');
    line_.append(directory_);
    if (mode_ == DupMode::Hogs)
        appendShownName(file.name, false);
    if (marked_)
        line_.append(kSearchPathMarker);
    return line_;
}

} // namespace kelvane
