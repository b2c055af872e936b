#include "sky/sky_pick.h"

#include "coords/velto_object.h"

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
