#include "app/velto_obj_list.h"

#include "coords/log_line.h"
#include "coords/night_log.h"
#include "tcs/command_answer.h"
#include "tcs/command_check.h"
#include "tcs/command_request.h"
#include "tcs/tcs_request.h"
#include "ui_velto_obj_list.h"

#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>

// Telescope commands: one request to the send script at a time; a command
// pressed while one is in flight is dropped, except Stop, which never waits.

namespace
{

// After a command the state display catches up a second later.
constexpr int poll_after_command_ms = 1000;
// The first answer line stays this long before the second one is shown.
constexpr int second_line_delay_ms = 5000;
// A failed command pauses a running poll for a minute.
constexpr int poll_after_error_ms = 60000;

} // namespace

void Velto_Obj_List::on_velto_send_btn_clicked()
{
    send_form_command(QStringLiteral("Send"));
}

void Velto_Obj_List::on_velto_slew_btn_clicked()
{
    send_form_command(QStringLiteral("Slew"));
}

void Velto_Obj_List::on_velto_set_offset_btn_clicked()
{
    send_form_command(QStringLiteral("Corr"));
}

void Velto_Obj_List::on_velto_stop_btn_clicked()
{
    if (host.isEmpty())
        return;
    velto_send_stop();
    velto_restart_get_timer(poll_after_command_ms);
}

void Velto_Obj_List::send_form_command(const QString &command)
{
    if (host.isEmpty())
        return;
    velto_send_cmd(command);
    velto_restart_get_timer(poll_after_command_ms);
}

void Velto_Obj_List::velto_send_corr(const QString &dHA, const QString &dDec)
{
    if (host.isEmpty())
        return;
    corr_ha = dHA;
    corr_dec = dDec;
    velto_send_cmd(QStringLiteral("AdCorr"));
    // The next state reply shows where the correction left the offsets.
    get_offset_flag = true;
    velto_restart_get_timer(poll_after_command_ms);
}

CommandInput Velto_Obj_List::command_input() const
{
    CommandInput input;
    input.user = query_user;
    input.passwd = passwd;
    input.ra = form->velto_ra_edt->text();
    input.dec = form->velto_decl_edt->text();
    input.epoch = form->velto_epoch_edt->text();
    input.name = form->velto_obj_edt->text();
    input.off_ha = form->velto_offha_edt->text();
    input.off_dec = form->velto_offdec_edt->text();
    input.corr_ha = corr_ha;
    input.corr_dec = corr_dec;
    input.state_text = state_text;
    return input;
}

void Velto_Obj_List::velto_send_cmd(const QString &command)
{
    if (send_reply) {
        night_log(QStringLiteral("dropped"), command + QLatin1String(": a command is in flight"));
        return;
    }
    send_checked(check_command(command, command_input()));
}

void Velto_Obj_List::velto_send_stop()
{
    send_stop(check_stop(command_input()));
}

// F12, from whatever window or box has the keyboard.
void Velto_Obj_List::press_stop_key()
{
    send_stop(check_stop_key(host, known_level, command_input()));
    velto_restart_get_timer(poll_after_command_ms);
}

void Velto_Obj_List::send_stop(const CommandCheck &check)
{
    if (!check.refused())
        abandon_command();
    send_checked(check);
}

// The command still waiting for its answer is given up without a box, so a
// held or hung host cannot keep a Stop from going out.
void Velto_Obj_List::abandon_command()
{
    QNetworkReply *reply = send_reply;
    if (!reply)
        return;
    send_reply = nullptr;
    night_log(QStringLiteral("abandoned"), QStringLiteral("for Stop"));
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

// A refusal is reported and changes nothing else; the form keeps its texts.
void Velto_Obj_List::send_checked(const CommandCheck &check)
{
    if (check.refused()) {
        statusBar()->showMessage(check.status_text());
        log_err(check.error_line);
        night_log(QStringLiteral("refused"), check.error_line);
        return;
    }
    night_log(QStringLiteral("command"), logged_query(check.items));
    // Never through the manager: it may send a GET again on its own.
    send_reply =
        new CommandReply(tcs_url(host, QStringLiteral("/tcs/vtcs_send.cgi"), check.items), this);
    // Queued: the error box's nested event loop must not run inside Qt's own
    // abort of the reply (an oversized answer), which then crashes.
    connect_reply(send_reply, this, &Velto_Obj_List::velto_send_finish,
                  &Velto_Obj_List::velto_send_error);
}

void Velto_Obj_List::velto_send_finish()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply || reply != send_reply)
        return; // released by the error handler
    if (reply->error() == QNetworkReply::NoError)
        show_answer(read_reply_lines(*reply));
    release_reply(send_reply, reply, ReleaseBy::Finish);
}

// The first line at once; the second, unless it is a "State" line, 5 s
// later; the last "State" line decides whether the TCS is Ok.
void Velto_Obj_List::show_answer(const QByteArrayList &lines)
{
    if (lines.isEmpty()) {
        night_log(QStringLiteral("answer"));
        return;
    }
    const CommandAnswer answer = read_command_answer(lines);
    night_log(QStringLiteral("answer"), answer.first_line);
    for (const QString &line : answer.lines)
        log_out(line);
    statusBar()->showMessage(answer.first_line);
    if (answer.state_ok)
        state_ok = *answer.state_ok;
    pending_msg = answer.later_message;
    schedule_stat_msg(second_line_delay_ms);
}

void Velto_Obj_List::velto_send_error(QNetworkReply::NetworkError code)
{
    QPointer<QNetworkReply> reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply || reply != send_reply)
        return; // given up for a Stop: its failure is no news
    show_reply_error(reply, code);
    night_log(QStringLiteral("error"), QString::number(code) + QLatin1Char(' ') +
                                           (reply ? reply_error_text(*reply) : QString()));
    show_tcs_unknown();
    // A poll in flight keeps its re-arm: the from-timer flag stays as it is.
    const bool was_polling = get_timer->isActive();
    get_timer->stop();
    QMessageBox::warning(this, host + QLatin1String(" HTTP error"),
                         reply ? reply_error_text(*reply) : QString());
    if (was_polling)
        get_timer->start(poll_after_error_ms);
    release_reply(send_reply, reply, ReleaseBy::Error);
}
