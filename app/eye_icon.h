#pragma once

#include <QIcon>

// The eye on the show-password button, 20 x 14 pixels.
QIcon eye_icon();
