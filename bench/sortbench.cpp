// Times the result-grid sort on a million rows of cells like those the result
// windows show, for each kind of key in both directions, and prints a Markdown
// table (bench/sort.sh writes it into bench/README.md).
//
//   kelvane-sortbench [ROWS]      default 1000000

#include "common/gridsort.h"

#include <QDate>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

using namespace kelvane;

namespace {

struct Column {
    const char* title;
    SortKind kind;
    std::vector<QString> cells;
};

const char* kindName(SortKind kind)
{
    return kind == SortKind::Text ? "text" : kind == SortKind::Number ? "number" : "date";
}

// Sizes, counts: mostly small with a long tail, so that many values repeat.
int64_t skewed(std::mt19937_64& random, double largest)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    return int64_t(std::pow(largest, unit(random) * unit(random)));
}

std::vector<Column> columns(size_t rows)
{
    std::mt19937_64 random(1234567);
    Column sizes{"Size (\"   1234 K\")", SortKind::Text, {}};
    Column names{"Name (paths)", SortKind::Text, {}};
    Column counts{"# Files", SortKind::Number, {}};
    Column dates{"Date (M/d/yyyy, 10 years)", SortKind::Date, {}};

    const QStringList tops = {"/home/anna", "/home/ben", "/srv/data", "/var/lib", "/opt/tools", "/media/usb"};
    const QStringList parts = {"src",          "build",     "docs",  "photos", "2019",   "2023",   "cache",
                               "node_modules", "lib",       "music", "Videos", "backup", "tmp",    "project",
                               "old",          "Downloads", "test",  "share",  "config", "assets", "include"};
    const QDate start(2015, 1, 1);
    const QLocale locale;
    for (size_t r = 0; r < rows; ++r) {
        sizes.cells.push_back(QStringLiteral("%1 K").arg(skewed(random, 4e6), 7));
        QString path = tops[int(random() % tops.size())];
        const int depth = 1 + int(random() % 4);
        for (int level = 0; level < depth; ++level)
            path += QLatin1Char('/') + parts[int(random() % parts.size())];
        names.cells.push_back(path);
        counts.cells.push_back(QString::number(skewed(random, 1e5)));
        dates.cells.push_back(
            locale.toString(start.addDays(int64_t(random() % 3653)), QStringLiteral("M/d/yyyy")));
    }
    return {std::move(sizes), std::move(names), std::move(counts), std::move(dates)};
}

double bestOfThree(const std::function<void()>& run)
{
    double best = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = attempt == 0 ? took.count() : std::min(best, took.count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const size_t rows = argc > 1 ? size_t(std::strtoull(argv[1], nullptr, 10)) : 1000000;
    const QDate today(2026, 5, 10);
    const auto table = columns(rows);

    std::printf("Rows: %s; time of `sortOrder` (keys, quicksort, new order), best of 3 runs.\n\n",
                QLocale().toString(qulonglong(rows)).toUtf8().constData());
    std::printf("| Column | Key | Ascending (ms) | Descending (ms) |\n");
    std::printf("| --- | --- | ---: | ---: |\n");
    for (const Column& column : table) {
        double ms[2] = {0, 0};
        for (const bool descending : {false, true})
            ms[descending] = bestOfThree([&] { sortOrder(column.cells, column.kind, descending, today); });
        std::printf("| %s | %s | %.0f | %.0f |\n", column.title, kindName(column.kind), ms[0], ms[1]);
    }
    return 0;
}
