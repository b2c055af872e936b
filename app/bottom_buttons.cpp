#include "app/bottom_buttons.h"

#include <QPushButton>

QRect bottom_centre(const QSize &window, const QSize &button)
{
    // Integer division truncates toward zero, also for a window narrower
    // than the button.
    const int x = (window.width() - button.width()) / 2;
    const int y = window.height() - button.height() - 2;
    return QRect(QPoint(x, y), button);
}

void place_bottom_buttons(const QWidget &window, QPushButton &close, QPushButton *left_of_close)
{
    const QRect close_rect = bottom_centre(window.size(), close.size());
    close.move(close_rect.topLeft());
    if (!left_of_close)
        return;
    // Its right edge one pixel left of Close's left edge, bottoms aligned.
    const QSize size = left_of_close->size();
    left_of_close->move(close_rect.left() - size.width(), window.height() - size.height() - 2);
}
