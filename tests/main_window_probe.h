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
    Velto_object &own() const { return window; }
    const QString &passwd() const { return window.passwd; }
    const QString &queryUser() const { return window.query_user; }
    const QString &selectedUser() const { return window.selected_user; }
    int level() const { return window.level; }
    QTimer *pollTimer() const { return window.get_timer; }
    QTimer *viewTimer() const { return window.view_timer; }
    const QString &stateText() const { return window.state_text; }
    const QString &tcsMode() const { return window.tcs_mode; }
    Velto_corr *corrWindow() const { return window.corr_win; }
    Velto_help *helpWindow() const { return window.help_win; }
    Velto_about *aboutWindow() const { return window.about_win; }
    // The level label names the logged-in user and level in every language.
    void setUserAndLevel(const QString &user, int level)
    {
        window.query_user = user;
        window.level = level;
    }
    QTimer *statusTimer() const { return window.stat_timer; }
    bool stateReplyPending() const { return window.get_reply; }
    bool usersReplyPending() const { return window.users_reply; }
    bool commandReplyPending() const { return window.send_reply; }
    QNetworkReply *stateReply() const { return window.get_reply; }
    int pollInterval() const { return window.get_interval; }
    void setPollInterval(int ms) { window.get_interval = ms; }
    void setPendingMessage(const QString &text) { window.pending_msg = text; }
    const QString &pendingMessage() const { return window.pending_msg; }
    QNetworkReply *commandReply() const { return window.send_reply; }
    bool stateOk() const { return window.state_ok; }
    void setStateOk(bool ok) { window.state_ok = ok; }
    void setStateText(const QString &text) { window.state_text = text; }
    void setPasswd(const QString &text) { window.passwd = text; }
    void setHost(const QString &text) { window.host = text; }
    Velto_list *listWindow() const { return window.list_win; }
    QList<Velto_object *> &objList() const { return *window.obj_list; }

private:
    Velto_Obj_List &window;
};
