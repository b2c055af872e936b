#include "app/velto_obj_list.h"

#include "app/field_text.h"
#include "app/night_colours.h"
#include "coords/coord_text.h"
#include "coords/log_line.h"
#include "coords/night_log.h"
#include "coords/sky_transform.h"
#include "sky/velto_sky.h"
#include "tcs/poll_interval.h"
#include "tcs/state_reply.h"
#include "tcs/tcs_request.h"
#include "tonight/velto_tonight.h"
#include "ui_velto_obj_list.h"

#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <cmath>

// State polling and its display.

namespace
{

struct StateColors {
    const char *prefix; // nullptr: any other state
    const char *text;
    const char *background;
};

constexpr StateColors state_colors[] = {
    {"Stop", "Blue", "Yellow"},      {"Slew", "White", "Blue"},  {"Mov", "Blue", "LightCyan"},
    {"Track", "Blue", "LightGreen"}, {nullptr, "Red", "Yellow"},
};

const StateColors &colors_of_state(const QString &state)
{
    for (const StateColors &colors : state_colors)
        if (!colors.prefix || state.startsWith(QLatin1String(colors.prefix)))
            return colors;
    Q_UNREACHABLE();
}

void set_button(QPushButton *button, bool enabled)
{
    button->setEnabled(enabled);
    button->setStyleSheet(sheet_in_shown_colours(enabled ? QStringLiteral("color: black;")
                                                         : QStringLiteral("color: gray;")));
}

} // namespace

void Velto_Obj_List::on_velto_get_btn_clicked()
{
    get_object_flag = true;
    velto_get_request();
}

void Velto_Obj_List::on_velto_get_offset_btn_clicked()
{
    get_offset_flag = true;
    velto_get_request();
}

void Velto_Obj_List::velto_get_timer()
{
    from_timer = true;
    velto_get_request();
}

void Velto_Obj_List::velto_get_request()
{
    if (host.isEmpty() || get_reply)
        return;
    QueryItems items;
    if (passwd.size() >= 2)
        items = {{QStringLiteral("User"), query_user}, {QStringLiteral("Pass"), passwd}};
    connected = false;
    get_reply = velto_send_request(QStringLiteral("/tcs/vtcs_get.cgi"), items);
    connect_reply(get_reply, this, &Velto_Obj_List::velto_get_finish,
                  &Velto_Obj_List::velto_get_error);
}

void Velto_Obj_List::velto_restart_get_timer(int ms)
{
    if (!get_timer->isActive())
        return;
    get_timer->stop();
    get_interval = ms;
    from_timer = false;
    get_timer->start(ms);
}

void Velto_Obj_List::velto_get_finish()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    const bool readable = reply && reply == get_reply && reply->error() == QNetworkReply::NoError;
    const bool was_ok = state_ok;
    state_ok = false;
    StateReply parsed;
    if (readable)
        parsed = parse_state_reply(read_reply_lines(*reply));
    const bool level_changed = apply_state_reply(parsed);

    telescope->is_comment = false;
    sky_win->set_tcs_ok(state_ok);
    sky_win->refresh_sky();
    // A failed reply arms no poll timer: its error handler restarts polling.
    if (from_timer && readable) {
        get_interval =
            next_poll_interval(get_interval, state_text, shown_state_text, state_ok, vha, vdec);
        from_timer = false;
        get_timer->start(get_interval);
    }
    release_reply(get_reply, reply, ReleaseBy::Finish);

    form->vtcs_connect_lab->setText(connected ? QStringLiteral("On") : QStringLiteral("Off"));
    if (connected)
        velto_set_color(form->vtcs_connect_lab, QStringLiteral("Blue"),
                        QStringLiteral("LightGreen"));
    else
        velto_set_color(form->vtcs_connect_lab, QStringLiteral("Black"),
                        QStringLiteral("Lightgray"));
    if (state_ok)
        show_ok_state(was_ok, level_changed);
    else
        show_not_ok_state(was_ok, parsed.status_text, readable);
    tonight_win->state_seen(state_ok, get_timer->isActive(), get_interval);
}

