#include "common/sortkeys.h"

#include <charconv>
#include <string>

namespace kelvane {

namespace {

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// Blanks around date numbers include the direction marks that some locales put
// into their date formats.
bool isDateBlank(QChar c)
{
    if (c.unicode() < 0x80)
        return c.unicode() == ' ' || (c.unicode() >= '\t' && c.unicode() <= '\r');
    return c.isSpace() || c.category() == QChar::Other_Format;
}

QStringView withoutDateBlanks(QStringView text)
{
    while (!text.isEmpty() && isDateBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isDateBlank(text.back()))
        text.chop(1);
    return text;
}

// Value of the decimal digit (of any script, also beyond the BMP) at pos, or -1;
// width is set to its length in UTF-16 units.
int digitAt(QStringView text, qsizetype pos, qsizetype& width)
{
    const QChar c = text[pos];
    width = 1;
    if (isAsciiDigit(c))
        return c.unicode() - '0';
    char32_t ucs = c.unicode();
    if (c.isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate()) {
        ucs = QChar::surrogateToUcs4(c, text[pos + 1]);
        width = 2;
    }
    return QChar::category(ucs) == QChar::Number_DecimalDigit ? QChar::digitValue(ucs) : -1;
}

bool isDateField(QChar c)
{
    return c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y');
}

} // namespace

QByteArray textSortKey(QStringView text)
{
    QByteArray key = text.toUtf8();
    for (char& c : key) {
        if (c >= 'a' && c <= 'z')
            c = char(c - ('a' - 'A'));
    }
    return key;
}

NumberKeyReader::NumberKeyReader(const QLocale& locale) : decimalPoint_(locale.decimalPoint()) {}

double NumberKeyReader::read(QStringView text) const
{
    qsizetype pos = 0;
    qsizetype end = text.size();
    while (pos < end && text[pos].isSpace())
        ++pos;
    while (end > pos && text[end - 1].isSpace())
        --end;

    // The number again in the form std::from_chars reads.
    std::string plain;
    plain.reserve(size_t(end - pos) + 1);
    if (pos < end && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-'))) {
        if (text[pos] == QLatin1Char('-'))
            plain += '-';
        ++pos;
    }
    int digits = 0;
    for (; pos < end && isAsciiDigit(text[pos]); ++pos, ++digits)
        plain += char(text[pos].unicode());
    if (!decimalPoint_.isEmpty() && text.sliced(pos, end - pos).startsWith(decimalPoint_)) {
        plain += '.';
        pos += decimalPoint_.size();
        for (; pos < end && isAsciiDigit(text[pos]); ++pos, ++digits)
            plain += char(text[pos].unicode());
    }
    if (digits == 0)
        return 0;
    if (pos < end && (text[pos] == QLatin1Char('e') || text[pos] == QLatin1Char('E'))) {
        plain += 'e';
        ++pos;
        if (pos < end && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-')))
            plain += char(text[pos++].unicode());
        int exponentDigits = 0;
        for (; pos < end && isAsciiDigit(text[pos]); ++pos, ++exponentDigits)
            plain += char(text[pos].unicode());
        if (exponentDigits == 0)
            return 0;
    }
    if (pos != end)
        return 0;

    double value = 0;
    const char* last = plain.data() + plain.size();
    const auto [ptr, ec] = std::from_chars(plain.data(), last, value);
    if (ec != std::errc() || ptr != last)
        return 0;
    return value;
}

double numberSortKey(QStringView text, const QLocale& locale)
{
    return NumberKeyReader(locale).read(text);
}

DateKeyReader::DateKeyReader(const QString& shortDateFormat, const QDate& today, const QLocale& locale)
    : century_(today.year() - today.year() % 100), thisYear_(today.year())
{
    readFormat(shortDateFormat);
    for (int m = 1; m <= 12; ++m) {
        monthNames_[size_t(m - 1)] = locale.monthName(m, QLocale::ShortFormat).toCaseFolded();
        monthNames_[size_t(m + 11)] = locale.monthName(m, QLocale::LongFormat).toCaseFolded();
    }
}

int DateKeyReader::readMonthName(QStringView text, qsizetype& pos) const
{
    qsizetype end = pos;
    while (end < text.size() && !isDateBlank(text[end]) && !separators_.contains(text[end]) &&
           !text[end].isDigit())
        ++end;
    const QString name = text.sliced(pos, end - pos).toString().toCaseFolded();
    for (size_t k = 0; k < monthNames_.size(); ++k) {
        if (!name.isEmpty() && name == monthNames_[k]) {
            pos = end;
            return int(k % 12) + 1;
        }
    }
    return 0;
}

// Keeps the defaults (M/d/yyyy) for a format without exactly one day, month and
// year field.
void DateKeyReader::readFormat(const QString& format)
{
    std::array<Field, 3> order{};
    int fields = 0;
    bool seen[3] = {false, false, false};
    // The literal text before field k, quotes resolved; the last one follows
    // the last field.
    std::array<QString, 4> literals;
    bool quoted = false;
    for (qsizetype k = 0; k < format.size(); ++k) {
        const QChar c = format[k];
        if (c == QLatin1Char('\'')) {
            if (k + 1 < format.size() && format[k + 1] == QLatin1Char('\'')) {
                literals[size_t(fields)] += c;
                ++k;
            } else {
                quoted = !quoted;
            }
            continue;
        }
        if (quoted || !isDateField(c)) {
            literals[size_t(fields)] += c;
            continue;
        }
        qsizetype run = 1;
        while (k + 1 < format.size() && format[k + 1] == c) {
            ++k;
            ++run;
        }
        if (c == QLatin1Char('M') && run >= 3)
            monthNamed_ = true;
        const Field field = c == QLatin1Char('d') ? Day : c == QLatin1Char('M') ? Month : Year;
        if (fields == 3 || seen[field])
            return;
        seen[field] = true;
        order[size_t(fields++)] = field;
    }
    if (fields != 3) {
        monthNamed_ = false;
        return;
    }

    order_ = order;
    prefix_ = withoutDateBlanks(literals[0]).toString();
    suffix_ = withoutDateBlanks(literals[3]).toString();
    separators_.clear();
    for (const QString& gap : {literals[1], literals[2]}) {
        bool blankOnly = true;
        for (const QChar c : gap) {
            if (isDateBlank(c))
                continue;
            blankOnly = false;
            if (!separators_.contains(c))
                separators_ += c;
        }
        if (blankOnly)
            blankSeparates_ = true;
    }
}

QStringView DateKeyReader::withoutLiterals(QStringView text) const
{
    text = withoutDateBlanks(text);
    if (!prefix_.isEmpty() && text.startsWith(prefix_))
        text = withoutDateBlanks(text.sliced(prefix_.size()));
    if (!suffix_.isEmpty() && text.endsWith(suffix_))
        text = withoutDateBlanks(text.chopped(suffix_.size()));
    return text;
}

QDate DateKeyReader::read(QStringView text) const
{
    text = withoutLiterals(text);
    const qsizetype size = text.size();
    int numbers[3] = {0, 0, 0};
    int count = 0;
    qsizetype pos = 0;
    for (;;) {
        if (count == 3)
            return fallbackDateKey();
        int value = 0;
        int digits = 0;
        qsizetype width = 1;
        const bool named = monthNamed_ && order_[size_t(count)] == Month;
        if (named) {
            value = readMonthName(text, pos);
            digits = value > 0 ? 1 : 0;
        }
        for (int digit; !named && pos < size && (digit = digitAt(text, pos, width)) >= 0;
             pos += width, ++digits) {
            // Past 99,999 no field can be valid; stop growing so the value cannot overflow.
            if (value <= 99999)
                value = value * 10 + digit;
        }
        if (digits == 0)
            return fallbackDateKey();
        numbers[count++] = value;
        if (pos == size)
            break;

        const qsizetype afterNumber = pos;
        while (pos < size && isDateBlank(text[pos]))
            ++pos;
        if (pos < size && separators_.contains(text[pos])) {
            ++pos;
            while (pos < size && isDateBlank(text[pos]))
                ++pos;
        } else if (!blankSeparates_ || pos == afterNumber) {
            return fallbackDateKey();
        }
    }
    if (count < 2)
        return fallbackDateKey();

    int day = 0;
    int month = 0;
    int year = thisYear_;
    int next = 0;
    for (const Field field : order_) {
        if (field == Year && count == 2)
            continue;
        const int value = numbers[next++];
        if (field == Day)
            day = value;
        else if (field == Month)
            month = value;
        else
            year = value <= 99 ? century_ + value : value;
    }
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        return fallbackDateKey();
    return QDate(year, month, day);
}

QDate dateSortKey(QStringView text, const QString& shortDateFormat, const QDate& today, const QLocale& locale)
{
    return DateKeyReader(shortDateFormat, today, locale).read(text);
}

} // namespace kelvane
