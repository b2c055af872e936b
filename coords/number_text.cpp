#include "coords/number_text.h"

#include <cmath>

double read_number(QStringView text, bool *ok)
{
    bool parsed = false;
    // QStringView::toDouble reads the C locale only and accepts no digit grouping.
    const double value = text.toDouble(&parsed);
    const bool good = parsed && std::isfinite(value);
    if (ok)
        *ok = good;
    return good ? value : 0.0;
}
