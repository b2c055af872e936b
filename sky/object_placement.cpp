#include "sky/object_placement.h"

#include "coords/sky_transform.h"
#include "coords/vector_state.h"
#include "coords/velto_object.h"

namespace
{

// Objects this far from the zenith or farther are not drawn: 86 degrees.
constexpr double lowest_object_zenith = 309600.0;

} // namespace

void ObjectPlacement::compute(Velto_object &object, int side, SkyView view)
{
    radec_to_az(object.ra_sec, object.dec_sec, object.azimuth, object.zenith_dist);
    if (object.zenith_dist >= lowest_object_zenith) {
        object.sky_x = object.sky_y = -1;
        return;
    }
    const QPoint at = project(object.azimuth, object.zenith_dist, side, view);
    object.sky_x = at.x();
    object.sky_y = at.y();
}

void ObjectPlacement::place(const QList<Velto_object *> &objects, int side, SkyView view)
{
    if (sidereal_time != sidereal_ || side != side_ || view != view_) {
        rows_.clear();
        sidereal_ = sidereal_time;
        side_ = side;
        view_ = view;
    }
    rows_.resize(objects.size());
    clear_vector_upper_state();
    for (int i = 0; i < objects.size(); ++i) {
        Velto_object &object = *objects.at(i);
        if (object.is_comment) {
            object.sky_x = object.sky_y = -1;
            continue;
        }
        Row &row = rows_[i];
        if (row.object == &object && row.ra_sec == object.ra_sec && row.dec_sec == object.dec_sec) {
            object.azimuth = row.azimuth;
            object.zenith_dist = row.zenith_dist;
            object.sky_x = row.x;
            object.sky_y = row.y;
            continue;
        }
        compute(object, side, view);
        row = {&object,      object.ra_sec, object.dec_sec, object.azimuth, object.zenith_dist,
               object.sky_x, object.sky_y};
    }
}
