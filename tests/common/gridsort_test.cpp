#include "common/filestamp.h"
#include "common/gridsort.h"
#include "common/sortkeys.h"
#include "common/stamptext.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QRegularExpression>

#include <array>
#include <functional>
#include <random>

using namespace kelvane;

// Readable failure messages.
QT_BEGIN_NAMESPACE
static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
static void PrintTo(const QDate& date, std::ostream* out)
{
    *out << date.toString(Qt::ISODate).toStdString();
}
QT_END_NAMESPACE

namespace {

const QDate today(2026, 5, 10);

std::vector<QString> texts(std::initializer_list<const char*> cells)
{
    std::vector<QString> result;
    for (const char* cell : cells)
        result.push_back(QString::fromUtf8(cell));
    return result;
}

std::vector<QString> sorted(const std::vector<QString>& cells, SortKind kind, bool descending)
{
    std::vector<QString> result;
    for (const uint32_t index : sortOrder(cells, kind, descending, today))
        result.push_back(cells.at(index));
    return result;
}

// A grid of rows of cells, row 0 the title row.
class FakeGrid final : public SortableGrid {
public:
    std::vector<std::vector<QString>> rows;
    int reorders = 0;

    int RowCount() const override { return int(rows.size()); }
    QString Cells(int column, int row) const override { return rows.at(size_t(row)).at(size_t(column)); }
    void reorderRows(int first, const std::vector<uint32_t>& order) override
    {
        ++reorders;
        const auto old = rows;
        for (size_t i = 0; i < order.size(); ++i)
            rows.at(size_t(first) + i) = old.at(size_t(first) + order[i]);
    }
};

// ---- An independent reference: the sort's steps taken literally. Keys are
// recomputed from the cell text at every comparison, and the key table of
// (row number as text, cell text) exchanges whole rows.

using RefTable = std::vector<std::array<QString, 2>>;

std::string refTextKey(const QString& text)
{
    std::string key = text.toStdString();
    for (char& c : key) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    }
    return key; // std::string compares its bytes as unsigned char
}

double refNumberKey(const QString& text)
{
    static const QRegularExpression number(
        QStringLiteral("^ *[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)? *$"));
    if (!number.match(text).hasMatch())
        return 0;
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? value : 0;
}

QDate refDateKey(const QString& text) // M/d/yyyy, the pinned locale's
{
    static const QRegularExpression date(QStringLiteral("^ *(\\d+) */ *(\\d+) *(?:/ *(\\d+) *)?$"));
    const auto match = date.match(text);
    if (!match.hasMatch())
        return QDate(1900, 1, 1);
    bool ok[3] = {true, true, true};
    const int month = match.captured(1).toInt(&ok[0]);
    const int day = match.captured(2).toInt(&ok[1]);
    int year = match.hasCaptured(3) ? match.captured(3).toInt(&ok[2]) : today.year();
    if (year <= 99)
        year += 2000;
    if (!ok[0] || !ok[1] || !ok[2] || year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        return QDate(1900, 1, 1);
    return QDate(year, month, day);
}

void refExchange(RefTable& table, int i, int j)
{
    const auto aside = table[i];
    table[i] = table[j];
    table[j] = aside;
}

template <typename KeyOf>
void refExchangeSort(RefTable& table, int lo, int hi, int column, bool descending, KeyOf key)
{
    if (hi <= lo)
        return;
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        for (int k = lo; k <= hi - 1; ++k) {
            const auto a = key(table[k][column]);
            const auto b = key(table[k + 1][column]);
            if (descending ? a < b : a > b) {
                refExchange(table, k, k + 1);
                exchanged = true;
            }
        }
    }
}

