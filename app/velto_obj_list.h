#pragma once

#include "coords/velto_object.h"
#include "tcs/tcs_url.h"

#include <QByteArrayList>
#include <QElapsedTimer>
#include <QList>
#include <QMainWindow>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTranslator>

class QTimer;
struct CommandCheck;
struct CommandInput;
struct StateReply;
class Velto_about;
class Velto_corr;
class Velto_tonight;
class Velto_help;
class Velto_list;
class Velto_sky;

namespace Ui
{
class Velto_Obj_List;
}

// The main window: one object's coordinates with the command buttons, the TCS
// user and password, the TCS state and the web host. It is itself a
// Velto_object: its object fields hold the object the TCS currently reports,
// and the list window fills the form through the set_object overrides.
class Velto_Obj_List : public QMainWindow, public Velto_object
{
    Q_OBJECT

public:
    explicit Velto_Obj_List(QWidget *parent = nullptr);
    ~Velto_Obj_List() override;

    void set_object(const QString &name, const QString &ra, const QString &dec,
                    const QString &epoch) override;
    void set_object(const QString &name, const QString &ra, const QString &dec) override;
    void set_object(const QString &ra, const QString &dec) override;

    // Sends an "AdCorr" command with these hour-angle (seconds of time) and
    // declination (arcseconds) corrections; called by the corrections window.
    void velto_send_corr(const QString &dHA, const QString &dDec);

    // The selector's change handler: the selected user is the entry's login.
    void on_velto_user_cb_currentIndexChanged(const QString &arg);

    // Inserts the form's object (or, without coordinates, its name as a
    // comment) as list row `row`.
    void insert_form_object(int row);

    // The Stop key (F12): Stop as the button sends it, from any window.
    void press_stop_key();
    // Quit without asking (a signal): rows no file holds are written beside
    // the night log first.
    void quit_on_signal();

protected:
    // Rows no file holds: the observer saves them, drops them or stays.
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_actionQuit_triggered();
    void on_velto_show_pass_btn_pressed();
    void on_velto_show_pass_btn_released();
    void on_velto_get_btn_clicked();
    void on_velto_send_btn_clicked();
    void on_velto_set_offset_btn_clicked();
    void on_velto_stop_btn_clicked();
    void on_velto_slew_btn_clicked();
    void on_velto_get_offset_btn_clicked();
    void on_velto_clear_btn_clicked();
    void on_velto_passwd_set_btn_clicked();
    void on_velto_passwd_edt_editingFinished();
    void velto_send_finish();
    void velto_get_users_finish();
    void velto_get_timer();
    void velto_view_timer();
    void velto_get_finish();
    void velto_get_error(QNetworkReply::NetworkError code);
    void velto_get_users_error(QNetworkReply::NetworkError code);
    void velto_send_error(QNetworkReply::NetworkError code);
    void velto_show_stat_msg();
    // Qt 6 has only the int signal; it hands the entry's text on.
    void on_velto_user_cb_currentIndexChanged(int index);
    void on_actionClear_list_triggered();
    void on_actionRead_and_Add_list_triggered();
    void on_actionVelto_List_triggered();
    void on_actionVelto_Sky_triggered();
    void on_actionVelto_Corr_triggered();
    void on_actionVelto_Tonight_triggered();
    void on_actionViewVelto_triggered(bool checked);
    void on_actionAZGrid_triggered(bool checked);
    void on_actionSave_list_triggered();
    void on_actionInsert_Object_triggered();
    void on_actionAdd_Object_triggered();
    void on_actionRemove_Object_triggered();
    void on_actionInsert_Comment_triggered();
    void on_actionNatLang_triggered(bool checked);
    void on_actionNight_colours_triggered(bool checked);
    void on_actionAbout_Qt_triggered();
    void on_actionAbout_triggered();
    void on_actionHelp_triggered();

private:
    friend class MainWindowProbe; // tests read the window's state through it

    void install_translator();
    void create_help_about();
    // Sets every window's texts in the current language and shows this manual.
    void retranslate_windows(const QString &manual);
    void create_windows();
    void create_timers();
    QList<QWidget *> auxiliary_windows() const; // the six beside the main window
    void create_night_tools();                  // the Stop key, the night log
    bool may_quit();                            // asks about rows no file holds

