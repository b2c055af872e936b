#include "sim/telescope_model.h"

#include "coords/coord_text.h"
#include "coords/sky_transform.h"

#include <cmath>

namespace
{

constexpr double site_latitude_deg = 43.6535277;
constexpr double deg = velto_pi / 180.0;
// Slew integration step, seconds: small against the time a slew takes.
constexpr double slew_step_s = 0.25;
// A clock jump longer than this ends any slew (the longest takes ~100 s).
constexpr int max_slew_steps = 4000;

// Hour angle in (-12, 12].
double wrap_hours(double ha)
{
    ha = std::fmod(ha, 24.0);
    if (ha > 12.0)
        ha -= 24.0;
    if (ha <= -12.0)
        ha += 24.0;
    return ha;
}

// Moves one axis toward its goal by at most max_step; true when it arrived.
bool step_axis(double &position, double goal, double max_step, double &moved)
{
    const double distance = goal - position;
    if (std::fabs(distance) <= max_step) {
        moved = distance;
        position = goal;
        return true;
    }
    moved = std::copysign(max_step, distance);
    position += moved;
    return false;
}

// The object's name, or its coordinates when it has none.
QString display_name(const SkyTarget &object)
{
    if (!object.name.isEmpty())
        return object.name;
    return sec_to_ra(object.ra_hours * 3600.0) + QLatin1Char(' ') +
           sec_to_dec(object.dec_deg * 3600.0);
}

} // namespace

void hadec_to_horizontal(double ha_hours, double dec_deg, double &a_deg, double &z_deg)
{
    // radec_to_az reads the process-wide sidereal time, which the program
    // owns when the simulator runs inside a test: lend it the hour angle as
    // the sidereal time of an object at RA 0, and give it back.
    const double saved = sidereal_time;
    double ha_s = std::fmod(ha_hours * 3600.0, 86400.0);
    if (ha_s < 0)
        ha_s += 86400.0;
    sidereal_time = ha_s;
    double a = 0, z = 0;
    radec_to_az(0.0, dec_deg * 3600.0, a, z);
    sidereal_time = saved;
    a_deg = a / 3600.0;
    z_deg = z / 3600.0;
}

double parallactic_angle(double ha_hours, double dec_deg)
{
    const double h = ha_hours * 15.0 * deg;
    const double d = dec_deg * deg;
    const double tan_lat = site_sin_lat / site_cos_lat;
    return std::atan2(std::sin(h), tan_lat * std::cos(d) - std::sin(d) * std::cos(h)) / deg;
}

TelescopeModel::TelescopeModel(const SimClock &clock, const HorizonProfiles &horizons)
    : sim_clock(clock), profiles(horizons), updated_at(clock.seconds()),
      mount_dec(site_latitude_deg)
{
}

double TelescopeModel::goal_ha(double t) const
{
    const double lst_hours = site_sidereal_seconds(t) / 3600.0;
    return wrap_hours(lst_hours - tracked.ra_hours + offset_ha / 3600.0);
}

double TelescopeModel::goal_dec() const
{
    return tracked.dec_deg + offset_dec / 3600.0;
}

double TelescopeModel::hour_angle_now(const SkyTarget &object) const
{
    return wrap_hours(site_sidereal_seconds(sim_clock.seconds()) / 3600.0 - object.ra_hours);
}

QString TelescopeModel::pointing_problem(double ha_hours, double dec_deg, bool flipped) const
{
    const double east_limit = flipped ? -ha_limit_hours : -ha_limit_other_hours;
    const double west_limit = flipped ? ha_limit_other_hours : ha_limit_hours;
    if (ha_hours < east_limit || ha_hours > west_limit)
        return QStringLiteral("hour angle %1 h is outside the limits %2 to %3 h")
            .arg(ha_hours, 0, 'f', 2)
            .arg(east_limit, 0, 'f', 0)
            .arg(west_limit, 0, 'f', 0);
    double a = 0, z = 0;
    hadec_to_horizontal(ha_hours, dec_deg, a, z);
    const double altitude = 90.0 - z;
    const double horizon = profiles.for_flip(flipped).altitude_at(a + 180.0);
    if (altitude < horizon)
        return QStringLiteral("altitude %1 deg is below the horizon (%2 deg at azimuth %3)")
            .arg(altitude, 0, 'f', 1)
            .arg(horizon, 0, 'f', 1)
            .arg(std::fmod(a + 180.0, 360.0), 0, 'f', 0);
    return {};
}

void TelescopeModel::advance_slew(double from, double to)
{
    const double max_ha_step = slew_rate_deg_s * slew_step_s / 15.0; // hours
    const double max_dec_step = slew_rate_deg_s * slew_step_s;
    double t = from;
    for (int i = 0; i < max_slew_steps && t < to && tel_mode == TelMode::Slew; ++i) {
        const double dt = std::min(slew_step_s, to - t);
        t += dt;
        const double scale = dt / slew_step_s;
        double moved_ha = 0, moved_dec = 0;
        const bool ha_done = step_axis(mount_ha, goal_ha(t), max_ha_step * scale, moved_ha);
        const bool dec_done = step_axis(mount_dec, goal_dec(), max_dec_step * scale, moved_dec);
        rate_ha = moved_ha * 3600.0 / dt;
        rate_dec = moved_dec * 3600.0 / dt;
        if (ha_done && dec_done)
            tel_mode = TelMode::Track;
    }
    if (tel_mode == TelMode::Slew && t < to)
        tel_mode = TelMode::Track; // a clock jump far beyond any slew
}

