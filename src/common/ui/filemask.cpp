#include "common/ui/filemask.h"

#include <QRegularExpression>

namespace kelvane {

namespace {

// Qt wildcards give "[" and "]" a meaning; as one-character sets they are plain.
QString escapeBrackets(const QString& pattern)
{
    QString out;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('[') || c == QLatin1Char(']'))
            out += QLatin1Char('[') + c + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

} // namespace

QStringList maskNameFilters(const QString& mask)
{
    QStringList filters;
    for (const QString& part : mask.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString pattern = part.trimmed();
        if (pattern.isEmpty())
            continue;
        // "*.*" means every file, also one without an extension.
        filters.append(pattern == QLatin1String("*.*") ? QStringLiteral("*") : escapeBrackets(pattern));
    }
    if (filters.isEmpty())
        filters.append(QStringLiteral("*"));
    return filters;
}

QString literalNameFilter(const QString& name)
{
    QString out;
    for (const QChar c : name) {
        if (c == QLatin1Char('[') || c == QLatin1Char(']') || c == QLatin1Char('*') || c == QLatin1Char('?'))
            out += QLatin1Char('[') + c + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

bool matchesNameFilters(const QString& name, const QStringList& filters)
{
    for (const QString& filter : filters) {
        if (QRegularExpression::fromWildcard(filter, Qt::CaseInsensitive).match(name).hasMatch())
            return true;
    }
    return false;
}

} // namespace kelvane
