#include "common/textfields.h"

namespace kelvane {

QString getField(QStringView line, int n)
{
    if (n < 1)
        return {};
    qsizetype start = 0;
    for (int column = 1; column < n; ++column) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'), start);
        if (tab < 0)
            return {};
        start = tab + 1;
    }
    const qsizetype end = line.indexOf(QLatin1Char('\t'), start);
    return line.mid(start, end < 0 ? -1 : end - start).toString();
}

} // namespace kelvane
