#include "sky/sky_geometry.h"

#include "coords/sky_transform.h"
#include "coords/velto_object.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr double arcsec_per_degree = 3600.0;
constexpr double arcsec_per_half_circle = 648000.0;

// Declinations below this never rise at the site: 90 deg less the latitude.
constexpr double southern_limit = -46.345194444444445;

// Truncation toward zero of a pixel offset. A value from outside may be huge
// or not a number: it is kept within four sides of the centre first, so the
// conversion to int is always defined.
int pixel_offset(double offset, int side)
{
    if (std::isnan(offset))
        return 0;
    const double limit = 4.0 * side;
    return static_cast<int>(std::clamp(offset, -limit, limit));
}

struct HadecGridBuilder {
    int side;
    SkyView view;
    QVector<GridStroke> strokes;

    void add(bool accent, const QPoint &from, const QPoint &to)
    {
        if (strokes.isEmpty() || strokes.last().accent != accent)
            strokes.append(GridStroke{accent, {}});
        strokes.last().segments.append(QLine(from, to));
    }

    // An hour line from the pole to the horizon; near the pole only every
    // second hour (above +76 deg) and every sixth (above +81 deg) is drawn.
    void hour_line(int hour)
    {
        double dec = 90.0;
        QPoint previous;
        for (;;) {
            const GridPoint p = grid_point(hour, dec, side, view);
            if (p.zenith_dist > 90.0)
                return;
            if (dec < 76.0 || (dec < 81.0 && hour % 2 == 0) || (dec < 86.0 && hour % 6 == 0))
                add(false, previous, p.pixel);
            previous = p.pixel;
            dec -= p.zenith_dist < 78.0 ? 5.0 : 1.0;
            if (dec <= southern_limit || p.zenith_dist >= 89.0)
                return;
        }
    }

    // Half a declination circle, from the meridian (hour angle 0 or 23.999)
    // to the opposite meridian or the horizon; steps are finer near the
    // horizon.
    void circle_half(double dec, bool accent, bool upward)
    {
        double hour = upward ? 0.0 : 23.999;
        QPoint previous;
        for (;;) {
            const GridPoint p = grid_point(hour, dec, side, view);
            if (p.zenith_dist > 90.0)
                return;
            if (upward ? hour > 0.1 : hour < 23.9)
                add(accent, previous, p.pixel);
            previous = p.pixel;
            const double step = p.zenith_dist < 78.0 ? 0.5 : 0.1;
            hour += upward ? step : -step;
            if ((upward ? hour > 12.1 : hour < 11.9) || p.zenith_dist >= 89.0)
                return;
        }
    }
};

} // namespace

QPoint project(double azimuth, double zenith_dist, int side, SkyView view)
{
    const int r = side / 2;
    const double a = azimuth * velto_pi / arcsec_per_half_circle;
    const double rho = view == SkyView::Sky
                           ? r * zenith_dist / 324000.0
                           : r * std::sin(zenith_dist * velto_pi / arcsec_per_half_circle);
    const double dx = rho * std::sin(a) + 0.5;
    const double dy = view == SkyView::Sky ? rho * std::cos(a) + 0.5 : 0.5 - rho * std::cos(a);
    return {r + pixel_offset(dx, side), r + pixel_offset(dy, side)};
}

bool project_place(const HorizonPlace &place, int side, SkyView view, QPoint &pixel)
{
    const double h = std::sqrt(place.west * place.west + place.south * place.south);
    // The squares lose their precision below this.
    if (!(h > 1e-100))
        return false;
    const int r = side / 2;
    // The sine of acos(c) is the square root of (1 - c)(1 + c), and the
    // sine and cosine of atan2(west, south) are west / h and south / h. Both
    // ways round to within 1e-14 of each other (relative to the radius, in
    // pixels): a thousandfold margin for both is still far below a pixel.
    const double rho = view == SkyView::Sky
                           ? r * place.zenith_dist / 324000.0
                           : r * std::sqrt((1.0 - place.cos_z) * (1.0 + place.cos_z));
    const double dx = rho * (place.west / h) + 0.5;
    const double dy =
        view == SkyView::Sky ? rho * (place.south / h) + 0.5 : 0.5 - rho * (place.south / h);
    const double margin = 1e-11 * std::max(r, 1);
    if (!(std::fabs(dx - std::round(dx)) > margin && std::fabs(dy - std::round(dy)) > margin))
        return false;
    pixel = {r + pixel_offset(dx, side), r + pixel_offset(dy, side)};
    return true;
}

