// libFuzzer target for the .lst line parser (configure with clang and
// -DVELTO_FUZZ=ON, then run: fuzz_lst_line -max_total_time=60). Any line
// must parse without a crash and keep the parser's promises.

#include "objlist/lst_line.h"

#include <cstdint>
#include <cstdlib>

namespace
{

bool has_white_space(const QString &text)
{
    for (const QChar c : text) {
        if (c.isSpace())
            return true;
    }
    return false;
}

// A decimal year is made of digits and one '.'; "nan" and "inf" never are.
bool invented_non_number(const QString &epoch, const QString &line)
{
    for (const char *word : {"nan", "inf"}) {
        if (epoch.contains(QLatin1String(word)) && !line.contains(QLatin1String(word)))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const Lst_line parsed = parse_lst_line(line);
    if (invented_non_number(date_to_decimal_year(line), line))
        std::abort();
    if (!parsed.is_object) {
        if (!parsed.name.isEmpty() || !parsed.ra.isEmpty() || !parsed.epoch.isEmpty())
            std::abort();
        return 0;
    }
    if (has_white_space(parsed.ra) || has_white_space(parsed.dec))
        std::abort();
    if (parsed.name != parsed.name.simplified() || parsed.epoch != parsed.epoch.simplified())
        std::abort();
    if (invented_non_number(parsed.epoch, line))
        std::abort();
    return 0;
}
