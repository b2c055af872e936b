#pragma once

#include "app/velto_obj_list.h"
#include "sky/velto_sky.h"
#include "ui_velto_obj_list.h"

// Lets tests read the main window's form and state.
class MainWindowProbe
{
public:
    explicit MainWindowProbe(Velto_Obj_List &window) : window(window) {}

    Ui::Velto_Obj_List &form() const { return *window.form; }
    Velto_object &telescope() const { return *window.telescope; }
    Velto_sky &sky() const { return *window.sky_win; }
    QTimer *pollTimer() const { return window.get_timer; }
    QTimer *viewTimer() const { return window.view_timer; }
    Velto_corr *corrWindow() const { return window.corr_win; }
    Velto_help *helpWindow() const { return window.help_win; }
    Velto_about *aboutWindow() const { return window.about_win; }
    void setUserAndLevel(const QString &user, int level)
    {
        window.query_user = user;
        window.level = window.known_level = level;
    }
    bool stateReplyPending() const { return window.get_reply; }
    bool usersReplyPending() const { return window.users_reply; }
    bool commandReplyPending() const { return window.send_reply; }
    QNetworkReply *stateReply() const { return window.get_reply; }
    int pollInterval() const { return window.get_interval; }
    void setPollInterval(int ms) { window.get_interval = ms; }
    const QString &pendingMessage() const { return window.pending_msg; }
    QNetworkReply *commandReply() const { return window.send_reply; }
    bool stateOk() const { return window.state_ok; }
    void setStateOk(bool ok) { window.state_ok = ok; }
    void setStateText(const QString &text) { window.state_text = text; }
    void setPasswd(const QString &text) { window.passwd = text; }
    void setHost(const QString &text) { window.host = text; }
    Velto_list *listWindow() const { return window.list_win; }
    QList<Velto_object *> &objList() const { return *window.obj_list; }
    // Types name, right ascension, declination and epoch into the form's fields.
    void typeObject(const QStringList &texts) const
    {
        form().velto_obj_edt->setText(texts.at(0));
        form().velto_ra_edt->setText(texts.at(1));
        form().velto_decl_edt->setText(texts.at(2));
        form().velto_epoch_edt->setText(texts.at(3));
    }

private:
    Velto_Obj_List &window;
};
