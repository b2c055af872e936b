#include "coords/coord_text.h"
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

} // namespace

// Coordinate texts: whatever a field holds reads as a finite number, and
// whatever number is written (huge, infinite, nan) gives at most 19
// characters. The first eight bytes are a number to write, the rest a text
// to read.
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
    return 0;
}
