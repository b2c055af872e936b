#include "fuzz_check.h"
#include "objlist/lst_line.h"

#include <algorithm>

// A .lst line: an object's coordinates hold no white space, its name and
// epoch are simplified, its epoch is never "nan" or "inf" the line did not
// hold, and the row the program writes for the object reads back as the
// same object.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(fuzz_bytes(data, size));
    const Lst_line line = parse_lst_line(text);
    const QString whole_line_date = date_to_decimal_year(text);
    FUZZ_CHECK(whole_line_date == text || !whole_line_date.contains(QLatin1String("nan")));
    if (!line.is_object) {
        FUZZ_CHECK(line.ra.isEmpty() && line.dec.isEmpty() && line.name.isEmpty() &&
                   line.epoch.isEmpty());
        return 0;
    }
    FUZZ_CHECK(!line.ra.isEmpty()); // the line began with digits; the Dec may be empty
    // White space as simplified() knows it, which the reader turns into colons.
    const auto has_space = [](const QString &s) {
        return std::any_of(s.begin(), s.end(), [](QChar c) { return c.isSpace(); });
    };
    FUZZ_CHECK(!has_space(line.ra) && !has_space(line.dec));
    FUZZ_CHECK(line.name == line.name.simplified() && line.epoch == line.epoch.simplified());
    FUZZ_CHECK(!line.epoch.contains(QLatin1String("nan")) || text.contains(QLatin1String("nan")));
    FUZZ_CHECK(!line.epoch.contains(QLatin1String("inf")) || text.contains(QLatin1String("inf")));

    const Lst_line again =
        parse_lst_line(object_line_text(line.name, line.ra, line.dec, line.epoch));
    FUZZ_CHECK(again.is_object && again.ra == line.ra && again.dec == line.dec &&
               again.epoch == line.epoch && again.name == line.name);
    return 0;
}
