#pragma once

#include <QPointF>
#include <QVector>
#include <array>
#include <functional>

// When an object of the list can be observed: its hour angle, its height,
// the air it is seen through, its next transit and the next time it crosses
// the local horizon. Everything uses the site and the transform of the sky
// chart (no refraction, precession or nutation), so a table built from these
// numbers agrees with the chart.

// The local horizon as a limit of zenith distance at each azimuth. Between
// two neighbouring points (in azimuth, across 360 to 0 as well) the limit
// runs linearly; with no points it is the mathematical horizon.
class HorizonLimit
{
public:
    HorizonLimit() = default;
    // Points as the chart stores them: x the azimuth in degrees from the
    // south toward the west (0..360), y the zenith distance in degrees.
    explicit HorizonLimit(QVector<QPointF> points);

    bool is_flat() const { return sorted_points.isEmpty(); }
    // Zenith distance of the horizon in degrees at an azimuth in degrees.
    double zenith_dist_at(double azimuth) const;
    // Strictly above the horizon; azimuth and zenith distance in arcseconds.
    bool is_up(double azimuth, double zenith_dist) const;
    // The least and the greatest zenith distance of the horizon, degrees.
    double lowest_zenith_dist() const { return min_zenith_dist; }
    double highest_zenith_dist() const { return max_zenith_dist; }

private:
    QVector<QPointF> sorted_points; // sorted by azimuth
    // first_after[d]: the first point whose azimuth is above d degrees.
    std::array<int, 361> first_after{};
    double min_zenith_dist = 90;
    double max_zenith_dist = 90;
};

// The sidereal time (seconds of time) a number of solar seconds after a
// given sidereal time, carried on at the sidereal rate; 0 <= value < 86400.
double sidereal_after(double sidereal, double solar_seconds);

// Hour angle in seconds of time, -43200 <= value < 43200: negative east of
// the meridian, positive west of it.
double hour_angle_at(double sidereal, double ra);

// Relative air mass at an altitude in degrees, from 1 at the zenith to about
// 38 on the horizon; meaningless below the horizon.
double airmass(double altitude);

// Solar seconds from the given sidereal time to the object's next upper
// culmination, 0 <= value < one sidereal day.
double seconds_to_transit(double sidereal, double ra);

// Solar seconds from the given sidereal time until the object next crosses
// the horizon (rises when it is down, sets when it is up), or a negative
// value when that does not happen within 24 hours.
double seconds_to_crossing(double sidereal, double ra, double dec, const HorizonLimit &horizon);

// The first moment, in solar seconds within the next 24 hours, at which
// state(seconds) differs from state(0): looked at every `step` seconds, then
// narrowed down to half a second. Negative when it never differs.
double first_change(const std::function<bool(double)> &state, double step);