bool Velto_Obj_List::apply_state_reply(const StateReply &reply)
{
    bool level_changed = false;
    QString reply_user; // from this reply's "User" line, once read
    for (const StateItem &item : reply.items) {
        const double v = item.number;
        switch (item.key) {
        case StateKey::User:
            reply_user = item.text;
            connected = true;
            break;
        case StateKey::Level:
            level_changed |=
                show_level(state_level(item), reply_user.isNull() ? query_user : reply_user);
            break;
        case StateKey::Stime:
            sidereal_time = state_stime_seconds(v);
            break;
        case StateKey::RA:
            ra_sec = telescope->ra_sec = v * 3600;
            break;
        case StateKey::Dec:
            dec_sec = telescope->dec_sec = v * 3600;
            break;
        case StateKey::HA:
            hour_angle = telescope->hour_angle = v * 3600;
            break;
        case StateKey::A:
            tel_a = telescope->azimuth = v * 3600;
            break;
        case StateKey::Z:
            tel_z = telescope->zenith_dist = v * 3600;
            break;
        case StateKey::VHA:
            vha = v;
            break;
        case StateKey::VDec:
            vdec = v;
            break;
        case StateKey::OffHA:
            off_ha = v;
            break;
        case StateKey::OffDec:
            off_dec = v;
            break;
        case StateKey::ObjName:
            name = item.text;
            break;
        case StateKey::Ra2000:
            ra2000_text = item.text;
            break;
        case StateKey::Dec2000:
            dec2000_text = item.text;
            break;
        case StateKey::PA:
            pa_text = item.text;
            pa = v;
            break;
        case StateKey::TCSmode:
            tcs_mode = item.text;
            break;
        case StateKey::TelFlip:
            flip = item.text.startsWith(QLatin1String("Yes"));
            sky_win->set_tel_flip(flip);
            break;
        case StateKey::TelMode:
            state_text = item.text;
            if (state_text != telmode_seen)
                night_log(QStringLiteral("TelMode"), telmode_seen = state_text);
            break;
        case StateKey::State:
            state_ok = item.text == QLatin1String("Ok");
            break;
        }
    }
    return level_changed;
}

bool Velto_Obj_List::show_level(int reply_level, const QString &user)
{
    known_level = qBound(1, reply_level, 5);
    if (reply_level == level)
        return false;
    log_out(QLatin1String("User=") + user + QLatin1String(" Level=") +
            QString::number(reply_level));
    level = known_level;
    night_log(QStringLiteral("level"),
              QLatin1String("User=") + user + QLatin1String(" Level=") + QString::number(level));
    // One arg() call: a user name holding "%2" stays as it is.
    form->velto_level_lab->setText(tr("User=%1 Level=%2 ").arg(user, QString::number(level)));
    set_button(form->velto_send_btn, level >= 2);
    set_button(form->velto_stop_btn, level >= 3);
    set_button(form->velto_slew_btn, level >= 3);
    if (level < 3)
        set_button(form->velto_set_offset_btn, false);
    return true;
}

void Velto_Obj_List::update_set_offset_btn()
{
    set_button(form->velto_set_offset_btn,
               level > 2 && (state_text.startsWith(QLatin1String("Slew")) ||
                             state_text.startsWith(QLatin1String("Track"))));
}

bool Velto_Obj_List::moving_fast() const
{
    return !state_text.startsWith(QLatin1String("Stop")) &&
           !state_text.contains(QLatin1String("Off")) &&
           (std::fabs(vha) > 1.1 || std::fabs(vdec) > 10.0);
}

