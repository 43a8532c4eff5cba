#pragma once

#include <QString>
#include <QStringList>

namespace kelvane {

// File-list masks as the user knows them: "*" any run of characters, "?" one
// character, letter case ignored, "*.*" every name (with or without a dot),
// several patterns separated by ";". Brackets are plain characters.

// The name filters (Qt wildcard syntax) that list what the mask matches.
// An empty mask matches every name.
QStringList maskNameFilters(const QString& mask);

// A filter that matches exactly this file name, whatever characters it holds.
QString literalNameFilter(const QString& name);

// True when the name passes one of the filters, letter case ignored, as the
// file list applies them.
bool matchesNameFilters(const QString& name, const QStringList& filters);

} // namespace kelvane
