#include "sky/object_placement.h"

#include "coords/vector_state.h"
#include "coords/velto_object.h"

namespace
{

// Objects this far from the zenith or farther are not drawn: 86 degrees.
constexpr double lowest_object_zenith = 309600.0;

} // namespace

void ObjectPlacement::compute(Row &row, int side, SkyView view)
{
    const HorizonPlace place = radec_to_az_with(sidereal_time, row.ra_sec, row.terms);
    row.azimuth = place.azimuth;
    row.zenith_dist = place.zenith_dist;
    if (row.zenith_dist >= lowest_object_zenith) {
        row.x = row.y = -1;
        return;
    }
    QPoint at;
    if (!project_place(place, side, view, at))
        at = project(row.azimuth, row.zenith_dist, side, view);
    row.x = at.x();
    row.y = at.y();
}

void ObjectPlacement::place(const QList<Velto_object *> &objects, int side, SkyView view)
{
    if (sidereal_time != placed_sidereal || side != placed_side || view != placed_view) {
        for (Row &row : rows)
            row.placed = false;
        placed_sidereal = sidereal_time;
        placed_side = side;
        placed_view = view;
    }
    rows.resize(objects.size());
    placed_pixels.resize(objects.size());
    clear_vector_upper_state();
    for (int i = 0; i < objects.size(); ++i) {
        Velto_object &object = *objects.at(i);
        if (object.is_comment) {
            object.sky_x = object.sky_y = -1;
            placed_pixels[i] = {-1, -1};
            continue;
        }
        Row &row = rows[i];
        if (row.object != &object || row.ra_sec != object.ra_sec || row.dec_sec != object.dec_sec) {
            row = {&object, object.ra_sec, object.dec_sec, declination_terms(object.dec_sec)};
            row.placed = false;
        }
        if (!row.placed) {
            compute(row, side, view);
            row.placed = true;
        }
        object.azimuth = row.azimuth;
        object.zenith_dist = row.zenith_dist;
        object.sky_x = row.x;
        object.sky_y = row.y;
        placed_pixels[i] = {row.x, row.y};
    }
}
