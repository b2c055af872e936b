#include "coords/observing_times.h"

#include "coords/sky_transform.h"
#include "coords/vector_state.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr double day = 86400.0;
// The crossing search looks at the object this often. The horizon profile of a TCS has
// points a degree apart: in six minutes an object moves 1.5 degrees of hour
// angle, so no dent of the profile wider than that is missed.
constexpr double search_step = 360.0;

double arcsec_to_rad(double arcsec)
{
    return std::fmod(arcsec, 1296000.0) * velto_pi / 648000.0;
}

} // namespace

HorizonLimit::HorizonLimit(QVector<QPointF> points) : sorted_points(std::move(points))
{
    if (sorted_points.isEmpty())
        return;
    std::stable_sort(sorted_points.begin(), sorted_points.end(),
                     [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
    min_zenith_dist = max_zenith_dist = sorted_points.first().y();
    for (const QPointF &p : sorted_points) {
        min_zenith_dist = std::min(min_zenith_dist, p.y());
        max_zenith_dist = std::max(max_zenith_dist, p.y());
    }
    int i = 0;
    for (int d = 0; d <= 360; ++d) {
        while (i < sorted_points.size() && sorted_points[i].x() <= d)
            ++i;
        first_after[d] = i;
    }
}

double HorizonLimit::zenith_dist_at(double azimuth) const
{
    if (sorted_points.isEmpty())
        return 90.0;
    azimuth = std::fmod(azimuth, 360.0);
    if (azimuth < 0)
        azimuth += 360.0;
    const int n = int(sorted_points.size());
    int i = first_after[static_cast<int>(azimuth)];
    while (i < n && sorted_points[i].x() <= azimuth)
        ++i;
    // The neighbours of the azimuth, the one across 360 to 0 shifted a turn.
    const QPointF &a = sorted_points[i == 0 ? n - 1 : i - 1];
    const QPointF &b = sorted_points[i == n ? 0 : i];
    const double a_az = i == 0 ? a.x() - 360.0 : a.x();
    const double b_az = i == n ? b.x() + 360.0 : b.x();
    if (b_az <= a_az)
        return a.y();
    return a.y() + (b.y() - a.y()) * (azimuth - a_az) / (b_az - a_az);
}

bool HorizonLimit::is_up(double azimuth, double zenith_dist) const
{
    return zenith_dist < zenith_dist_at(azimuth / 3600.0) * 3600.0;
}

double sidereal_after(double sidereal, double solar_seconds)
{
    const double t = std::fmod(sidereal + solar_seconds * sidereal_per_solar, day);
    return t < 0 ? t + day : t;
}

double hour_angle_at(double sidereal, double ra)
{
    double t = std::fmod(sidereal - ra, day);
    if (t < 0)
        t += day;
    return t >= day / 2 ? t - day : t;
}

// Kasten, F. and Young, A. T. (1989), "Revised optical air mass tables and
// approximation formula", Applied Optics 28, 4735: it holds down to the
// horizon, where it gives about 37.9.
double airmass(double altitude)
{
    const double z = 90.0 - altitude;
    return 1.0 / (std::cos(z * velto_pi / 180.0) + 0.50572 * std::pow(96.07995 - z, -1.6364));
}

double seconds_to_transit(double sidereal, double ra)
{
    double t = std::fmod(ra - sidereal, day);
    if (t < 0)
        t += day;
    return t / sidereal_per_solar;
}

double seconds_to_crossing(double sidereal, double ra, double dec, const HorizonLimit &horizon)
{
    clear_vector_upper_state();
    const double d = arcsec_to_rad(dec);
    const double sin_d = std::sin(d);
    const double cos_d = std::cos(d);
    // Zenith distances at the upper and the lower culmination, degrees.
    const double top =
        std::acos(std::clamp(site_cos_lat * cos_d + site_sin_lat * sin_d, -1.0, 1.0)) * 180.0 /
        velto_pi;
    const double bottom =
        std::acos(std::clamp(-site_cos_lat * cos_d + site_sin_lat * sin_d, -1.0, 1.0)) * 180.0 /
        velto_pi;
    if (top >= horizon.highest_zenith_dist() || bottom < horizon.lowest_zenith_dist())
        return -1;
    const double t0 = hour_angle_at(sidereal, ra) * 15.0 * velto_pi / 648000.0;
    const double rate = sidereal_per_solar * 15.0 * velto_pi / 648000.0;
    // Above the horizon's highest point the object is up and below its lowest
    // one down, wherever it stands in azimuth.
    const double cos_lowest = std::cos(horizon.lowest_zenith_dist() * velto_pi / 180.0);
    const double cos_highest = std::cos(horizon.highest_zenith_dist() * velto_pi / 180.0);
    // The same formulas as the chart's transform, with the declination's
    // sine and cosine worked out once.
    const auto up_after = [&](double seconds) {
        const double t = t0 + seconds * rate;
        const double cos_t = std::cos(t);
        const double cos_z = cos_t * (site_cos_lat * cos_d) + site_sin_lat * sin_d;
        if (cos_z > cos_lowest)
            return true;
        if (cos_z <= cos_highest)
            return false;
        const double sin_t = std::sin(t);
        const double z = std::acos(std::clamp(cos_z, -1.0, 1.0)) * 180.0 / velto_pi;
        const double a =
            std::atan2(sin_t * cos_d, site_sin_lat * cos_d * cos_t - site_cos_lat * sin_d) * 180.0 /
            velto_pi;
        return z < horizon.zenith_dist_at(a);
    };
    return first_change(up_after, search_step);
}

double first_change(const std::function<bool(double)> &state, double step)
{
    const bool first = state(0);
    const auto steps = static_cast<int>(std::ceil(day / step));
    for (int i = 0; i < steps; ++i) {
        double from = i * step;
        double until = std::min(from + step, day);
        if (state(until) == first)
            continue;
        while (until - from > 0.5) {
            const double mid = (from + until) / 2;
            (state(mid) == first ? from : until) = mid;
        }
        return until;
    }
    return -1;
}
