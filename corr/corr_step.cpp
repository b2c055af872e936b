#include "corr/corr_step.h"

#include "coords/number_text.h"
#include "coords/sky_transform.h"

#include <cmath>

namespace
{

constexpr double arcsec_per_radian = 648000.0 / velto_pi;

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

// The magnitude of the typed value; false when it is not a finite number.
bool typed_magnitude(const QString &typed, double *magnitude)
{
    bool ok = false;
    *magnitude = std::fabs(read_number(typed.simplified(), &ok));
    return ok;
}

double sign_factor(Move move)
{
    return static_cast<double>(static_cast<int>(move));
}

const QString no_move = QStringLiteral("0.0");

} // namespace

QString ha_step_text(const QString &typed, Move move, bool divide, double dec_arcsec)
{
    if (move == Move::None)
        return no_move;
    double step = 0;
    if (!typed_magnitude(typed, &step))
        return QStringLiteral("0.00");
    if (divide) {
        // A declination beyond +-90 degrees is not physical; the absolute
        // cosine keeps the direction the observer pressed.
        step /= std::fabs(std::cos(dec_arcsec / arcsec_per_radian));
        if (!std::isfinite(step) || step > max_divided_ha_step)
            return QString();
    }
    return fixed(sign_factor(move) * step, 2);
}

QString dec_step_text(const QString &typed, Move move)
{
    if (move == Move::None)
        return no_move;
    double step = 0;
    if (!typed_magnitude(typed, &step))
        return QStringLiteral("0.0");
    return fixed(sign_factor(move) * step, 1);
}

QString ha_slider_text(int position)
{
    return fixed(position * 0.01, 2);
}

QString dec_slider_text(int position)
{
    return fixed(position * 0.1, 1);
}
