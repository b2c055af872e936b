#pragma once

#include <QDateTime>

// Where the Sun is, for the darkness of the night at the site.

// The Sun's right ascension in seconds of time and declination in
// arcseconds at an instant.
struct SunPlace {
    double ra = 0;
    double dec = 0;
};
SunPlace sun_place(const QDateTime &instant);

// The Sun's altitude in degrees at an instant, at the given sidereal time
// (seconds of time), through the chart's transform.
double sun_altitude(const QDateTime &instant, double sidereal);

// Solar seconds from an instant, at which the sidereal time is the given
// one, until the Sun's altitude next passes the given altitude (degrees) in
// either direction; negative when that does not happen within 24 hours.
double seconds_to_sun_altitude(const QDateTime &instant, double sidereal, double altitude);
