#include "fuzz_check.h"
#include "sky/horizon_profile.h"
#include "sky/sky_geometry.h"

#include <QBuffer>
#include <cmath>

// A horizon reply: at most 360 points, every one finite, and wherever a point
// lies it maps to a chart pixel within four chart sides of the centre.
void fuzz(const QByteArray &bytes)
{
    QBuffer reply;
    reply.setData(bytes);
    reply.open(QIODevice::ReadOnly);
    const HorizonReading reading = read_horizon(reply);
    FUZZ_CHECK(reading.points.size() <= max_horizon_points);
    constexpr int side = 550, centre = side / 2;
    for (const HorizonPoint &point : reading.points) {
        FUZZ_CHECK(std::isfinite(point.azimuth) && std::isfinite(point.zenith_dist));
        for (const SkyView view : {SkyView::Sky, SkyView::Ovt}) {
            const QPoint pixel =
                project(point.azimuth * 3600.0, point.zenith_dist * 3600.0, side, view);
            FUZZ_CHECK(std::abs(pixel.x() - centre) <= 4 * side);
            FUZZ_CHECK(std::abs(pixel.y() - centre) <= 4 * side);
        }
    }
}
