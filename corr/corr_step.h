#pragma once

#include <QString>

// The steps of the corrections pad as the texts the TCS receives: the
// hour-angle step in seconds of time with 2 decimals, the declination step in
// arcseconds with 1 decimal. The observer's typed sign is ignored; the pad's
// direction gives the sign, and an axis that does not move gets "0.0".

// Which way a pad button moves one axis.
enum class Move { Minus = -1, None = 0, Plus = 1 };

// Largest steps a press may send. Near the pole the division by cos(Dec)
// makes the hour-angle step grow without bound (infinite at the pole), and a
// typed value can be any number at all; a nudge of more than 60 s of time
// (15 arcminutes of hour angle) or 900 arcseconds is not what an observer
// means. 60 s still covers the largest slider step (4 s) divided up to about
// 86 degrees, and a 1 s step up to about 89 degrees.
constexpr double max_ha_step = 60.0;   // seconds of time, after any division
constexpr double max_dec_step = 900.0; // arcseconds

// Hour-angle step text from the typed value. A value that is no number at all
// gives "0.00". With divide set the step is divided by the cosine of
// dec_arcsec (the telescope's declination in arcseconds). A step that is not
// finite ("inf", "nan", an overflow) or exceeds max_ha_step gives an empty
// text, which the command check refuses, so such a step is never sent.
QString ha_step_text(const QString &typed, Move move, bool divide, double dec_arcsec);

// Declination step text from the typed value. A value that is no number at
// all gives "0.0"; one that is not finite or exceeds max_dec_step gives an
// empty text.
QString dec_step_text(const QString &typed, Move move);

// The value fields' texts for a slider position: 1 gives "0.01" for the hour
// angle and "0.1" for the declination.
QString ha_slider_text(int position);
QString dec_slider_text(int position);
