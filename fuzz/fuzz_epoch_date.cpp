#include "fuzz_check.h"
#include "objlist/lst_line.h"

#include <QRegularExpression>

// A date epoch becomes a year with two decimals within the date's own year,
// or stays the text it was: never "nan", never a division by a zero-day year.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString date = QString::fromUtf8(fuzz_bytes(data, size));
    const QString epoch = date_to_decimal_year(date);
    if (epoch == date)
        return 0;
    static const QRegularExpression decimal_year(QStringLiteral("^-?[0-9]+\\.[0-9][0-9]$"));
    FUZZ_CHECK(decimal_year.match(epoch).hasMatch());
    const int year = date.section(QLatin1Char('-'), 2, 2).section(QLatin1Char('.'), 0, 0).toInt();
    const double value = epoch.toDouble();
    FUZZ_CHECK(value >= year && value <= year + 1.0);
    return 0;
}
