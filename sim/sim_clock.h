#pragma once

#include <QDateTime>
#include <QElapsedTimer>

// The simulator's idea of "now". It runs with the computer clock by default;
// tests set or advance it without sleeping, and demonstrations run it faster
// (speed 10 makes ten simulated seconds pass in each real second; speed 0
// stops it, so only set_time and advance move it).
class SimClock
{
public:
    SimClock();

    // Current simulated instant (UTC).
    QDateTime now() const;
    // The same instant in seconds since the Unix epoch, with its fraction.
    double seconds() const;

    void set_time(const QDateTime &instant);
    void advance(double seconds);
    // Negative or non-finite factors are refused (returns false).
    bool set_speed(double factor);
    double speed() const { return clock_speed; }

private:
    // Simulated milliseconds since the Unix epoch, with their fraction.
    double now_ms() const;
    void rebase();

    double base_ms = 0;         // simulated time when the real timer last restarted
    double clock_speed = 1.0;   // simulated seconds per real second
    QElapsedTimer real_elapsed; // real time since base_ms was taken
};

// Local sidereal time at the site in seconds of time, 0 <= value < 86400, at
// an instant given in seconds since the Unix epoch, with the fraction of the
// second (the program's clock keeps whole seconds).
double site_sidereal_seconds(double unix_seconds);
