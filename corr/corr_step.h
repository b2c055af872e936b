#pragma once

#include <QString>

// The steps of the corrections pad as the texts the TCS receives: the
// hour-angle step in seconds of time with 2 decimals, the declination step in
// arcseconds with 1 decimal. The observer's typed sign is ignored; the pad's
// direction gives the sign, and an axis that does not move gets "0.0".

// Which way a pad button moves one axis.
enum class Move { Minus = -1, None = 0, Plus = 1 };

// Largest hour-angle step, in seconds of time (15 arcminutes of hour angle),
// that the division by cos(Dec) may produce. Near the pole the cosine tends to
// zero and the divided step grows without bound; at the pole it is infinite.
// 60 s covers the largest slider step (4 s) up to about 86 degrees and a 1 s
// step up to about 89 degrees; anything beyond is not a nudge an observer
// means, so it is refused.
constexpr double max_divided_ha_step = 60.0;

// Hour-angle step text from the typed value. An unreadable value gives "0.00".
// With divide set the step is divided by the cosine of dec_arcsec (the
// telescope's declination in arcseconds); a divided step that is not finite
// or exceeds max_divided_ha_step gives an empty text, which the command check
// refuses, so such a step is never sent.
QString ha_step_text(const QString &typed, Move move, bool divide, double dec_arcsec);

// Declination step text from the typed value. An unreadable value gives "0.0".
QString dec_step_text(const QString &typed, Move move);

// The value fields' texts for a slider position: 1 gives "0.01" for the hour
// angle and "0.1" for the declination.
QString ha_slider_text(int position);
QString dec_slider_text(int position);
