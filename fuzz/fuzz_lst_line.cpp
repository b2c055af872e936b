#include "fuzz_check.h"
#include "objlist/lst_line.h"

// A .lst line: an object's coordinates hold no white space, its name and epoch are simplified, its
// epoch is never "nan" or "inf" the line did not hold, and the row the program writes for the
// object reads back as the same object.
void fuzz(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    const Lst_line line = parse_lst_line(text);
    if (!line.is_object) {
        FUZZ_CHECK(line.ra.isEmpty() && line.dec.isEmpty() && line.name.isEmpty() &&
                   line.epoch.isEmpty());
        return;
    }
    // The reader turns white space into colons; the line began with digits, so
    // there is a right ascension (the Dec may be empty).
    const auto spaceless = [](const QString &s) { return s == s.simplified() && !s.contains(' '); };
    FUZZ_CHECK(!line.ra.isEmpty() && spaceless(line.ra) && spaceless(line.dec));
    FUZZ_CHECK(line.name == line.name.simplified() && line.epoch == line.epoch.simplified());
    for (const char *word : {"nan", "inf"})
        FUZZ_CHECK(!line.epoch.contains(QLatin1String(word)) || text.contains(QLatin1String(word)));
    const Lst_line again =
        parse_lst_line(object_line_text(line.name, line.ra, line.dec, line.epoch));
    FUZZ_CHECK(again.is_object && again.ra == line.ra && again.dec == line.dec &&
               again.epoch == line.epoch && again.name == line.name);
}
