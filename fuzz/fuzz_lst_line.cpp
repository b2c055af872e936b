#include "fuzz_check.h"
#include "objlist/lst_line.h"

#include <QRegularExpression>

// A .lst line: an object's coordinates hold no blanks, its epoch is never
// "nan" or "inf", and the row the program writes for the object reads back
// as the same object.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(fuzz_bytes(data, size));
    const Lst_line line = parse_lst_line(text);
    if (!line.is_object) {
        FUZZ_CHECK(line.ra.isEmpty() && line.dec.isEmpty() && line.name.isEmpty());
        return 0;
    }
    FUZZ_CHECK(!line.ra.isEmpty()); // the line began with digits; the Dec may be empty
    FUZZ_CHECK(!line.ra.contains(QLatin1Char(' ')) && !line.dec.contains(QLatin1Char(' ')));
    FUZZ_CHECK(!line.epoch.contains(QLatin1String("nan")) || text.contains(QLatin1String("nan")));
    FUZZ_CHECK(!line.epoch.contains(QLatin1String("inf")) || text.contains(QLatin1String("inf")));

    const Lst_line again =
        parse_lst_line(object_line_text(line.name, line.ra, line.dec, line.epoch));
    FUZZ_CHECK(again.is_object);
    FUZZ_CHECK(again.ra == line.ra);
    FUZZ_CHECK(again.dec == line.dec);
    FUZZ_CHECK(again.epoch == line.epoch);
    FUZZ_CHECK(again.name == line.name);
    return 0;
}