template <typename KeyOf>
void refQuickSort(RefTable& table, int lo, int hi, int column, bool descending, KeyOf key, bool text)
{
    if (text && hi - lo < 5) {
        refExchangeSort(table, lo, hi, column, descending, key);
        return;
    }
    if (lo >= hi)
        return;
    int i = lo;
    int j = hi;
    const auto p = key(table[(lo + hi) / 2][column]);
    while (i <= j) {
        if (!descending) {
            while (key(table[i][column]) < p)
                ++i;
            while (key(table[j][column]) > p)
                --j;
        } else {
            while (key(table[i][column]) > p)
                ++i;
            while (key(table[j][column]) < p)
                --j;
        }
        if (i <= j) {
            refExchange(table, i, j);
            ++i;
            --j;
        }
    }
    refQuickSort(table, lo, j, column, descending, key, text);
    refQuickSort(table, i, hi, column, descending, key, text);
}

// The reference on grid rows 1..n (row 0 the title), as the windows call it.
std::vector<uint32_t> referenceOrder(const std::vector<QString>& cells, SortKind kind, bool descending)
{
    const int first = 1;
    const int last = int(cells.size());
    RefTable table(cells.size() + 1);
    for (int r = first; r <= last; ++r)
        table[r] = {QString::number(r), cells[r - first]};
    if (kind == SortKind::Text)
        refQuickSort(table, first, last, 1, descending, refTextKey, true);
    else if (kind == SortKind::Number)
        refQuickSort(table, first, last, 1, descending, refNumberKey, false);
    else
        refQuickSort(table, first, last, 1, descending, refDateKey, false);
    std::vector<uint32_t> order;
    for (int r = first; r <= last; ++r)
        order.push_back(uint32_t(table[r][0].toInt() - first));
    return order;
}

const char* kindName(SortKind kind)
{
    return kind == SortKind::Text ? "text" : kind == SortKind::Number ? "number" : "date";
}

} // namespace

TEST(SortKeys, TextIgnoresAsciiCaseAndComparesUnsignedBytes)
{
    EXPECT_EQ(textSortKey(u"c:\\Windows\\é"), QByteArray("C:\\WINDOWS\\\xc3\xa9"));
    EXPECT_LT(textSortKey(u"c:\\win32"), textSortKey(u"c:\\win\\x")); // '3' (51) < '\' (92)
    EXPECT_LT(textSortKey(u"c:\\windows"), textSortKey(u"C:\\WINDOWS\\SYSTEM"));
    EXPECT_LT(textSortKey(u"   12 K"), textSortKey(u"  123 K"));
    EXPECT_GT(textSortKey(u"DELETED"), textSortKey(u"9999999 K"));
    // Bytes above 127 count as unsigned: non-ASCII text after every ASCII text.
    EXPECT_GT(textSortKey(u"é"), textSortKey(u"~"));
    EXPECT_NE(textSortKey(u"é"), textSortKey(u"É"));
    EXPECT_TRUE(textSortKey(u"").isEmpty());
}

TEST(SortKeys, NumbersReadInTheLocaleOrGiveZero)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(numberSortKey(u"40", us), 40);
    EXPECT_EQ(numberSortKey(u"  -12.5  ", us), -12.5);
    EXPECT_EQ(numberSortKey(u"+7", us), 7);
    EXPECT_EQ(numberSortKey(u".5", us), 0.5);
    EXPECT_EQ(numberSortKey(u"5.", us), 5);
    EXPECT_EQ(numberSortKey(u"1e3", us), 1000);
    EXPECT_EQ(numberSortKey(u"2.5E-1", us), 0.25);
    EXPECT_EQ(numberSortKey(u"1E+2", us), 100);
    for (const char16_t* bad : {u"", u"   ", u"1,234", u"12a", u"abc", u"1e", u"1e+", u"-", u"+", u".",
                                u"1.2.3", u"- 5", u"5 5", u"0x10", u"nan", u"inf", u"1e999", u"1 234"})
        EXPECT_EQ(numberSortKey(bad, us), 0) << QString::fromUtf16(bad).toStdString();

    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_EQ(numberSortKey(u"1,5", de), 1.5);
    EXPECT_EQ(numberSortKey(u"1.5", de), 0);
}

