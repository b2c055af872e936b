#include "coords/coord_text.h"
#include "coords/sky_transform.h"
#include "fuzz_check.h"

#include <cmath>
#include <cstring>

// Coordinate texts read as finite numbers, and the transforms keep their ranges: an azimuth in
// (-180, 180] degrees, a zenith distance in [0, 180]. Written and read again, a coordinate comes
// back to within the last printed digit (seconds are capped below 60, so 59.999 s reads 59.99 s);
// whatever the value (huge, infinite, nan), the text has at most 19 characters. The first bytes are
// also a number (and sidereal time), an instant and an offset.
void fuzz(const QByteArray &bytes)
{
    struct {
        double value;
        qint64 msecs;
        int offset;
    } head{};
    std::memcpy(&head, bytes.constData(), qMin(size_t(bytes.size()), sizeof head));
    const QString text = QString::fromUtf8(bytes);
    const double ra = ra_to_sec(text), dec = dec_to_sec(text);
    FUZZ_CHECK(std::isfinite(ra) && std::isfinite(dec));
    for (const double value : {head.value, ra, dec}) {
        FUZZ_CHECK(sec_to_ra(value).size() <= 19 && sec_to_dec(value).size() <= 19);
        if (value >= 0 && value < 86400.0)
            FUZZ_CHECK(std::fabs(ra_to_sec(sec_to_ra(value)) - value) <= 0.0101);
        if (std::fabs(value) < 360.0 * 3600.0)
            FUZZ_CHECK(std::fabs(dec_to_sec(sec_to_dec(value)) - value) <= 0.101);
    }
    if (head.value >= 0 && head.value < 86400.0) {
        sidereal_time = head.value;
        double azimuth = 0, zenith_dist = 0;
        radec_to_az(ra, dec, azimuth, zenith_dist);
        FUZZ_CHECK(azimuth > -648000.0 && azimuth <= 648000.0);
        FUZZ_CHECK(zenith_dist >= 0 && zenith_dist <= 648000.0);
    }
    // The sidereal time of an instant does not depend on its time zone.
    if (head.msecs < 0 || head.msecs > Q_INT64_C(315576000000000)) // ten thousand years
        return;
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(head.msecs, Qt::UTC);
    const double at_utc = sidereal_time_at(utc);
    FUZZ_CHECK(sidereal_time_at(utc.toOffsetFromUtc(head.offset % (14 * 3600))) == at_utc);
    FUZZ_CHECK(at_utc < 86400.0 && (at_utc >= 0 || head.msecs < Q_INT64_C(1735678800000)));
}
