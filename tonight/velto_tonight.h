#pragma once

#include "tonight/tonight_clock.h"

#include <QList>
#include <QTimer>
#include <QWidget>

class QModelIndex;
class Velto_list;
class Velto_object;
class Velto_sky;
class Velto_tonight_filter;
class Velto_tonight_model;

namespace Ui
{
class Velto_tonight;
}

// What the objects of the list do tonight: a clock strip (UT, local and
// sidereal time, the age of the TCS state, the Sun) over a sortable table of
// the list's objects with their hour angle, altitude, azimuth, air mass,
// transit and the time they next set or rise behind the chart's horizon.
// It shares one selection with the list window and the chart. While it is
// hidden it computes nothing; it catches up when it is shown.
class Velto_tonight : public QWidget
{
    Q_OBJECT

public:
    Velto_tonight(QWidget *parent, const QList<Velto_object *> *objects, Velto_list *list,
                  Velto_sky *sky);
    ~Velto_tonight() override;

    void retranslateUi();

public slots:
    // A state reply was read: `ok` when its state is Ok (the shared sidereal
    // time then holds its "Stime"); whether polling runs and its interval.
    void state_seen(bool ok, bool polling, int poll_interval_ms);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private slots:
    void on_velto_only_up_chk_toggled(bool checked);
    void show_clock();
    void refresh();
    void rows_inserted(int first, int last);
    void rows_removed(int first, int last);
    void take_horizon();
    void mark_row(int row);
    void row_clicked(const QModelIndex &index);
    void row_double_clicked(const QModelIndex &index);

private:
    friend class TonightProbe; // tests reach the model through it

    void use_shown_horizon();
    void show_horizon_name();
    void fit_columns();

    Ui::Velto_tonight *form;
    Velto_list *list;
    Velto_sky *sky;
    Velto_tonight_model *model;
    Velto_tonight_filter *filter;
    TonightClock clock;
    QTimer clock_timer;   // the strip, every second
    QTimer refresh_timer; // the table, every 10 s
    bool polling = false;
    int poll_interval_ms = 0;
    double last_stime = -1;    // the last TCS sidereal time seen
    QDateTime darkness_change; // next Sun at -18 degrees; invalid: to be found
};