MarkerSizes marker_sizes(int side)
{
    if (side > 650)
        return {14, 15, 4, 5};
    if (side >= 450)
        return {11, 12, 3, 4};
    if (side >= 350)
        return {8, 9, 2, 3};
    return {5, 6, 1, 2};
}

int marker_pen_width(int side)
{
    return side > 449 ? 2 : 1;
}

int line_spacing(int side)
{
    return static_cast<int>(0.028 * side);
}

QPoint telescope_text_origin(int side, int line)
{
    static const int divisors[] = {7, 20, 30, 35, 40};
    const double rf = side / 2.0;
    const int y = line * line_spacing(side);
    const double half_chord = std::sqrt(std::max(0.0, rf * rf - (rf - y) * (rf - y)));
    const int x = side / 2 + static_cast<int>(half_chord) +
                  static_cast<int>(rf / divisors[std::clamp(line, 1, 5) - 1]);
    return {x, y};
}

GridPoint grid_point(double hour_angle, double declination, int side, SkyView view)
{
    double a = 0, z = 0;
    radec_to_az(sidereal_time - 3600.0 * hour_angle, arcsec_per_degree * declination, a, z);
    a /= arcsec_per_degree;
    z /= arcsec_per_degree;
    return {a, z, project(a * arcsec_per_degree, z * arcsec_per_degree, side, view)};
}

QVector<GridStroke> hadec_grid(int side, SkyView view)
{
    HadecGridBuilder grid{side, view, {}};
    for (int hour = 0; hour < 24; ++hour)
        grid.hour_line(hour);
    double dec = 85.0;
    while (dec > southern_limit) {
        const bool accent = std::fabs(dec) >= 0.1; // the equator is black
        grid.circle_half(dec, accent, true);
        grid.circle_half(dec, accent, false);
        dec -= dec > 81.0 ? 5.0 : 10.0;
    }
    return grid.strokes;
}

const QVector<GridStroke> &HadecGridCache::strokes(int side, SkyView view)
{
    if (side != grid_side || view != grid_view || sidereal_time != grid_sidereal) {
        grid_strokes = hadec_grid(side, view);
        grid_side = side;
        grid_view = view;
        grid_sidereal = sidereal_time;
    }
    return grid_strokes;
}

AltAzGrid altaz_grid(int side, SkyView view)
{
    AltAzGrid grid;
    const int r = side / 2;
    for (int z : {5, 10, 20, 30, 40, 50, 60, 70, 80})
        grid.circle_radii.append(
            project(90.0 * arcsec_per_degree, z * arcsec_per_degree, side, view).x() - r);
    for (int a = 0; a < 360; a += 10) {
        const int z_in = a % 90 == 0 ? 5 : (a % 30 == 0 ? 10 : 20);
        grid.azimuth_lines.append(
            QLine(project(a * arcsec_per_degree, z_in * arcsec_per_degree, side, view),
                  project(a * arcsec_per_degree, 90.0 * arcsec_per_degree, side, view)));
    }
    return grid;
}

QString chart_number(double value)
{
    return QStringLiteral("%1").arg(value, 0, 'f', 3, QLatin1Char(' '));
}

double shown_hour_angle(double sidereal, double ra_sec)
{
    double hours = (sidereal - ra_sec) / 3600.0;
    if (hours < 0)
        hours += 24.0;
    return hours > 23.999 ? 0.0 : hours;
}

double shown_telescope_azimuth(double azimuth_arcsec)
{
    const double degrees = azimuth_arcsec / arcsec_per_degree;
    return degrees > 180.0 ? degrees - 360.0 : degrees;
}

int pick_object(const QList<Velto_object *> &objects, const QPoint &pointer, int chart_width,
                int chart_height)
{
    constexpr qint64 max_squared_distance = 99;
    qint64 best = qint64(chart_width) * chart_width + qint64(chart_height) * chart_height;
    int candidate = -1;
    for (int i = 0; i < objects.size(); ++i) {
        const Velto_object &object = *objects.at(i);
        if (object.is_comment || object.sky_x <= 0 || object.sky_y <= 0)
            continue;
        const qint64 dx = object.sky_x - pointer.x();
        const qint64 dy = object.sky_y - pointer.y();
        const qint64 d2 = dx * dx + dy * dy;
        if (d2 < best && d2 <= max_squared_distance) {
            candidate = i;
            best = d2;
        }
    }
    return candidate;
}
