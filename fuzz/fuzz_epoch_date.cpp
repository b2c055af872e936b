#include "fuzz_check.h"
#include "objlist/lst_line.h"

#include <QRegularExpression>

// A date epoch becomes a year with two decimals within the date's own year,
// or stays the text it was: never "nan", never a division by a zero-day year.
void fuzz(const QByteArray &bytes)
{
    const QString date = QString::fromUtf8(bytes);
    const QString epoch = date_to_decimal_year(date);
    if (epoch == date)
        return;
    static const QRegularExpression decimal_year(QStringLiteral("^-?[0-9]+\\.[0-9][0-9]$"));
    FUZZ_CHECK(decimal_year.match(epoch).hasMatch());
    const int year = date.section(QLatin1Char('-'), 2, 2).section(QLatin1Char('.'), 0, 0).toInt();
    FUZZ_CHECK(epoch.toDouble() >= year && epoch.toDouble() <= year + 1.0);
}
