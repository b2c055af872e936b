#include "sky/sky_colours.h"

SkyColours day_sky_colours()
{
    return {QColor(0, 0, 0),
            QColor(128, 128, 128),
            QColor::fromString(u"White"),
            QColor::fromString(u"Red"),
            QColor::fromString(u"Red"),
            QColor::fromString(u"Blue"),
            QColor::fromString(u"DarkBlue")};
}

// The texts (telescope and selected object) stay at least 3 times brighter
// than the black behind them; the grid is dimmer, so that it recedes.
SkyColours night_sky_colours()
{
    return {QColor(0x90, 0, 0),       QColor(0x50, 0, 0),       QColor(0, 0, 0),
            QColor(0xff, 0x30, 0x30), QColor(0xb0, 0x10, 0x10), QColor(0xff, 0x68, 0x50),
            QColor(0xe0, 0x40, 0x40)};
}
