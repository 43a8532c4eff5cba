#pragma once

#include <QByteArray>
#include <QDate>
#include <QLocale>
#include <QString>

#include <array>

namespace kelvane {

// Sort keys of grid cell texts. A cell that does not read as a number or a
// date gets the fallback key (0, or 1 January 1900) and sorts where that
// value belongs.

// The text as UTF-8 with the ASCII letters a-z turned into A-Z. Keys compare
// byte by byte as unsigned values (QByteArray's operators), the shorter first
// when one is the beginning of the other. A non-ASCII character compares by its
// UTF-8 bytes, which is the order of its code point: it sorts after every ASCII
// character and keeps its letter case.
QByteArray textSortKey(QStringView text);

// Reads cell texts as numbers: blanks around, an optional + or - sign, ASCII
// digits with an optional decimal separator of the locale, an optional
// exponent (E or e, optional sign, digits). Anything else - the empty text,
// thousands separators, letters, a number out of the range of double - gives 0.
class NumberKeyReader {
public:
    explicit NumberKeyReader(const QLocale& locale);
    double read(QStringView text) const;

private:
    QString decimalPoint_;
};

double numberSortKey(QStringView text, const QLocale& locale);

// Reads cell texts as dates in a short date format such as "M/d/yyyy" or
// "dd.MM.yyyy": only the order of day, month and year in the format and the
// separators between them matter. A text is two or three numbers (decimal
// digits of any script) split by one of those separators, blanks around each
// allowed; literal text of the format before the first or after the last field
// ("yyyy. MM. dd.", "d.MM.yyyy 'г'.") may stand around them. Three numbers are
// day, month and year in the format's order; two are day and month in that
// order and take today's year. A year of 0 to 99 is taken in today's century.
// Anything else, and a day, month or year out of range (2/30/2024, year above
// 9999), gives 1 January 1900. Where the format names the month ("d MMM yyyy",
// the C locale's), the month is one of the locale's month names, short or long,
// in any letter case.
class DateKeyReader {
public:
    DateKeyReader(const QString& shortDateFormat, const QDate& today, const QLocale& locale = QLocale());
    QDate read(QStringView text) const;

private:
    enum Field { Day, Month, Year };
    void readFormat(const QString& format);
    QStringView withoutLiterals(QStringView text) const;
    // The month named at pos (advanced past the name), or 0.
    int readMonthName(QStringView text, qsizetype& pos) const;

    std::array<Field, 3> order_{Month, Day, Year};
    QString separators_ = QStringLiteral("/");
    bool blankSeparates_ = false;
    QString prefix_;
    QString suffix_;
    int century_ = 0;
    int thisYear_ = 0;
    bool monthNamed_ = false;
    std::array<QString, 24> monthNames_; // case-folded: 12 short, then 12 long
};

// Use kelvane::userShortDateFormat() for the user's format.
QDate dateSortKey(QStringView text, const QString& shortDateFormat, const QDate& today,
                  const QLocale& locale = QLocale());

// The key of every text that does not read as a date.
inline QDate fallbackDateKey()
{
    return QDate(1900, 1, 1);
}

} // namespace kelvane
