#include "coords/velto_object.h"

#include "coords/coord_text.h"
#include "coords/sky_transform.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

Velto_object::Velto_object()
{
    // Every number the program reads or writes uses '.', whatever the user's
    // locale; nothing sets another default, so once is enough (a list makes
    // many objects).
    static const bool c_numbers = [] {
        QLocale::setDefault(QLocale(QLocale::C, QLocale::AnyTerritory));
        return true;
    }();
    Q_UNUSED(c_numbers);
}

Velto_object::~Velto_object() = default;

void Velto_object::set_object(const QString &name, const QString &ra, const QString &dec,
                              const QString &epoch)
{
    this->name = name;
    ra_str = ra;
    dec_str = dec;
    epoch_str = epoch;
    ra_sec = ra_to_sec(ra);
    dec_sec = dec_to_sec(dec);
    radec_to_az(ra_sec, dec_sec, azimuth, zenith_dist);
}

void Velto_object::set_object(const QString &name, const QString &ra, const QString &dec)
{
    set_object(name, ra, dec, QStringLiteral("2000.0"));
}

void Velto_object::set_object(const QString &ra, const QString &dec)
{
    set_object(QStringLiteral("Unknown"), ra, dec);
}

void Velto_object::hadec_rates_to_az(double vha, double vdec, double pa, double &va,
                                     double &vz) const
{
    const double c = std::cos(velto_pi * dec_sec / 648000.0);
    const double q = velto_pi * pa / 180.0;
    const double sin_q = std::sin(q);
    const double cos_q = std::cos(q);
    // Keeps the azimuth rate finite near the zenith (about 20.6 arcseconds).
    const double s = std::max(std::sin(velto_pi * zenith_dist / 648000.0), 0.0001);
    const double x = vha * 15.0 * c;
    va = (x * cos_q + vdec * sin_q) / s;
    vz = x * sin_q - vdec * cos_q;
}
