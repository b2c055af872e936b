#pragma once

#include "sky/sky_geometry.h"

#include <QList>
#include <QVector>

class Velto_object;

// Places the list's objects on the chart: each object's azimuth and zenith
// distance at the current sidereal time, and its chart pixel, or (-1, -1) for
// a comment and for an object 86 degrees or more from the zenith.
//
// The result for an object depends only on its coordinates, the sidereal
// time, the chart side and the view, so it is remembered per row and only
// computed again when one of them has changed: most paints (a pick, a move
// of the telescope between state replies) then copy what they had. What
// depends on the declination alone is kept while the sidereal time moves on.
class ObjectPlacement
{
public:
    void place(const QList<Velto_object *> &objects, int side, SkyView view);
    // Every object's pixel from the last place(), in list order, side by side
    // in memory: what painting them reads.
    const QVector<QPoint> &pixels() const { return placed_pixels; }

private:
    struct Row {
        const Velto_object *object = nullptr;
        double ra_sec = 0;
        double dec_sec = 0;
        DeclinationTerms terms;
        bool placed = false; // at this sidereal time, side and view
        double azimuth = 0;
        double zenith_dist = 0;
        int x = -1;
        int y = -1;
    };

    static void compute(Row &row, int side, SkyView view);

    QVector<Row> rows;
    QVector<QPoint> placed_pixels;
    double placed_sidereal = -1;
    int placed_side = -1;
    SkyView placed_view = SkyView::Sky;
};
