#pragma once

#include <QIcon>
#include <QImage>

// Pictures at night: the brightness of each pixel becomes a red of that
// brightness, its transparency stays. By day pictures stay as they are.

QImage image_in_shown_colours(const QImage &image);
QIcon icon_in_shown_colours(const QIcon &icon);

// Message boxes and file dialogs bring their own coloured pictures (a
// warning sign, Qt's logo, folders, arrows): while this is on they are
// shown in reds.
void show_box_pictures_in_reds(bool on);
