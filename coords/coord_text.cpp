#include "coords/coord_text.h"

#include "coords/number_text.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{

// Formatted coordinates never exceed this many characters.
constexpr int max_coord_chars = 19;
// Room for any double in "%f" (at most 317 characters), so snprintf never cuts.
constexpr size_t format_room = 512;

// Values far outside a day or a circle still format to a bounded text: an
// integer part that does not fit the printed field is shown as 0.
int whole_part(double value)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1e9)
        return 0;
    return static_cast<int>(value);
}

// Pieces of a colon-separated coordinate: 3600, 60 and 1 times the first three.
double weighted_pieces(const QStringList &pieces, double first)
{
    double value = 3600.0 * first;
    if (pieces.size() > 1)
        value += 60.0 * read_number(pieces.at(1));
    if (pieces.size() > 2)
        value += read_number(pieces.at(2));
    // Finite pieces can still add up past the largest double: that is no number.
    return std::isfinite(value) ? value : 0.0;
}

// The written form is bounded, and a runtime C locale with a decimal comma
// does not change it.
QString with_decimal_point(const char *text)
{
    QString result = QString::fromLatin1(text).left(max_coord_chars);
    const qsizetype comma = result.indexOf(QLatin1Char(','));
    if (comma >= 0)
        result[comma] = QLatin1Char('.');
    return result;
}

} // namespace

double ra_to_sec(const QString &text)
{
    const QStringList pieces = text.split(QLatin1Char(':'));
    return weighted_pieces(pieces, read_number(pieces.at(0)));
}

double dec_to_sec(const QString &text)
{
    const QStringList pieces = text.split(QLatin1Char(':'));
    const bool negative = text.simplified().startsWith(QLatin1Char('-'));
    double degrees = read_number(pieces.at(0));
    if (negative)
        degrees = -degrees;
    const double value = weighted_pieces(pieces, degrees);
    return negative ? -value : value;
}

namespace
{

// Whole units (hours or degrees), minutes and seconds of a value in seconds;
// the seconds are capped so that they never print as 60.
struct Sexagesimal {
    double whole;
    double minutes;
    double seconds;
};

Sexagesimal split_sexagesimal(double value, double seconds_cap)
{
    const double whole = std::trunc(value / 3600.0);
    const double rest = value - 3600.0 * whole;
    const double minutes = std::trunc(rest / 60.0);
    return {whole, minutes, std::min(rest - 60.0 * minutes, seconds_cap)};
}

} // namespace

QString sec_to_ra(double seconds)
{
    if (seconds < 0)
        seconds += 86400.0;
    const Sexagesimal ra = split_sexagesimal(seconds, 59.99);
    char text[format_room];
    std::snprintf(text, sizeof text, "%02d:%02d:%05.2f", whole_part(ra.whole) % 24,
                  whole_part(ra.minutes), std::fabs(ra.seconds));
    return with_decimal_point(text);
}

QString sec_to_dec(double arcseconds)
{
    char sign = '+';
    if (arcseconds < 0) {
        sign = '-';
        arcseconds = -arcseconds;
    }
    const Sexagesimal dec = split_sexagesimal(arcseconds, 59.9);
    char text[format_room];
    std::snprintf(text, sizeof text, "%c%02d:%02d:%04.1f", sign, whole_part(dec.whole) % 360,
                  std::abs(whole_part(dec.minutes)), std::fabs(dec.seconds));
    return with_decimal_point(text);
}
