#pragma once

#include <QDateTime>

// Local sidereal time at the site in seconds of time, 0 <= value < 86400;
// negative while unset (-1 at program start).
extern double sidereal_time;

// Site latitude 43.6535277 deg north, as two constants used exactly as given
// (their squares add up to 0.99999999993, not 1).
constexpr double site_sin_lat = 0.6902957888;
constexpr double site_cos_lat = 0.7235272793;
constexpr double velto_pi = 3.141592653589793;
// Sidereal seconds per solar second.
constexpr double sidereal_per_solar = 1.002737909350795;

// Sidereal time at the given instant, a whole number of seconds of time.
double sidereal_time_at(const QDateTime &instant);
// Sets sidereal_time from the computer clock.
void calc_sidereal_time();

// ra in seconds of time, dec in arcseconds; writes azimuth A (from the south,
// positive to the west, in (-648000, 648000]) and zenith distance Z, both in
// arcseconds. Both are 0 while the sidereal time is unset.
void radec_to_az(double ra, double dec, double &azimuth, double &zenith_dist);
// The same at a given sidereal time (seconds of time, 0 <= value < 86400).
void radec_to_az_at(double sidereal, double ra, double dec, double &azimuth, double &zenith_dist);

// The part of the transform that depends on the declination alone: worked
// out once per object, it leaves a new sidereal time the hour angle's share.
struct DeclinationTerms {
    double cos_d = 1;
    double sin_d = 0;
};
DeclinationTerms declination_terms(double dec);
// What the transform works out on the way to a horizontal position: the
// azimuth and zenith distance (arcseconds) and the numbers they come from,
// the direction on the horizon (west and south: the zenith distance's sine
// times the azimuth's sine and cosine, to rounding) and the zenith
// distance's cosine.
struct HorizonPlace {
    double azimuth = 0;
    double zenith_dist = 0;
    double west = 0;
    double south = 0;
    double cos_z = 1;
};
// radec_to_az_at with the declination's terms given; the same numbers.
HorizonPlace radec_to_az_with(double sidereal, double ra, const DeclinationTerms &terms);
