#include "coords/sky_transform.h"

#include <QTimeZone>
#include <algorithm>
#include <cmath>

double sidereal_time = -1;

namespace
{

// 1 January 2025 00:00 at the site (UTC+3), whatever the computer's time zone.
const QDateTime &reference_instant()
{
    static const QDateTime instant(QDate(2024, 12, 31), QTime(21, 0), QTimeZone::utc());
    return instant;
}

constexpr qint64 sidereal_at_reference = 23332; // 6 h 28 min 52 s
constexpr double radians_per_arcsec = 4.84813681109536e-6;

} // namespace

double sidereal_time_at(const QDateTime &instant)
{
    const qint64 ms = reference_instant().msecsTo(instant);
    const qint64 s = ms / 1000;
    const qint64 t = static_cast<qint64>(static_cast<double>(s) * sidereal_per_solar);
    return static_cast<double>((t + sidereal_at_reference) % 86400);
}

void calc_sidereal_time()
{
    sidereal_time = sidereal_time_at(QDateTime::currentDateTimeUtc());
}

void radec_to_az(double ra, double dec, double &azimuth, double &zenith_dist)
{
    if (sidereal_time < 0) {
        azimuth = 0;
        zenith_dist = 0;
        return;
    }
    radec_to_az_at(sidereal_time, ra, dec, azimuth, zenith_dist);
}

void radec_to_az_at(double sidereal, double ra, double dec, double &azimuth, double &zenith_dist)
{
    const HorizonPlace place = radec_to_az_with(sidereal, ra, declination_terms(dec));
    azimuth = place.azimuth;
    zenith_dist = place.zenith_dist;
}

DeclinationTerms declination_terms(double dec)
{
    // A full circle off a huge declination from a list file first.
    const double d = std::fmod(dec, 1296000.0) * velto_pi / 648000.0;
    return {std::cos(d), std::sin(d)};
}

HorizonPlace radec_to_az_with(double sidereal, double ra, const DeclinationTerms &terms)
{
    // The hour angle within a day first: 15 times a huge right ascension
    // from a list file would overflow to infinity (and every result to nan).
    // Within a day already, fmod would return the difference unchanged.
    double hour_angle = sidereal - ra;
    if (!(std::fabs(hour_angle) < 86400.0))
        hour_angle = std::fmod(hour_angle, 86400.0);
    if (hour_angle < 0)
        hour_angle += 86400.0;
    const double t = 15.0 * hour_angle * radians_per_arcsec;
    const double cos_d = terms.cos_d;
    const double sin_d = terms.sin_d;
    const double cos_t = std::cos(t);
    HorizonPlace place;
    // Rounding may take the cosine a hair past 1, where acos gives nan.
    place.cos_z = std::clamp(cos_t * (site_cos_lat * cos_d) + site_sin_lat * sin_d, -1.0, 1.0);
    place.west = std::sin(t) * cos_d;
    place.south = site_sin_lat * cos_d * cos_t - site_cos_lat * sin_d;
    place.zenith_dist = std::acos(place.cos_z) * 648000.0 / velto_pi;
    place.azimuth = std::atan2(place.west, place.south) * 648000.0 / velto_pi;
    // At the pole atan2 rounds to -pi for hour angles of 12 to 24 h: due north
    // is +648000 in this program's range.
    if (place.azimuth <= -648000.0)
        place.azimuth = 648000.0;
    return place;
}
