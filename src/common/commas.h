#pragma once

#include <QString>

#include <cstdint>

namespace kelvane {

// A whole number with a comma between groups of three digits (1,234,567;
// -1,234). The comma is fixed whatever the locale, so that the texts can be read
// back by removing commas.
QString addCommas(int64_t value);

} // namespace kelvane