TEST(SortKeys, DatesInTheShortFormatsFieldOrder)
{
    const QString us = QStringLiteral("M/d/yyyy");
    EXPECT_EQ(dateSortKey(u"12/7/2026", us, today), QDate(2026, 12, 7));
    EXPECT_EQ(dateSortKey(u" 01 / 02 / 1999 ", us, today), QDate(1999, 1, 2));
    EXPECT_EQ(dateSortKey(u"7/4/21", us, today), QDate(2021, 7, 4));
    EXPECT_EQ(dateSortKey(u"7/4/0", us, today), QDate(2000, 7, 4));
    EXPECT_EQ(dateSortKey(u"7/4/100", us, today), QDate(100, 7, 4));
    EXPECT_EQ(dateSortKey(u"7/4", us, today), QDate(2026, 7, 4));
    EXPECT_EQ(dateSortKey(u"2/29/2024", us, today), QDate(2024, 2, 29));
    EXPECT_EQ(dateSortKey(u"1/2/2020", us, QDate(1999, 3, 3)), QDate(2020, 1, 2));
    EXPECT_EQ(dateSortKey(u"1/2/20", us, QDate(1999, 3, 3)), QDate(1920, 1, 2));

    EXPECT_EQ(dateSortKey(u"7.12.2026", QStringLiteral("dd.MM.yyyy"), today), QDate(2026, 12, 7));
    EXPECT_EQ(dateSortKey(u"7.12.", QStringLiteral("dd.MM.yyyy"), today), QDate(1900, 1, 1));
    EXPECT_EQ(dateSortKey(u"7.12", QStringLiteral("dd.MM.yyyy"), today), QDate(2026, 12, 7));
    EXPECT_EQ(dateSortKey(u"2026-12-07", QStringLiteral("yyyy-MM-dd"), today), QDate(2026, 12, 7));
    EXPECT_EQ(dateSortKey(u"12-07", QStringLiteral("yyyy-MM-dd"), today), QDate(2026, 12, 7));
    EXPECT_EQ(dateSortKey(u"2026. 12. 7.", QStringLiteral("yyyy. MM. dd."), today), QDate(2026, 12, 7));
    EXPECT_EQ(dateSortKey(u"2026. 12. 7", QStringLiteral("yyyy. MM. dd."), today), QDate(2026, 12, 7));
    EXPECT_EQ(dateSortKey(u"7 12 2026", QStringLiteral("d M yyyy"), today), QDate(2026, 12, 7));
    EXPECT_EQ(dateSortKey(u"Day 7/12/2026", QStringLiteral("'Day' d/M/yyyy"), today), QDate(2026, 12, 7));
    EXPECT_EQ(dateSortKey(u"7.12.2026 г.", QStringLiteral("d.MM.yyyy 'г'."), today), QDate(2026, 12, 7));
    EXPECT_EQ(dateSortKey(u"07/12 2026", QStringLiteral("dd/MM yyyy"), today), QDate(2026, 12, 7));
    EXPECT_EQ(dateSortKey(u"2026年12月7日", QStringLiteral("yyyy年M月d日"), today), QDate(2026, 12, 7));
}

TEST(SortKeys, UnreadableDatesGiveTheFirstOf1900)
{
    const QString us = QStringLiteral("M/d/yyyy");
    for (const char16_t* bad :
         {u"", u"  ", u"abc", u"7", u"7/", u"/7/4", u"7/4/2021/", u"7//4", u"7/4/2021/1", u"2/29/2023",
          u"13/1/2020", u"0/1/2020", u"1/0/2020", u"1/32/2020", u"1/2/10000", u"7-4-2021", u"7/4/2021 x",
          u"7/4/99999999999999999999", u"-7/4/2021"})
        EXPECT_EQ(dateSortKey(bad, us, today), QDate(1900, 1, 1)) << QString::fromUtf16(bad).toStdString();
}

