#pragma once

class QPrinter;
class QWidget;

namespace kelvane {

// Prints a picture of the window's client area as it is on the screen, as one
// page: at the top left corner, scaled by the printer's resolution over the
// screen's so that it keeps its size on paper. False when the printer could
// not be started.
bool printWindowPicture(QWidget& window, QPrinter& printer);

} // namespace kelvane
