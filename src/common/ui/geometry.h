#pragma once

class QWidget;

namespace kelvane {

// Design sizes are given at 96 dpi and scaled by the screen's dpi / 96
// (integer division, never below 1).
int designScale(const QWidget* widget);
int scaled(const QWidget* widget, int pixels);

// Centres a top-level window on its screen.
void centreOnScreen(QWidget* window);

} // namespace kelvane