TEST(SortKeys, EveryLocalesShortDatesReadBack)
{
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    const QList<QDate> dates = {QDate(2026, 12, 7), QDate(1999, 1, 31), QDate(2004, 2, 29)};
    int checked = 0;
    for (const QLocale& locale :
         QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
        QString format = locale.dateFormat(QLocale::ShortFormat);
        format.replace(twoDigitYear, QStringLiteral("yyyy"));
        for (const QDate& date : dates) {
            const QString text = locale.toString(date, format);
            EXPECT_EQ(dateSortKey(text, format, today, locale), date)
                << locale.name().toStdString() << " " << format.toStdString() << " " << text.toStdString();
        }
        ++checked;
    }
    EXPECT_GT(checked, 100);
}

// The C locale's short date format names the month ("d MMM yyyy").
TEST(SortOrder, DatesWithMonthNamesInTheCLocale)
{
    struct DefaultLocale {
        QLocale saved;
        DefaultLocale() { QLocale::setDefault(QLocale::c()); }
        ~DefaultLocale() { QLocale::setDefault(saved); }
    } cLocale;
    ASSERT_EQ(userShortDateFormat(), QStringLiteral("d MMM yyyy"));
    const QList<QDate> dates = {QDate(2026, 3, 1), QDate(2025, 12, 31), QDate(2026, 1, 15), QDate(2024, 7, 4),
                                QDate(2026, 11, 2)};
    std::vector<QString> cells;
    for (const QDate& d : dates)
        cells.push_back(fileDateText(packStampFields(d.year(), d.month(), d.day(), 0, 0, 0)));
    EXPECT_EQ(cells[1], QStringLiteral("31 Dec 2025"));
    EXPECT_EQ(sorted(cells, SortKind::Date, false),
              (std::vector<QString>{cells[3], cells[1], cells[2], cells[0], cells[4]}));
    EXPECT_EQ(dateSortKey(u"1 MARCH 2026", userShortDateFormat(), today), QDate(2026, 3, 1));
    for (const char16_t* bad : {u"1 Mrz 2026", u"1 2026", u"Dec 1 2026", u"1 Dec2026x", u"1 3 2026"})
        EXPECT_EQ(dateSortKey(bad, userShortDateFormat(), today), QDate(1900, 1, 1))
            << QString::fromUtf16(bad).toStdString();
}

TEST(SortOrder, EdgeCasesOfTheResultWindows)
{
    EXPECT_EQ(sorted(texts({"5", "40", "", "12"}), SortKind::Number, true), texts({"40", "12", "5", ""}));
    EXPECT_EQ(sorted(texts({"c:\\windows", "C:\\WINDOWS\\SYSTEM", "c:\\dos"}), SortKind::Text, false),
              texts({"c:\\dos", "c:\\windows", "C:\\WINDOWS\\SYSTEM"}));
    EXPECT_EQ(sorted(texts({"c:\\win\\x", "c:\\win32"}), SortKind::Text, false),
              texts({"c:\\win32", "c:\\win\\x"}));
    EXPECT_EQ(sorted(texts({"     12 K", "    123 K"}), SortKind::Text, true),
              texts({"    123 K", "     12 K"}));
    EXPECT_EQ(sorted(texts({"     12 K", "DELETED", "1234567 K", "    123 K"}), SortKind::Text, true),
              texts({"DELETED", "1234567 K", "    123 K", "     12 K"}));
    EXPECT_EQ(sorted(texts({"", "3/1/2024", "12/31/2023", "3/2/2024"}), SortKind::Date, true),
              texts({"3/2/2024", "3/1/2024", "12/31/2023", ""}));
    EXPECT_EQ(sorted(texts({"1/1/1900", "", "12/31/1899"}), SortKind::Date, false).front(), "12/31/1899");
    // Keys that agree in their first eight bytes, one with a NUL inside.
    const std::vector<QString> nul = {QString::fromUtf8("ab\0x", 4),
                                      "ab",
                                      QString::fromUtf8("ab\0", 3),
                                      "AB\x01",
                                      "c:\\windows\\x",
                                      "C:\\WINDOWS"};
    EXPECT_EQ(sortOrder(nul, SortKind::Text, false, today), (std::vector<uint32_t>{1, 2, 0, 3, 5, 4}));
    EXPECT_TRUE(sortOrder({}, SortKind::Date, false, today).empty());
    EXPECT_EQ(sortOrder(texts({"x"}), SortKind::Number, true, today), std::vector<uint32_t>{0});
}

