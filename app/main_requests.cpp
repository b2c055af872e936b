#include "app/velto_obj_list.h"

#include "app/night_colours.h"
#include "coords/log_line.h"
#include "tcs/tcs_request.h"
#include "ui_velto_obj_list.h"

#include <QStatusBar>
#include <QTimer>

// The request layer of the users and state requests (commands go out on a
// connection of their own), and the status-bar and colour services of the
// reply handlers.

QNetworkReply *Velto_Obj_List::velto_send_request(const QString &path, const QueryItems &items)
{
    return get_tcs(manager, tcs_url(host, path, items));
}

// A reply is released once, by whichever of its two handlers runs while it is
// still the pending reply of its kind; a newer reply of the kind is left alone.
void Velto_Obj_List::release_reply(QPointer<QNetworkReply> &pending, QNetworkReply *reply,
                                   ReleaseBy by)
{
    if (!reply || pending != reply)
        return;
    if (by == ReleaseBy::Finish) {
        reply->disconnect(this);
        reply->close();
    }
    reply->deleteLater();
    pending = nullptr;
}

void Velto_Obj_List::velto_set_color(QWidget *widget, const QString &text_color,
                                     const QString &background)
{
    if (show_night_label_look(widget, text_color, background))
        return;
    QPalette palette = widget->palette();
    const QColor text =
        text_color.isEmpty() ? palette.color(QPalette::WindowText) : QColor::fromString(text_color);
    const QColor back =
        background.isEmpty() ? palette.color(QPalette::Window) : QColor::fromString(background);
    if (palette.color(QPalette::WindowText) == text && palette.color(QPalette::Window) == back)
        return;
    if (!text_color.isEmpty())
        palette.setBrush(QPalette::WindowText, QBrush(text));
    if (!background.isEmpty())
        palette.setBrush(QPalette::Window, QBrush(back));
    widget->setPalette(palette);
}

void Velto_Obj_List::velto_show_stat_msg()
{
    if (pending_msg.isEmpty()) {
        statusBar()->clearMessage();
        return;
    }
    statusBar()->showMessage(pending_msg);
    pending_msg.clear();
    schedule_stat_msg(3000);
}

void Velto_Obj_List::schedule_stat_msg(int ms)
{
    stat_timer->start(ms);
}

// The first steps of every error handler: the error line and the status bar.
void Velto_Obj_List::show_reply_error(QNetworkReply *reply, QNetworkReply::NetworkError code)
{
    const QString text = reply ? reply_error_text(*reply) : QString();
    log_err(QLatin1String("Velto read error ") + QString::number(code) + QLatin1Char(' ') + text);
    statusBar()->showMessage(text);
}

// After a failed state or command request: nothing is known about the TCS.
void Velto_Obj_List::show_tcs_unknown()
{
    state_ok = false;
    tcs_mode = shown_tcs_mode = QStringLiteral("Unknown");
    form->velto_tcs_lab->setText(tcs_mode);
    form->vtcs_connect_lab->setText(QStringLiteral("Off"));
    for (QWidget *label : {static_cast<QWidget *>(form->vtcs_connect_lab),
                           static_cast<QWidget *>(form->velto_tcs_lab),
                           static_cast<QWidget *>(form->velto_state_lab)})
        velto_set_color(label, QStringLiteral("Black"), QStringLiteral("Lightgray"));
    state_text = shown_state_text = QStringLiteral("Unknown");
    form->velto_state_lab->setText(state_text);
}
