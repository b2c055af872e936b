#include "coords/number_text.h"

#include <charconv>
#include <cmath>

double read_number(QStringView text, bool *ok)
{
    // Reading a list means hundreds of thousands of numbers: std::from_chars is
    // fast and, like the program, knows no locale (no decimal comma, no digit
    // grouping). Blanks around the number and one leading '+' are accepted.
    const QStringView trimmed = text.trimmed();
    char ascii[64] = {};
    double value = 0;
    bool good = !trimmed.isEmpty();
    if (trimmed.size() > qsizetype(sizeof ascii)) {
        value = trimmed.toDouble(&good); // rare: longer than any coordinate
    } else {
        for (qsizetype i = 0; good && i < trimmed.size(); ++i) {
            good = trimmed[i].unicode() <= 0x7f;
            ascii[i] = static_cast<char>(trimmed[i].unicode());
        }
        const char *first = ascii;
        const char *last = ascii + trimmed.size();
        if (last - first > 1 && first[0] == '+' && first[1] != '+' && first[1] != '-')
            ++first;
        if (good) {
            const auto [end, error] = std::from_chars(first, last, value);
            good = error == std::errc() && end == last;
        }
    }
    good = good && std::isfinite(value);
    if (ok)
        *ok = good;
    return good ? value : 0.0;
}