void Velto_Obj_List::show_ok_state(bool was_ok, bool level_changed)
{
    elapsed.restart();
    if (tcs_mode != shown_tcs_mode) {
        if (tcs_mode.startsWith(QLatin1String("Simul")))
            velto_set_color(form->velto_tcs_lab, QStringLiteral("White"), QStringLiteral("Pink"));
        else if (tcs_mode.startsWith(QLatin1String("Hard")))
            velto_set_color(form->velto_tcs_lab, QStringLiteral("Blue"), QStringLiteral("Cyan"));
        else
            velto_set_color(form->velto_tcs_lab, QStringLiteral("Black"),
                            QStringLiteral("Lightgray"));
        form->velto_tcs_lab->setText(tcs_mode);
        shown_tcs_mode = tcs_mode;
    }
    const bool state_changed = state_text != shown_state_text;
    if (state_changed) {
        const StateColors &colors = colors_of_state(state_text);
        velto_set_color(form->velto_state_lab, QLatin1String(colors.text),
                        QLatin1String(colors.background));
        form->velto_state_lab->setText(state_text);
        shown_state_text = state_text;
    }
    // A new level may allow or forbid offsets as much as a new state does.
    if (state_changed || level_changed)
        update_set_offset_btn();
    if (get_object_flag) {
        set_object(name, ra2000_text, dec2000_text, QStringLiteral("2000.0"));
        get_object_flag = false;
    }
    if (get_offset_flag) {
        show_field_text(form->velto_offha_edt, QString::number(off_ha, 'f', 2));
        show_field_text(form->velto_offdec_edt, QString::number(off_dec, 'f', 1));
        get_offset_flag = false;
    }
    if (moving_fast()) {
        view_timer->stop();
        view_timer->start(view_interval);
    }
    if (!was_ok)
        log_out(QStringLiteral("Velto read Ok! "));
}

void Velto_Obj_List::show_not_ok_state(bool was_ok, const QString &status_text, bool arm_poll_timer)
{
    statusBar()->showMessage(status_text);
    pending_msg.clear();
    schedule_stat_msg(5000);
    calc_sidereal_time();
    if (was_ok) {
        log_out(QLatin1String("stime=") + sec_to_ra(sidereal_time));
        log_out(status_text);
    }
    velto_set_color(form->velto_tcs_lab, QStringLiteral("Black"), QStringLiteral("Lightgray"));
    tcs_mode = shown_tcs_mode = QStringLiteral("Unknown");
    form->velto_tcs_lab->setText(tcs_mode);
    velto_set_color(form->velto_state_lab, QStringLiteral("Black"), QStringLiteral("Lightgray"));
    state_text = shown_state_text = QStringLiteral("Unknown");
    form->velto_state_lab->setText(state_text);
    form->velto_level_lab->setText(tr("User=? Level = ? "));
    level = 0;
    for (QPushButton *button : {form->velto_send_btn, form->velto_stop_btn, form->velto_slew_btn,
                                form->velto_set_offset_btn})
        set_button(button, false);
    if (!arm_poll_timer)
        return;
    if (get_timer->isActive() || from_timer)
        get_timer->start(15000);
    from_timer = false;
}

void Velto_Obj_List::velto_get_error(QNetworkReply::NetworkError code)
{
    QPointer<QNetworkReply> reply = qobject_cast<QNetworkReply *>(sender());
    show_reply_error(reply, code);
    connected = false;
    show_tcs_unknown();
    const bool rearm = get_timer->isActive() || from_timer;
    get_timer->stop();
    QMessageBox::warning(this, host + QLatin1String(" HTTP error"),
                         reply ? reply_error_text(*reply) : QString());
    if (rearm || from_timer)
        get_timer->start(60000);
    from_timer = false;
    release_reply(get_reply, reply, ReleaseBy::Error);
}

void Velto_Obj_List::velto_view_timer()
{
    if (!state_ok || !moving_fast())
        return;
    const double dec_rate = flip ? -vdec : vdec;
    telescope->hadec_rates_to_az(vha, dec_rate, pa, d_a, d_z);
    if (std::fabs(d_a) <= 16.0 && std::fabs(d_z) <= 10.0)
        return;
    const double t = static_cast<double>(elapsed.elapsed()) / 1000.0;
    telescope->azimuth = tel_a + 0.9 * d_a * t;
    telescope->zenith_dist = tel_z + 0.9 * d_z * t;
    sky_win->refresh_sky();
    view_timer->start(view_interval);
}
