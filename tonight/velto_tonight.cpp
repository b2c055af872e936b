#include "tonight/velto_tonight.h"

#include "coords/observing_times.h"
#include "coords/sky_transform.h"
#include "coords/sun_position.h"
#include "objlist/velto_list.h"
#include "sky/velto_sky.h"
#include "tonight/tonight_filter.h"
#include "tonight/tonight_model.h"
#include "ui_velto_tonight.h"

#include <QHeaderView>
#include <cmath>

namespace
{

// Astronomical twilight: the night is dark with the Sun this far below.
constexpr double night_sun_altitude = -18.0;

QString sidereal_text(double seconds)
{
    const int s = static_cast<int>(seconds);
    return QTime(0, 0).addSecs(s).toString(QStringLiteral("hh:mm:ss"));
}

} // namespace

Velto_tonight::Velto_tonight(QWidget *parent, const QList<Velto_object *> *objects,
                             Velto_list *list, Velto_sky *sky)
    : QWidget(parent), form(new Ui::Velto_tonight), list(list), sky(sky),
      model(new Velto_tonight_model(objects, this)), filter(new Velto_tonight_filter(this))
{
    form->setupUi(this);
    filter->setSourceModel(model);
    QTableView *view = form->velto_objects_tbl;
    view->setModel(filter);
    view->sortByColumn(-1, Qt::AscendingOrder);
    view->verticalHeader()->hide();
    // Columns fitted to their texts when the window opens, rows arrive or the
    // language changes, not at every refresh: fitting reads the rows.
    view->horizontalHeader()->setResizeContentsPrecision(200);
    view->horizontalHeader()->setStretchLastSection(true);
    connect(view, &QTableView::clicked, this, &Velto_tonight::row_clicked);
    connect(view, &QTableView::doubleClicked, this, &Velto_tonight::row_double_clicked);
    connect(list, &Velto_list::rows_inserted, this, &Velto_tonight::rows_inserted);
    connect(list, &Velto_list::rows_removed, this, &Velto_tonight::rows_removed);
    connect(list, &Velto_list::row_marked, this, &Velto_tonight::mark_row);
    connect(sky, &Velto_sky::horizon_changed, this, &Velto_tonight::take_horizon);
    // A coarse timer may come up to 5 % late, and the strip's clocks would now
    // and then skip a second.
    clock_timer.setTimerType(Qt::PreciseTimer);
    clock_timer.setInterval(1000);
    connect(&clock_timer, &QTimer::timeout, this, &Velto_tonight::show_clock);
    refresh_timer.setInterval(10000);
    connect(&refresh_timer, &QTimer::timeout, this, &Velto_tonight::refresh);
}

Velto_tonight::~Velto_tonight()
{
    delete form;
}

void Velto_tonight::retranslateUi()
{
    form->retranslateUi(this);
    model->retranslate();
    if (isVisible()) {
        show_horizon_name();
        show_clock();
        fit_columns();
    }
}

void Velto_tonight::state_seen(bool ok, bool polling_runs, int interval_ms)
{
    polling = polling_runs;
    poll_interval_ms = interval_ms;
    if (!ok)
        return;
    const bool new_stime = sidereal_time != last_stime;
    last_stime = sidereal_time;
    clock.state_ok(QDateTime::currentDateTimeUtc(), sidereal_time);
    if (!isVisible())
        return;
    if (new_stime)
        refresh();
    else
        show_clock();
}

void Velto_tonight::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    use_shown_horizon();
    model->reload();
    refresh();
    fit_columns();
    mark_row(list->current_row());
    clock_timer.start();
    refresh_timer.start();
}

void Velto_tonight::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    clock_timer.stop();
    refresh_timer.stop();
}

void Velto_tonight::on_velto_only_up_chk_toggled(bool checked)
{
    filter->set_only_up(checked);
}

void Velto_tonight::refresh()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    model->refresh(now, clock.sidereal_at(now));
    darkness_change = QDateTime();
    show_clock();
}