    // Request layer.
    QNetworkReply *velto_send_request(const QString &path, const QueryItems &items);
    // The finish handler disconnects and closes its reply; the error handler
    // only schedules the deletion, so the finish handler still runs after it.
    enum class ReleaseBy { Finish, Error };
    void release_reply(QPointer<QNetworkReply> &pending, QNetworkReply *reply, ReleaseBy by);
    void velto_set_color(QWidget *widget, const QString &text_color, const QString &background);
    void schedule_stat_msg(int ms);
    void show_reply_error(QNetworkReply *reply, QNetworkReply::NetworkError code);
    void show_tcs_unknown();
    // Names the file a list save did not reach in the status bar.
    void show_save_failed(const QString &path);

    // Users and login.
    void velto_get_users();

    // State polling and display.
    void velto_get_request();
    void velto_restart_get_timer(int ms);
    bool apply_state_reply(const StateReply &reply); // true when the level changed
    bool show_level(int reply_level, const QString &user);
    void show_ok_state(bool was_ok, bool level_changed);
    void show_not_ok_state(bool was_ok, const QString &status_text, bool arm_poll_timer);
    void update_set_offset_btn();
    bool moving_fast() const;

    // Telescope commands.
    void send_form_command(const QString &command);
    void velto_send_cmd(const QString &command);
    void velto_send_stop();
    void send_stop(const CommandCheck &check);
    void abandon_command();
    CommandInput command_input() const;
    void send_checked(const CommandCheck &check);
    void show_answer(const QByteArrayList &lines);

    Ui::Velto_Obj_List *form;
    QNetworkAccessManager manager;
    QTranslator translator;
    // Qt's own texts (dialogs, message box buttons) in the program's language.
    QTranslator qt_translator;
    QString locale_name;  // QLocale::system().name(), read once at start
    QString app_dir;      // directory of the executable and its data files
    QString app_name;     // QCoreApplication::applicationName()
    QString tr_base_name; // last national translation tried, no directory or suffix

    Velto_about *about_win = nullptr;
    Velto_help *help_win = nullptr;
    Velto_list *list_win = nullptr;
    Velto_sky *sky_win = nullptr;
    Velto_corr *corr_win = nullptr;
    Velto_tonight *tonight_win = nullptr;

    QString host;
    Velto_object *telescope = nullptr;
    QList<Velto_object *> *obj_list = nullptr;

    // At most one reply in flight per kind; null when none.
    QPointer<QNetworkReply> get_reply;
    QPointer<QNetworkReply> send_reply;
    QPointer<QNetworkReply> users_reply;

    QTimer *get_timer = nullptr; // the poll timer, single-shot
    int get_interval = 60000;    // ms, the poll timer's next interval
    bool from_timer = false;     // the pending state request was sent by the poll timer
    QTimer *view_timer = nullptr;
    int view_interval = 500;      // ms
    QElapsedTimer elapsed;        // since the last Ok state reply
    QTimer *stat_timer = nullptr; // runs velto_show_stat_msg once

    QString passwd;
    QString query_user;
    QString selected_user;
    int level = 0; // 1..5 from the TCS, 0 until reported
    // The logged-in user's level as last reported, kept when a reply fails.
    int known_level = 0;
    QString telmode_seen; // the last "TelMode" read, for the night log
    bool quitting_on_signal = false;
    QString pending_msg;

    // TCS state as last reported.
    bool state_ok = false;
    bool connected = false;
    QString state_text;       // "TelMode": Stop, Slew, Track, ...
    QString shown_state_text; // what velto_state_lab shows
    QString tcs_mode;         // "TCSmode": Simul, Hard, ...
    QString shown_tcs_mode;   // what velto_tcs_lab shows
    double vha = 0;           // hour-angle rate, seconds of time per second
    double vdec = 0;          // declination rate, arcseconds per second
    double tel_a = 0;         // azimuth at the reply, arcseconds
    double tel_z = 0;         // zenith distance at the reply, arcseconds
    double d_a = 0;           // azimuth rate, arcseconds per second
    double d_z = 0;           // zenith-distance rate, arcseconds per second
    QString pa_text;
    double pa = 0; // parallactic angle, degrees
    double off_ha = 0;
    double off_dec = 0;
    QString ra2000_text;
    QString dec2000_text;
    bool flip = false;
    bool get_object_flag = false;
    bool get_offset_flag = false;

    QString corr_ha;  // hour-angle correction, seconds of time
    QString corr_dec; // declination correction, arcseconds
};