TEST(SortOrder, TiesFollowTheSortStepsNotTheOriginalOrder)
{
    // Partitioning around the middle row exchanges equal keys: 0<->6, 1<->5,
    // 2<->4, then 0<->2 and 4<->6 in the two halves.
    const auto cells = texts({"1", "1", "1", "1", "1", "1", "1"});
    EXPECT_EQ(sortOrder(cells, SortKind::Number, false, today), (std::vector<uint32_t>{4, 5, 6, 3, 0, 1, 2}));
    EXPECT_EQ(sortOrder(cells, SortKind::Number, false, today),
              referenceOrder(cells, SortKind::Number, false));
    // Short text ranges use the exchange sort, which keeps ties in order.
    const auto few = texts({"b", "A", "a", "B", "a"});
    EXPECT_EQ(sortOrder(few, SortKind::Text, false, today), (std::vector<uint32_t>{1, 2, 4, 0, 3}));
}

TEST(SortOrder, MatchesTheLiteralStepsOnRandomCellsWithManyTies)
{
    const std::vector<QString> pools[3] = {
        texts({"",          "a",          "A",           "b",
               "B",         "ab",         "AB",          "aB",
               "c:\\dos",   "C:\\DOS",    "c:\\windows", "C:\\WINDOWS\\SYSTEM",
               "c:\\win32", "c:\\win\\x", "     12 K",   "    123 K",
               "1234567 K", "DELETED",    "deleted",     "é",
               "É",         "z",          "[",           "_",
               "`",         "{",          "~",           "日本",
               " "}),
        texts({"",      "0",      "-0",    "5",         "40",
               "12",    " 12 ",   "+12",   "12.0",      "1.2e1",
               "-3",    "0.5",    ".5",    "5.",        "1e2",
               "1E+2",  "100",    "1,234", "abc",       "12a",
               "1e",    "-",      "1.2.3", "  -7.25  ", "99999999999999999999",
               "1e400", "1e-400", "2.5E-1"}),
        texts({"",           "1/2/2020",       "01/02/2020", "1/2/20",    "12/31/1999", "12/31/99",
               "2/29/2024",  "2/29/2023",      "5/10",       "5/10/2026", "13/1/2020",  "1/1/1900",
               "12/31/1899", " 7 / 4 / 2021 ", "7/4/21",     "abc",       "7/4/2021/",  "1/1/0",
               "1/1/2000",   "6/15/2026",      "0/1/2020"}),
    };
    std::mt19937 random(20260510);
    int compared = 0;
    for (const SortKind kind : {SortKind::Text, SortKind::Number, SortKind::Date}) {
        const auto& pool = pools[int(kind)];
        for (const bool descending : {false, true}) {
            for (int trial = 0; trial < 400; ++trial) {
                // Half the trials around the exchange-sort cut-off, the rest up to a few hundred rows.
                const int size = trial < 200 ? trial % 8 : int(random() % 300);
                // A few distinct texts per trial, so most keys tie.
                const size_t distinct = 1 + random() % (trial % 3 == 0 ? pool.size() : 4);
                std::vector<QString> choice;
                for (size_t k = 0; k < distinct; ++k)
                    choice.push_back(pool[random() % pool.size()]);
                std::vector<QString> cells;
                for (int r = 0; r < size; ++r)
                    cells.push_back(choice[random() % choice.size()]);
                ASSERT_EQ(sortOrder(cells, kind, descending, today), referenceOrder(cells, kind, descending))
                    << kindName(kind) << (descending ? " descending" : " ascending") << " size " << size
                    << " trial " << trial;
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, 2400);
}

TEST(SortOrder, MatchesTheLiteralStepsOnOrderedAndDistinctCells)
{
    for (const int size : {6, 7, 50, 257}) {
        std::vector<QString> ascending;
        for (int r = 0; r < size; ++r)
            ascending.push_back(QString::number(r * 7 % size)); // distinct, scrambled
        std::vector<QString> runs = ascending;
        std::sort(runs.begin(), runs.end(),
                  [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
        std::vector<QString> reversed(runs.rbegin(), runs.rend());
        for (const auto& cells : {ascending, runs, reversed}) {
            for (const SortKind kind : {SortKind::Text, SortKind::Number}) {
                for (const bool descending : {false, true})
                    EXPECT_EQ(sortOrder(cells, kind, descending, today),
                              referenceOrder(cells, kind, descending))
                        << kindName(kind) << " size " << size;
            }
        }
    }
}

TEST(SortGrid, RowsMoveWholeAndOnlyInsideTheRange)
{
    FakeGrid grid;
    grid.rows = {
        {"Size", "# Files", "Date", "Name"},    {"    20 K", "3", "1/5/2024", "/b"},
        {"     5 K", "40", "", "/a"},           {"DELETED", "", "3/1/2025", "/c"},
        {"   300 K", "12", "12/31/2023", "/d"}, {"     1 K", "7", "6/1/2024", "/e"},
    };
    const auto rowOf = [&](const QString& name) {
        for (const auto& row : grid.rows) {
            if (row[3] == name)
                return row;
        }
        return std::vector<QString>{};
    };
    const auto original = grid.rows;

    sortGridNumber(grid, 1, 5, 1, true, today);
    EXPECT_EQ(grid.rows[0], original[0]);
    std::vector<QString> names;
    for (int r = 1; r < 6; ++r)
        names.push_back(grid.rows[r][3]);
    EXPECT_EQ(names, texts({"/a", "/d", "/e", "/b", "/c"}));
    for (const auto& row : original)
        EXPECT_EQ(rowOf(row[3]), row);

    sortGridDate(grid, 1, 5, 2, true, today);
    EXPECT_EQ(grid.rows[1][3], "/c");
    EXPECT_EQ(grid.rows[5][3], "/a"); // the empty date is 1 January 1900

    sortGridText(grid, 1, 5, 0, true, today);
    EXPECT_EQ(grid.rows[1], original[3]); // DELETED before the sizes
    EXPECT_EQ(grid.rows[2], original[4]);
    EXPECT_EQ(grid.rows[5], original[5]);

    // Rows outside first..last stay where they are.
    sortGridText(grid, 2, 4, 3, false, today);
    EXPECT_EQ(grid.rows[1], original[3]);
    EXPECT_EQ(grid.rows[5], original[5]);
    EXPECT_EQ(grid.rows[2][3], "/a");
    EXPECT_EQ(grid.rows[3][3], "/b");
    EXPECT_EQ(grid.rows[4][3], "/d");
    for (const auto& row : original)
        EXPECT_EQ(rowOf(row[3]), row);
}

TEST(SortGrid, OneRowNoRowsAndRangesOutsideTheGridAreLeftAlone)
{
    FakeGrid grid;
    grid.rows = {{"Name"}, {"b"}, {"a"}};
    sortGridText(grid, 1, 1, 0, false, today);
    sortGridText(grid, 2, 1, 0, false, today);
    sortGridText(grid, 0, 3, 0, false, today);
    sortGridText(grid, -1, 2, 0, false, today);
    EXPECT_EQ(grid.reorders, 0);
    EXPECT_EQ(grid.rows[1][0], "b");

    grid.rows.resize(1);
    sortGridNumber(grid, 1, 0, 0, false, today);
    EXPECT_EQ(grid.reorders, 0);
    EXPECT_EQ(grid.rows.size(), 1u);
}
