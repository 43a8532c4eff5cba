#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace kelvane {

// The text of a date field: the date in the user's short date format (with a
// four-digit year, so that it reads back to the same date).
QString dateFieldText(QDate date);

// A date field's text read as a date in the user's short date format
// (surrounding spaces ignored); nothing when it is not a date.
std::optional<QDate> readDateField(const QString& text);

// "Sun", "Mon", ... "Sat": fixed English names, as the result lines have them.
QString dayOfWeekName(QDate date);

} // namespace kelvane
