#include "tonight/tonight_clock.h"

#include "coords/observing_times.h"
#include "coords/sky_transform.h"

void TonightClock::state_ok(const QDateTime &at, double sidereal)
{
    state_at = at;
    state_sidereal = sidereal;
}

double TonightClock::sidereal_at(const QDateTime &instant) const
{
    if (!has_state())
        return sidereal_time_at(instant);
    return sidereal_after(state_sidereal, static_cast<double>(state_at.msecsTo(instant)) / 1000.0);
}

qint64 TonightClock::state_age(const QDateTime &instant) const
{
    return state_at.secsTo(instant);
}

bool TonightClock::is_stale(const QDateTime &instant, bool polling, int poll_interval_ms) const
{
    const qint64 limit_ms = polling ? 2 * qint64(poll_interval_ms) : 60000;
    return state_at.msecsTo(instant) > limit_ms;
}
