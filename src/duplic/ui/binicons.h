#pragma once

#include <QIcon>

namespace kelvane {

// The two pictures of the Mark button: a waste bin with nothing marked, and
// one with paper in it once a file is marked.
QIcon emptyBinIcon();
QIcon fullBinIcon();

} // namespace kelvane
