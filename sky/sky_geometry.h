#pragma once

#include "coords/sky_transform.h"

#include <QLine>
#include <QList>
#include <QPoint>
#include <QString>
#include <QVector>

class Velto_object;

// Geometry of the sky chart: where things go on a square chart of side S
// pixels, its centre at (R, R) with R = S div 2. Nothing here paints; the
// chart widget draws what these functions compute.

// Sky view: north up, east left, zenith distance linear out to the horizon.
// OVT view: south up, east left, radius the sine of the zenith distance.
enum class SkyView { Sky, Ovt };

// Which coordinate grid is drawn.
enum class SkyGrid { HaDec, AltAz };

// Chart pixel of a horizontal position; azimuth and zenith distance in
// arcseconds, azimuth from the south, positive to the west. Offsets from the
// centre are truncated toward zero and kept within four sides of the centre,
// so positions from outside (the TCS) can never overflow a pixel.
QPoint project(double azimuth, double zenith_dist, int side, SkyView view);

// The pixel project() gives for a place from the transform, worked out from
// the place's direction instead of the sine and cosine of its azimuth (and
// of its zenith distance). The two ways can differ in the last bits, so an
// offset within a hair of a pixel's edge is not trusted: then, and for a
// place with no direction (the zenith), this returns false and the caller
// uses project().
bool project_place(const HorizonPlace &place, int side, SkyView view, QPoint &pixel);

// Marker dimensions in pixels, from the chart side.
struct MarkerSizes {
    int arm_end; // outer end of a cross arm, from the centre of the mark
    int circle;  // radius of the telescope circle
    int gap;     // inner end of a cross arm
    int dot;     // radius of an object circle
};
MarkerSizes marker_sizes(int side);

// Width of the red and blue marker pens: 2 on large charts, else 1.
int marker_pen_width(int side);

// Distance between text lines: t(0.028 S).
int line_spacing(int side);

// Start of telescope text line k (1..5): the baseline k*dy and an x just
// right of the horizon circle at that height.
QPoint telescope_text_origin(int side, int line);

// One grid line point: hour angle in hours, declination in degrees, converted
// at the current sidereal time; azimuth and zenith distance in degrees.
struct GridPoint {
    double azimuth;
    double zenith_dist;
    QPoint pixel;
};
GridPoint grid_point(double hour_angle, double declination, int side, SkyView view);

// A run of segments in one pen: the main (black) pen or the accent (grey) one.
struct GridStroke {
    bool accent = false;
    QVector<QLine> segments;
};

// The HA/Dec grid: hour lines (main pen), then the declination circles, the
// equator in the main pen and the others in the accent pen. Consecutive
// segments of the same pen share one stroke.
QVector<GridStroke> hadec_grid(int side, SkyView view);

// The HA/Dec grid of the last request, computed again only when the side,
// the view or the sidereal time has changed since: most paints (a pick, a
// telescope move between state replies) see the same grid.
class HadecGridCache
{
public:
    const QVector<GridStroke> &strokes(int side, SkyView view);

private:
    int grid_side = -1;
    SkyView grid_view = SkyView::Sky;
    double grid_sidereal = 0;
    QVector<GridStroke> grid_strokes;
};

// The A/Z grid: circles of constant zenith distance (radius about the centre)
// and straight azimuth lines, all in the main pen.
struct AltAzGrid {
    QVector<int> circle_radii;
    QVector<QLine> azimuth_lines;
};
AltAzGrid altaz_grid(int side, SkyView view);

// Numbers in the chart's texts: fixed point, three decimals.
QString chart_number(double value);

// Hour angle in hours shown for a list object at this sidereal time:
// in [0, 24), and 0 just below 24 h where the text would read "24.000".
double shown_hour_angle(double sidereal, double ra_sec);

// Azimuth in degrees shown for the telescope: above 180 it is counted back
// from the south through the east (200 shows as -160).
double shown_telescope_azimuth(double azimuth_arcsec);

// Index of the object drawn nearest to the pointer and closer than 10 pixels
// (squared distance at most 99), or -1. Positions are those of the last
// paint; unplaced objects and comments cannot be picked. Among objects at
// the same distance the first in the list wins.
int pick_object(const QList<Velto_object *> &objects, const QPoint &pointer, int chart_width,
                int chart_height);
