#pragma once

#include <QString>

#include <cstdint>

namespace kelvane {

// The user's short date format with a two-digit year widened to four digits,
// so that every date text reads back to the same date.
QString userShortDateFormat();

// The user's long time format without a time-zone field: a file time is a
// local wall-clock time.
QString userLongTimeFormat();

// Date text of a file stamp in the user's short date format; an invalid stamp
// shows 1 January 1980.
QString fileDateText(uint32_t stamp);

// Time text of a file stamp in the user's long time format; an invalid stamp
// shows noon.
QString fileTimeText(uint32_t stamp);

// Qt builds its calendar and locale tables on first use and does not survive
// running out of memory while it does: a program builds them here, before
// any scan thread formats a date.
void prepareStampTexts();

} // namespace kelvane
