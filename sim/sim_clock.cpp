#include "sim/sim_clock.h"

#include "coords/sky_transform.h"

#include <cmath>

SimClock::SimClock()
{
    base_ms = static_cast<double>(QDateTime::currentMSecsSinceEpoch());
    real_elapsed.start();
}

double SimClock::now_ms() const
{
    return base_ms + clock_speed * static_cast<double>(real_elapsed.nsecsElapsed()) / 1e6;
}

QDateTime SimClock::now() const
{
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::floor(now_ms())), Qt::UTC);
}

double SimClock::seconds() const
{
    return now_ms() / 1000.0;
}

void SimClock::rebase()
{
    base_ms = now_ms();
    real_elapsed.restart();
}

void SimClock::set_time(const QDateTime &instant)
{
    base_ms = static_cast<double>(instant.toMSecsSinceEpoch());
    real_elapsed.restart();
}

void SimClock::advance(double seconds)
{
    rebase();
    base_ms += seconds * 1000.0;
}

bool SimClock::set_speed(double factor)
{
    if (!std::isfinite(factor) || factor < 0)
        return false;
    rebase();
    clock_speed = factor;
    return true;
}

double site_sidereal_seconds(double unix_seconds)
{
    const double whole = std::floor(unix_seconds);
    const QDateTime whole_second =
        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(whole) * 1000, Qt::UTC);
    // sidereal_time_at counts whole seconds; add the part of this second so
    // the tracked hour angle moves smoothly between two polls.
    double lst = sidereal_time_at(whole_second) + (unix_seconds - whole) * sidereal_per_solar;
    lst = std::fmod(lst, 86400.0);
    return lst < 0 ? lst + 86400.0 : lst;
}
