#pragma once

#include <Qt>

namespace kelvane {

// The busy pointer over the whole program for as long as it lives; it goes
// however the scope ends, an exception included. Nested ones stack. The
// pointer with the arrow (Qt::BusyCursor) says the program still answers.
class BusyPointer {
public:
    explicit BusyPointer(Qt::CursorShape shape = Qt::WaitCursor);
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace kelvane
