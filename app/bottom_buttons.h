#pragma once

#include <QRect>

class QPushButton;
class QWidget;

// The help and about windows keep their buttons at the bottom centre whatever
// their size: Close centred with its bottom edge three pixels above the
// window's, and an optional button immediately to its left.

// Where a button of this size goes in a window of that size, centred.
QRect bottom_centre(const QSize &window, const QSize &button);

// Moves close (and left_of_close, when given) for the window's current size;
// the buttons keep their own sizes.
void place_bottom_buttons(const QWidget &window, QPushButton &close,
                          QPushButton *left_of_close = nullptr);