void Velto_tonight::show_clock()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const double lst = clock.sidereal_at(now);
    form->velto_ut_lab->setText(
        tr("UT %1").arg(now.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
    form->velto_local_lab->setText(
        tr("Local %1").arg(now.toLocalTime().toString(QStringLiteral("hh:mm:ss"))));
    form->velto_lst_lab->setText(clock.has_state()
                                     ? tr("LST %1").arg(sidereal_text(lst))
                                     : tr("LST %1 (computer clock)").arg(sidereal_text(lst)));

    QLabel *age = form->velto_state_age_lab;
    const bool stale = clock.has_state() && clock.is_stale(now, polling, poll_interval_ms);
    if (!clock.has_state())
        age->setText(tr("no TCS state"));
    else if (stale)
        age->setText(tr("TCS state %1 s old, stale").arg(clock.state_age(now)));
    else
        age->setText(tr("TCS state %1 s old").arg(clock.state_age(now)));
    age->setStyleSheet(stale ? QStringLiteral("color: red;") : QString());

    const double sun = sun_altitude(now, lst);
    if (!darkness_change.isValid() || darkness_change <= now) {
        const double s = seconds_to_sun_altitude(now, lst, night_sun_altitude);
        darkness_change = s < 0 ? QDateTime() : now.addMSecs(std::llround(s * 1000.0));
    }
    const QString altitude = QString::number(sun, 'f', 1);
    if (!darkness_change.isValid())
        form->velto_sun_lab->setText(tr("Sun %1°").arg(altitude));
    else if (sun < night_sun_altitude)
        form->velto_sun_lab->setText(
            tr("Sun %1°, night until %2 UT")
                .arg(altitude, darkness_change.addSecs(30).toString(QStringLiteral("hh:mm"))));
    else
        form->velto_sun_lab->setText(
            tr("Sun %1°, dark at %2 UT")
                .arg(altitude, darkness_change.addSecs(30).toString(QStringLiteral("hh:mm"))));
}

void Velto_tonight::rows_inserted(int first, int last)
{
    if (!isVisible())
        return;
    model->insert_rows(first, last);
    fit_columns();
}

void Velto_tonight::rows_removed(int first, int last)
{
    if (isVisible())
        model->remove_rows(first, last);
}

void Velto_tonight::take_horizon()
{
    if (!isVisible())
        return;
    use_shown_horizon();
    refresh();
}

// The horizon the chart draws now becomes the table's, and the strip names it.
void Velto_tonight::use_shown_horizon()
{
    model->set_horizon(HorizonLimit(sky->shown_horizon()));
    show_horizon_name();
}

void Velto_tonight::show_horizon_name()
{
    if (sky->shown_horizon().isEmpty())
        form->velto_horizon_lab->setText(tr("Horizon: altitude 0 (no TCS profile)"));
    else if (sky->shows_reverse_horizon())
        form->velto_horizon_lab->setText(tr("Horizon: TCS reverse profile"));
    else
        form->velto_horizon_lab->setText(tr("Horizon: TCS direct profile"));
}

// Every column but the last, which takes the rest of the width.
void Velto_tonight::fit_columns()
{
    for (int column = 0; column < Velto_tonight_model::Until; ++column)
        form->velto_objects_tbl->resizeColumnToContents(column);
}

void Velto_tonight::mark_row(int row)
{
    if (!isVisible())
        return;
    QTableView *view = form->velto_objects_tbl;
    const QModelIndex at = filter->mapFromSource(model->index(row, 0));
    if (!at.isValid()) {
        view->clearSelection();
        return;
    }
    view->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect |
                                                    QItemSelectionModel::Rows);
    view->scrollTo(at);
}

void Velto_tonight::row_clicked(const QModelIndex &index)
{
    list->mark_row(filter->mapToSource(index).row());
}

void Velto_tonight::row_double_clicked(const QModelIndex &index)
{
    list->velto_list_choice(filter->mapToSource(index).row());
}
