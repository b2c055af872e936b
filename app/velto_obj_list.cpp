#include "app/velto_obj_list.h"

#include "app/app_files.h"
#include "app/eye_icon.h"
#include "app/field_text.h"
#include "app/velto_about.h"
#include "app/velto_help.h"
#include "coords/coord_text.h"
#include "coords/log_line.h"
#include "coords/night_log.h"
#include "coords/sky_transform.h"
#include "corr/velto_corr.h"
#include "objlist/velto_list.h"
#include "sky/velto_sky.h"
#include "tcs/tcs_host.h"
#include "tonight/velto_tonight.h"
#include "ui_velto_obj_list.h"

#include <QApplication>
#include <QDateTime>
#include <QTimer>

namespace
{

QString now_text()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

QTimer *single_shot_timer(QObject *parent, int interval_ms)
{
    auto *timer = new QTimer(parent);
    timer->setSingleShot(true);
    timer->setInterval(interval_ms);
    return timer;
}

// The Windows-menu entries: the window's own visibility is the only state.
void toggle_window(QWidget *window)
{
    window->setVisible(!window->isVisible());
}

} // namespace

Velto_Obj_List::Velto_Obj_List(QWidget *parent) : QMainWindow(parent), form(new Ui::Velto_Obj_List)
{
    form->setupUi(this);
    install_translator();

    host = default_tcs_host();
    telescope = new Velto_object;
    telescope->name = QStringLiteral("Telescope");
    obj_list = new QList<Velto_object *>;
    create_windows();
    velto_get_users();

    create_timers();
    elapsed.start();

    form->velto_host_lab->setText(host);
    // The narrow label cuts a long host; its tooltip shows the whole of it.
    form->velto_host_lab->setToolTip(Qt::convertFromPlainText(host, Qt::WhiteSpaceNoWrap));
    // Texts from the TCS and the host setting are shown as they are: never
    // rich text.
    for (QLabel *label :
         {form->velto_state_lab, form->velto_level_lab, form->velto_tcs_lab, form->velto_host_lab})
        label->setTextFormat(Qt::PlainText);
    app_dir = app_files_dir();
    app_name = app_files_name();
    QApplication::setWindowIcon(QIcon(app_file(QStringLiteral(".png"))));
    form->velto_show_pass_btn->setIcon(eye_icon());

    level = 0;
    passwd = QStringLiteral("kelpo");
    query_user = QStringLiteral("guest");
    selected_user = QStringLiteral("guest");
    name = QStringLiteral("Unknown");
    for (QPushButton *button : {form->velto_send_btn, form->velto_stop_btn, form->velto_slew_btn}) {
        button->setEnabled(false);
        button->setStyleSheet(QStringLiteral("color: gray;"));
    }

    ra2000_text = QStringLiteral("00:00:00.0");
    dec2000_text = QStringLiteral("+00:00:00.0");
    pa_text = QStringLiteral("0.0");
    tcs_mode = shown_tcs_mode = QStringLiteral("Off");
    state_text = shown_state_text = QStringLiteral("Unknown");

    calc_sidereal_time();
    log_out(QLatin1String("Velto_Obj_List start ") + now_text());
    log_out(QLatin1String("stime=") + sec_to_ra(sidereal_time));
    telescope->is_comment = false;
    create_night_tools();
}

Velto_Obj_List::~Velto_Obj_List()
{
    log_out(QLatin1String("Velto_Obj_List stop ") + now_text());
    night_log(QStringLiteral("stop"));
    delete form;
    delete tonight_win;
    delete corr_win;
    delete sky_win;
    // The list window holds the object list; its objects go with the list.
    delete list_win;
    qDeleteAll(*obj_list);
    delete help_win;
    delete about_win;
    delete obj_list;
    delete telescope;
}

void Velto_Obj_List::create_windows()
{
    create_help_about();

    list_win = new Velto_list(nullptr, obj_list);
    sky_win = new Velto_sky(nullptr, obj_list, telescope);

    list_win->set_sky(sky_win);
    list_win->set_receiver(this);
    connect(list_win, &Velto_list::save_failed, this, &Velto_Obj_List::show_save_failed);
    list_win->show();
    list_win->move(100, 10);

    connect(sky_win, &Velto_sky::object_picked, list_win, &Velto_list::select_row);
    sky_win->show();
    sky_win->set_view_ovt(false);
    sky_win->set_azgrid(false);
    sky_win->move(300, 100);

    corr_win = new Velto_corr;
    corr_win->set_main_window(this);
    connect(corr_win, &Velto_corr::correction, this, &Velto_Obj_List::velto_send_corr);
    corr_win->hide();

    tonight_win = new Velto_tonight(nullptr, obj_list, list_win, sky_win);
    tonight_win->hide();
}

QList<QWidget *> Velto_Obj_List::auxiliary_windows() const
{
    return {about_win, help_win, corr_win, tonight_win, sky_win, list_win};
}

void Velto_Obj_List::create_timers()
{
    get_interval = 60000;
    from_timer = false;
    get_timer = single_shot_timer(this, get_interval);
    connect(get_timer, &QTimer::timeout, this, &Velto_Obj_List::velto_get_timer);

    view_interval = 500;
    view_timer = single_shot_timer(this, view_interval);
    connect(view_timer, &QTimer::timeout, this, &Velto_Obj_List::velto_view_timer);

    // One timer for the status-bar rotation: each new schedule replaces the
    // older one, so an old call can never clear a newer message early.
    stat_timer = single_shot_timer(this, 3000);
    connect(stat_timer, &QTimer::timeout, this, &Velto_Obj_List::velto_show_stat_msg);
}

void Velto_Obj_List::set_object(const QString &ra, const QString &dec)
{
    show_field_text(form->velto_ra_edt, ra);
    show_field_text(form->velto_decl_edt, dec);
    form->velto_obj_edt->clear();
    form->velto_epoch_edt->clear();
    if (isHidden())
        show();
}

void Velto_Obj_List::set_object(const QString &name, const QString &ra, const QString &dec)
{
    set_object(ra, dec);
    if (!name.isEmpty())
        show_field_text(form->velto_obj_edt, name);
}

void Velto_Obj_List::set_object(const QString &name, const QString &ra, const QString &dec,
                                const QString &epoch)
{
    set_object(name, ra, dec);
    show_field_text(form->velto_epoch_edt, epoch);
}

void Velto_Obj_List::on_velto_clear_btn_clicked()
{
    form->velto_obj_edt->clear();
    form->velto_ra_edt->clear();
    form->velto_decl_edt->clear();
    form->velto_epoch_edt->clear();
    form->velto_offha_edt->setText(QStringLiteral("0.0"));
    form->velto_offdec_edt->setText(QStringLiteral("0.0"));
}

void Velto_Obj_List::on_actionVelto_List_triggered()
{
    toggle_window(list_win);
}

void Velto_Obj_List::on_actionVelto_Sky_triggered()
{
    toggle_window(sky_win);
}

void Velto_Obj_List::on_actionVelto_Corr_triggered()
{
    toggle_window(corr_win);
}

void Velto_Obj_List::on_actionVelto_Tonight_triggered()
{
    toggle_window(tonight_win);
}
