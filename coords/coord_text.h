#pragma once

#include <QString>

// Right ascension texts are hours:minutes:seconds, declination texts
// [sign]degrees:minutes:seconds. Missing or unreadable pieces count 0.

// Seconds of time from "hh:mm:ss.s" (also "hh:mm" or "hh").
double ra_to_sec(const QString &text);
// Arcseconds from "+dd:mm:ss.s"; the sign of the text applies to all pieces.
double dec_to_sec(const QString &text);
// "%02d:%02d:%05.2f"; never longer than 19 characters, whatever the value.
QString sec_to_ra(double seconds);
// "%c%02d:%02d:%04.1f"; never longer than 19 characters, whatever the value.
QString sec_to_dec(double arcseconds);
