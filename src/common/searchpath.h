#pragma once

#include <QByteArray>
#include <QStringList>

namespace kelvane {

// The directories of PATH, in their order, as written there: empty entries stay
// as empty lines and nothing is normalised (a trailing '/' stays). Filled once at
// start-up and read-only afterwards. Linux paths are case-sensitive, so the list
// keeps the letter case of PATH and comparisons are exact.
class SearchPathList {
public:
    // Fills the list from the PATH environment variable.
    void GetSearchPath();
    // Fills the list from a PATH value (for tests and for the environment).
    void GetSearchPath(const QByteArray& pathValue);

    // True when dir (a directory as shown, no trailing '/' except the root)
    // equals one line of the list.
    bool inSearchPath(QStringView dir) const;

    const QStringList& lines() const { return lines_; }

private:
    QStringList lines_;
};

} // namespace kelvane
