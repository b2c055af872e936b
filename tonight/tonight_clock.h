#pragma once

#include <QDateTime>

// The clocks of the Tonight window: the local sidereal time of the TCS's last
// Ok state reply, carried on at the sidereal rate by the computer's clock
// (before any such reply, the sidereal time of the computer's clock), and the
// age of that reply.
class TonightClock
{
public:
    // An Ok state reply arrived at `at`, carrying this sidereal time
    // (seconds of time).
    void state_ok(const QDateTime &at, double sidereal);
    bool has_state() const { return state_at.isValid(); }
    // Sidereal time at an instant, seconds of time, 0 <= value < 86400.
    double sidereal_at(const QDateTime &instant) const;
    // Whole seconds from the last Ok reply to an instant; has_state() first.
    qint64 state_age(const QDateTime &instant) const;
    // The state is stale when it is older than two poll intervals while
    // polling runs, or a minute while it does not.
    bool is_stale(const QDateTime &instant, bool polling, int poll_interval_ms) const;

private:
    QDateTime state_at; // invalid before the first Ok reply
    double state_sidereal = 0;
};
