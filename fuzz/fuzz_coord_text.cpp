#include "coords/coord_text.h"
#include "coords/sky_transform.h"
#include "fuzz_check.h"

#include <cmath>
#include <cstring>

namespace
{

// A coordinate written and read again comes back to within the last printed
// digit (seconds are capped below 60, so 59.999 s reads 59.99 s).
void check_round_trip(double value)
{
    if (value >= 0 && value < 86400.0)
        FUZZ_CHECK(std::fabs(ra_to_sec(sec_to_ra(value)) - value) <= 0.0101);
    if (std::fabs(value) < 360.0 * 3600.0)
        FUZZ_CHECK(std::fabs(dec_to_sec(sec_to_dec(value)) - value) <= 0.101);
}

// Any object at any sidereal time has an azimuth in (-180, 180] degrees
// (the pole's -180 counts as +180) and a zenith distance in [0, 180] degrees.
void check_horizontal(double ra, double dec, double stime)
{
    if (!std::isfinite(stime) || stime < 0 || stime >= 86400.0)
        return;
    sidereal_time = stime;
    double azimuth = 0;
    double zenith_dist = 0;
    radec_to_az(ra, dec, azimuth, zenith_dist);
    FUZZ_CHECK(azimuth > -648000.0 && azimuth <= 648000.0);
    FUZZ_CHECK(zenith_dist >= 0 && zenith_dist <= 648000.0);
}

// The sidereal time of an instant does not depend on the time zone it is
// given in, and stays within a day.
void check_sidereal_time(qint64 msecs, int offset_seconds)
{
    const qint64 ten_thousand_years = Q_INT64_C(315576000000000);
    if (msecs < 0 || msecs > ten_thousand_years)
        return;
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
    const QDateTime zoned =
        QDateTime::fromMSecsSinceEpoch(msecs, Qt::OffsetFromUTC, offset_seconds % (14 * 3600));
    const double at_utc = sidereal_time_at(utc);
    FUZZ_CHECK(sidereal_time_at(zoned) == at_utc);
    FUZZ_CHECK(at_utc < 86400.0 && (at_utc >= 0 || utc.toSecsSinceEpoch() < 1735678800));
}

} // namespace

// Coordinate texts: whatever a field holds reads as a finite number, and
// whatever number is written (huge, infinite, nan) gives at most 19
// characters; the transforms keep their ranges. The first eight bytes are a
// number to write (and a sidereal time), the next twelve an instant and a
// time zone offset; all the bytes are also a text to read.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    double value = 0;
    if (size >= sizeof value) {
        std::memcpy(&value, data, sizeof value);
        FUZZ_CHECK(sec_to_ra(value).size() <= 19);
        FUZZ_CHECK(sec_to_dec(value).size() <= 19);
        check_round_trip(value);
    }
    const QString text = QString::fromUtf8(fuzz_bytes(data, size));
    const double ra = ra_to_sec(text);
    const double dec = dec_to_sec(text);
    FUZZ_CHECK(std::isfinite(ra) && std::isfinite(dec));
    FUZZ_CHECK(sec_to_ra(ra).size() <= 19 && sec_to_dec(dec).size() <= 19);
    check_round_trip(ra);
    check_round_trip(dec);
    check_horizontal(ra, dec, value);
    if (size >= sizeof value + sizeof(qint64) + sizeof(int)) {
        qint64 msecs = 0;
        int offset = 0;
        std::memcpy(&msecs, data + sizeof value, sizeof msecs);
        std::memcpy(&offset, data + sizeof value + sizeof msecs, sizeof offset);
        check_sidereal_time(msecs, offset);
    }
    return 0;
}
