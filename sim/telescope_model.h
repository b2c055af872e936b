#pragma once

#include "sim/horizon_profile.h"
#include "sim/sim_clock.h"

#include <QString>

// The simulated Velto-1000: a German equatorial mount driven in hour angle and
// declination.
//
// - Stop: the drives are off, so hour angle and declination - and with them
//   azimuth and zenith distance - stay put while the sky turns (RA drifts).
// - Slew: each axis runs toward the goal at slew_rate_deg_s (a slew across the
//   sky takes about a minute and a half); when both axes arrive the telescope
//   tracks. A slew clears the offsets.
// - Track: the telescope follows the object's right ascension and declination
//   plus the offsets, so its hour angle grows with sidereal time. Offsets and
//   corrections are small and are applied at once. Tracking stops by itself at
//   the hour-angle limit of the pier side or when the object sets below the
//   horizon profile.
//
// Flip rule: a slew to an object east of the meridian (hour angle below 0)
// puts the tube on the west side of the pier, flipped ("TelFlip=Yes"); a slew
// to the west side (hour angle 0 or more) leaves it in the direct position.
// The flip is chosen when the slew starts and kept while tracking and when
// stopped. Flipped, the telescope may track from -7 h to +1 h of hour angle,
// direct from -1 h to +7 h; the matching horizon profile (reverse or direct)
// applies.
//
// Parallactic angle: q = atan2(sin H, tan(phi) cos(dec) - sin(dec) cos H) of the
// pointed position, degrees, positive west of the meridian.
enum class TelMode { Stop, Slew, Track };

// The object the TCS holds: coordinates as given (no precession; the epoch
// travels as text).
struct SkyTarget {
    QString name;
    double ra_hours = 0;
    double dec_deg = 0;
    QString epoch;
};

// What the state script reports, in the TCS's units.
struct TelescopeReading {
    double stime_hours = 0; // local sidereal time
    double ra_hours = 0;    // pointed position
    double dec_deg = 0;
    double ha_hours = 0; // -12 < HA <= 12
    double a_deg = 0;    // azimuth from the south, positive to the west
    double z_deg = 0;    // zenith distance
    double vha = 0;      // hour-angle rate, seconds of time per second
    double vdec = 0;     // declination axis rate, arcseconds per second; flipped,
                         // negative while the declination grows
    double off_ha = 0;   // offsets: seconds of time, arcseconds
    double off_dec = 0;
    double pa_deg = 0;
    bool flip = false;
    TelMode mode = TelMode::Stop;
    SkyTarget object; // the object last sent
    bool has_object = false;
};

// The outcome of a command: accepted or not, and the words for the observer.
struct CommandOutcome {
    bool accepted = false;
    QString message;
};

class TelescopeModel
{
public:
    static constexpr double slew_rate_deg_s = 2.0;
    static constexpr double ha_limit_hours = 7.0;       // from the meridian, own side
    static constexpr double ha_limit_other_hours = 1.0; // past the meridian
    static constexpr double max_offset_ha_s = 240.0;    // 1 degree
    static constexpr double max_offset_dec_as = 3600.0; // 1 degree
    static constexpr double sidereal_rate = 1.002737909350795;

    // Starts stopped at the zenith (hour angle 0, declination = latitude).
    TelescopeModel(const SimClock &clock, const HorizonProfiles &horizons);

    TelescopeReading reading();

    // "Send": the object becomes the TCS's current object; nothing moves.
    CommandOutcome send(const SkyTarget &object);
    // "Slew": to this object, or to the current object when none is given.
    CommandOutcome slew(const SkyTarget *object);
    CommandOutcome stop();
    // "Corr": offsets in seconds of time and arcseconds replace the old ones.
    CommandOutcome set_offsets(double off_ha_s, double off_dec_as);
    // "AdCorr": small corrections added to the offsets; only while tracking.
    CommandOutcome add_corrections(double dha_s, double ddec_as);

    TelMode mode();
    // Why the telescope last stopped by itself; empty when it did not.
    QString last_event() const { return event_text; }

private:
    // Hour angle of an object now, hours in (-12, 12].
    double hour_angle_now(const SkyTarget &object) const;
    void update();
    void advance_slew(double from, double to);
    double goal_ha(double t) const;
    double goal_dec() const;
    // Checks a pointing for the given pier side; empty when it is allowed.
    QString pointing_problem(double ha_hours, double dec_deg, bool flipped) const;

    const SimClock &sim_clock;
    const HorizonProfiles &profiles;
    double updated_at = 0; // clock seconds of the last update
    double mount_ha = 0;   // mount hour angle, hours
    double mount_dec = 0;  // mount declination, degrees
    double rate_ha = 0;    // s/s
    double rate_dec = 0;   // "/s on the sky
    double offset_ha = 0;  // seconds of time
    double offset_dec = 0; // arcseconds
    bool pier_flipped = false;
    TelMode tel_mode = TelMode::Stop;
    SkyTarget sent_object; // current object (Send or Slew)
    bool holds_object = false;
    SkyTarget tracked; // what the mount slews to or tracks
    QString event_text;
};

// Azimuth (degrees from the south, positive to the west) and zenith distance
// (degrees) of an hour angle (hours) and declination (degrees) at the site.
void hadec_to_horizontal(double ha_hours, double dec_deg, double &a_deg, double &z_deg);
// Parallactic angle in degrees of an hour angle (hours) and declination (degrees).
double parallactic_angle(double ha_hours, double dec_deg);