void TelescopeModel::update()
{
    const double now = sim_clock.seconds();
    if (tel_mode == TelMode::Slew && now > updated_at)
        advance_slew(updated_at, now);
    updated_at = now;
    if (tel_mode != TelMode::Track) {
        if (tel_mode == TelMode::Stop)
            rate_ha = rate_dec = 0;
        return;
    }
    mount_ha = goal_ha(now);
    mount_dec = goal_dec();
    rate_ha = sidereal_rate;
    rate_dec = 0;
    const QString problem = pointing_problem(mount_ha, mount_dec, pier_flipped);
    if (!problem.isEmpty()) {
        tel_mode = TelMode::Stop;
        rate_ha = rate_dec = 0;
        event_text = QStringLiteral("Tracking stopped: ") + problem;
    }
}

TelMode TelescopeModel::mode()
{
    update();
    return tel_mode;
}

TelescopeReading TelescopeModel::reading()
{
    update();
    TelescopeReading r;
    const double lst_hours = site_sidereal_seconds(updated_at) / 3600.0;
    r.stime_hours = lst_hours;
    r.ha_hours = wrap_hours(mount_ha);
    r.ra_hours = std::fmod(lst_hours - r.ha_hours + 24.0, 24.0);
    r.dec_deg = mount_dec;
    hadec_to_horizontal(r.ha_hours, mount_dec, r.a_deg, r.z_deg);
    r.vha = rate_ha;
    // Flipped, the declination axis turns the other way for the same motion
    // on the sky; the TCS reports the axis.
    r.vdec = pier_flipped ? -rate_dec : rate_dec;
    r.off_ha = offset_ha;
    r.off_dec = offset_dec;
    r.pa_deg = parallactic_angle(r.ha_hours, mount_dec);
    r.flip = pier_flipped;
    r.mode = tel_mode;
    r.object = sent_object;
    r.has_object = holds_object;
    return r;
}

CommandOutcome TelescopeModel::send(const SkyTarget &object)
{
    update();
    const double ha = hour_angle_now(object);
    const QString problem = pointing_problem(ha, object.dec_deg, ha < 0);
    if (!problem.isEmpty())
        return {false, QStringLiteral("Object refused: ") + problem};
    sent_object = object;
    holds_object = true;
    return {true, QStringLiteral("Object %1 accepted").arg(display_name(object))};
}

CommandOutcome TelescopeModel::slew(const SkyTarget *object)
{
    update();
    if (!object && !holds_object)
        return {false, QStringLiteral("Slew refused: no object to slew to")};
    const SkyTarget target = object ? *object : sent_object;
    const double ha = hour_angle_now(target);
    const bool flipped = ha < 0;
    const QString problem = pointing_problem(ha, target.dec_deg, flipped);
    if (!problem.isEmpty())
        return {false, QStringLiteral("Slew refused: ") + problem};
    sent_object = target;
    holds_object = true;
    tracked = target;
    offset_ha = offset_dec = 0;
    pier_flipped = flipped;
    tel_mode = TelMode::Slew;
    event_text.clear();
    return {true, QStringLiteral("Slewing to %1").arg(display_name(target))};
}

CommandOutcome TelescopeModel::stop()
{
    update();
    const bool moving = tel_mode != TelMode::Stop;
    tel_mode = TelMode::Stop;
    rate_ha = rate_dec = 0;
    return {true, moving ? QStringLiteral("Telescope stopped")
                         : QStringLiteral("Telescope already stopped")};
}

CommandOutcome TelescopeModel::set_offsets(double off_ha_s, double off_dec_as)
{
    update();
    if (std::fabs(off_ha_s) > max_offset_ha_s || std::fabs(off_dec_as) > max_offset_dec_as)
        return {false, QStringLiteral("Offsets refused: at most %1 s in HA and %2\" in Dec")
                           .arg(max_offset_ha_s)
                           .arg(max_offset_dec_as)};
    offset_ha = off_ha_s;
    offset_dec = off_dec_as;
    update();
    return {true, QStringLiteral("Offsets set: HA %1 s, Dec %2\"")
                      .arg(off_ha_s, 0, 'f', 2)
                      .arg(off_dec_as, 0, 'f', 1)};
}

CommandOutcome TelescopeModel::add_corrections(double dha_s, double ddec_as)
{
    update();
    if (tel_mode != TelMode::Track)
        return {false, QStringLiteral("Correction refused: the telescope is not tracking")};
    return set_offsets(offset_ha + dha_s, offset_dec + ddec_as).accepted
               ? CommandOutcome{true, QStringLiteral("Correction applied: HA %1 s, Dec %2\"")
                                          .arg(dha_s, 0, 'f', 2)
                                          .arg(ddec_as, 0, 'f', 1)}
               : CommandOutcome{false, QStringLiteral("Correction refused: the offsets would "
                                                      "exceed 1 degree")};
}
