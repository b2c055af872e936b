#pragma once

#include <QColor>

// The colours the chart paints with. By day they are the chart's own black,
// grey, white, red, blue and dark blue; at night reds of different
// brightness on black, so that the eyes stay used to the dark.
struct SkyColours {
    QColor main;      // hour lines, equator, A/Z grid, the disc's outline, object circles
    QColor accent;    // declination circles
    QColor fill;      // inside the horizon disc
    QColor telescope; // the telescope's marker and its five text lines
    QColor horizon;   // the local horizon's outline
    QColor selected;  // the cross on the selected object
    QColor text;      // the selected object's texts
};

SkyColours day_sky_colours();
SkyColours night_sky_colours();
