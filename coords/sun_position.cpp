#include "coords/sun_position.h"

#include "coords/observing_times.h"
#include "coords/sky_transform.h"
#include "coords/vector_state.h"

#include <cmath>

namespace
{

constexpr double degree = velto_pi / 180.0;
// The Sun's altitude changes by at most 2.5 degrees in ten minutes.
constexpr double search_step = 600.0;

} // namespace

// The low-precision formulas for the Sun of The Astronomical Almanac
// (section C, "Low precision formulas for the Sun"): 0.01 degree between
// 1950 and 2050, far below what the time of darkness needs.
SunPlace sun_place(const QDateTime &instant)
{
    // Days from J2000.0 (2000 January 1, 12 h UT).
    const double n = static_cast<double>(instant.toMSecsSinceEpoch()) / 86400000.0 - 10957.5;
    const double mean_longitude = 280.460 + 0.9856474 * n;
    const double g = (357.528 + 0.9856003 * n) * degree;
    const double lambda = (mean_longitude + 1.915 * std::sin(g) + 0.020 * std::sin(2 * g)) * degree;
    const double epsilon = (23.439 - 0.0000004 * n) * degree;
    double ra = std::atan2(std::cos(epsilon) * std::sin(lambda), std::cos(lambda));
    if (ra < 0)
        ra += 2 * velto_pi;
    SunPlace place;
    place.ra = ra * 43200.0 / velto_pi;
    place.dec = std::asin(std::sin(epsilon) * std::sin(lambda)) * 648000.0 / velto_pi;
    return place;
}

double sun_altitude(const QDateTime &instant, double sidereal)
{
    const SunPlace sun = sun_place(instant);
    double azimuth = 0;
    double zenith_dist = 0;
    radec_to_az_at(sidereal, sun.ra, sun.dec, azimuth, zenith_dist);
    return 90.0 - zenith_dist / 3600.0;
}

double seconds_to_sun_altitude(const QDateTime &instant, double sidereal, double altitude)
{
    clear_vector_upper_state();
    const auto above_after = [&](double seconds) {
        const QDateTime then = instant.addMSecs(static_cast<qint64>(seconds * 1000.0));
        return sun_altitude(then, sidereal_after(sidereal, seconds)) > altitude;
    };
    return first_change(above_after, search_step);
}
