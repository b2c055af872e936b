#include "corr/corr_step.h"

#include "coords/number_text.h"
#include "coords/sky_transform.h"

#include <cmath>
#include <limits>

namespace
{

constexpr double arcsec_per_radian = 648000.0 / velto_pi;

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

// The magnitude of the typed value; false when the text is no number at all.
// A text that reads as a number but not a finite one ("inf", "nan", 1e999)
// gives an infinite magnitude, so the bound refuses it.
bool typed_magnitude(const QString &typed, double *magnitude)
{
    const QString text = typed.simplified();
    bool ok = false;
    *magnitude = std::fabs(read_number(text, &ok));
    if (!ok && !std::isfinite(text.toDouble())) {
        *magnitude = std::numeric_limits<double>::infinity();
        return true;
    }
    return ok;
}

constexpr QLatin1String no_move("0.0");

double sign_factor(Move move)
{
    return static_cast<double>(static_cast<int>(move));
}

// The signed step text, or an empty text (refused) when the step is not
// finite or beyond the bound.
QString bounded_step(double step, double max_step, Move move, int decimals)
{
    if (!std::isfinite(step) || step > max_step)
        return QString();
    return fixed(sign_factor(move) * step, decimals);
}

} // namespace

QString ha_step_text(const QString &typed, Move move, bool divide, double dec_arcsec)
{
    if (move == Move::None)
        return no_move;
    double step = 0;
    if (!typed_magnitude(typed, &step))
        return QStringLiteral("0.00");
    // A declination beyond +-90 degrees is not physical; the absolute cosine
    // keeps the direction the observer pressed.
    if (divide)
        step /= std::fabs(std::cos(dec_arcsec / arcsec_per_radian));
    return bounded_step(step, max_ha_step, move, 2);
}

QString dec_step_text(const QString &typed, Move move)
{
    if (move == Move::None)
        return no_move;
    double step = 0;
    if (!typed_magnitude(typed, &step))
        return QStringLiteral("0.0");
    return bounded_step(step, max_dec_step, move, 1);
}

QString ha_slider_text(int position)
{
    return fixed(position * 0.01, 2);
}

QString dec_slider_text(int position)
{
    return fixed(position * 0.1, 1);
}
