#include "app/velto_obj_list.h"

#include "coords/log_line.h"
#include "coords/night_log.h"
#include "tcs/tcs_request.h"
#include "tcs/users_reply.h"
#include "ui_velto_obj_list.h"

#include <QMessageBox>
#include <QTimer>

// Users list, login and the password field.

void Velto_Obj_List::velto_get_users()
{
    users_reply = velto_send_request(QStringLiteral("/tcs/velto_users_all.cgi"), {});
    connect_reply(users_reply, this, &Velto_Obj_List::velto_get_users_finish,
                  &Velto_Obj_List::velto_get_users_error);
}

void Velto_Obj_List::velto_get_users_finish()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply || reply != users_reply)
        return; // released by the error handler
    int guest_index = 0;
    int line_number = 0;
    if (reply->error() == QNetworkReply::NoError) {
        for (const QByteArray &line : read_reply_lines(*reply)) {
            const UserEntry user = parse_user_line(QString::fromUtf8(line));
            form->velto_user_cb->addItem(user.text());
            if (user.is_guest())
                guest_index = line_number;
            ++line_number;
        }
    }
    release_reply(users_reply, reply, ReleaseBy::Finish);
    form->velto_user_cb->setCurrentIndex(guest_index);
}

// Without the users list nobody can log in: the program warns and ends.
void Velto_Obj_List::velto_get_users_error(QNetworkReply::NetworkError code)
{
    QPointer<QNetworkReply> reply = qobject_cast<QNetworkReply *>(sender());
    show_reply_error(reply, code);
    const QString text = reply ? reply_error_text(*reply) : QString();
    QMessageBox::warning(this, host + QLatin1Char(' ') + tr("HTTP error"), text);
    release_reply(users_reply, reply, ReleaseBy::Error);
    // All windows close, so no auxiliary window keeps a program without users alive.
    for (QWidget *window : auxiliary_windows())
        window->close();
    close();
}

void Velto_Obj_List::on_velto_user_cb_currentIndexChanged(int index)
{
    on_velto_user_cb_currentIndexChanged(form->velto_user_cb->itemText(index));
}

void Velto_Obj_List::on_velto_user_cb_currentIndexChanged(const QString &arg)
{
    selected_user = login_of_entry(arg);
}

void Velto_Obj_List::on_velto_passwd_set_btn_clicked()
{
    if (selected_user != query_user)
        known_level = 0; // another user: nothing known of their level yet
    query_user = selected_user;
    passwd = form->velto_passwd_edt->text().simplified();
    if (passwd.size() < 2)
        return;
    level = 0; // so that the next level from the TCS is shown
    set_night_log_user(query_user);
    night_log(QStringLiteral("login"));
    velto_get_request();
    if (!get_timer->isActive()) {
        get_interval = 5000;
        from_timer = false;
        get_timer->start(get_interval);
    }
}

// The password takes effect only through the set button.
void Velto_Obj_List::on_velto_passwd_edt_editingFinished() {}

void Velto_Obj_List::on_velto_show_pass_btn_pressed()
{
    form->velto_passwd_edt->setEchoMode(QLineEdit::Normal);
}

void Velto_Obj_List::on_velto_show_pass_btn_released()
{
    form->velto_passwd_edt->setEchoMode(QLineEdit::Password);
}
