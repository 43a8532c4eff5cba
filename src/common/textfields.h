#pragma once

#include <QString>

namespace kelvane {

// Column n (counted from 1) of a tab-separated line, without its tabs and
// untrimmed; empty when the line has fewer than n columns or n is below 1.
QString getField(QStringView line, int n);

} // namespace kelvane
