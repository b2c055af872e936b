// GUI-thread time of the Tonight table: a refresh of 1,000 list objects
// (goal at most 5 ms) with the table shown and sorted by altitude, the first
// refresh (every transit and horizon crossing worked out) apart from the
// following ones (crossings kept); the horizon crossings of 10,000 objects
// against a 360-point profile (goal at most 200 ms); and a sort of 10,000
// rows. Reports thread CPU time and wall time, medians of several runs.
#include "coords/observing_times.h"
#include "coords/sky_transform.h"
#include "coords/velto_object.h"
#include "tonight/tonight_filter.h"
#include "tonight/tonight_model.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTableView>
#include <QTimeZone>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace
{

double thread_cpu_ms()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Objects over the whole sky, the same for every run.
QList<Velto_object *> make_objects(int count)
{
    QRandomGenerator random(4242 + count);
    QList<Velto_object *> objects;
    for (int i = 0; i < count; ++i) {
        auto *object = new Velto_object;
        object->is_comment = false;
        object->name = QStringLiteral("Obj %1").arg(i);
        object->ra_sec = random.bounded(86400.0);
        object->dec_sec = (random.bounded(180.0) - 90.0) * 3600.0;
        objects << object;
    }
    return objects;
}

// A mountain horizon: one point per degree, 2 to 22 degrees high.
HorizonLimit mountains()
{
    QVector<QPointF> points;
    for (int az = 0; az < 360; ++az) {
        const double a = az * velto_pi / 180.0;
        points.append(QPointF(az, 90.0 - (12.0 + 6.0 * std::sin(3 * a) + 4.0 * std::cos(7 * a))));
    }
    return HorizonLimit(points);
}

struct Time {
    double cpu_ms;
    double wall_ms;
};

template <typename Step> Time measure(Step step)
{
    QElapsedTimer wall;
    wall.start();
    const double cpu = thread_cpu_ms();
    step();
    return {thread_cpu_ms() - cpu, static_cast<double>(wall.nsecsElapsed()) / 1e6};
}

void report(const char *what, const std::vector<Time> &times, double goal_ms)
{
    std::vector<double> cpu, wall;
    for (const Time &t : times) {
        cpu.push_back(t.cpu_ms);
        wall.push_back(t.wall_ms);
    }
    std::printf("%-52s cpu %8.2f ms  wall %8.2f ms  (goal <= %g ms)\n", what, median(cpu),
                median(wall), goal_ms);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDateTime start(QDate(2026, 12, 7), QTime(0, 0), QTimeZone::utc());
    const double sidereal = 36000.0;
    const HorizonLimit horizon = mountains();

    QList<Velto_object *> objects = make_objects(1000);
    Velto_tonight_model model(&objects);
    Velto_tonight_filter shown;
    shown.setSourceModel(&model);
    QTableView view;
    view.setModel(&shown);
    view.setSortingEnabled(true);
    view.sortByColumn(Velto_tonight_model::Alt, Qt::DescendingOrder);
    view.resize(860, 420);
    view.show();
    model.reload();
    model.set_horizon(horizon);
    std::vector<Time> first, later;
    for (int run = 0; run < 9; ++run) {
        model.set_horizon(horizon);
        first.push_back(measure([&] {
            model.refresh(start, sidereal);
            QCoreApplication::processEvents();
        }));
        for (int tick = 1; tick <= 10; ++tick) {
            const double s = run * 3600.0 + tick * 10.0;
            later.push_back(measure([&] {
                model.refresh(start.addMSecs(qint64(s * 1000)), sidereal_after(sidereal, s));
                QCoreApplication::processEvents();
            }));
        }
    }
    report("refresh 1,000 objects, first (all crossings)", first, 5);
    report("refresh 1,000 objects, every 10 s after", later, 5);

    QList<Velto_object *> many = make_objects(10000);
    std::vector<Time> crossings;
    for (int run = 0; run < 5; ++run)
        crossings.push_back(measure([&] {
            for (const Velto_object *object : many)
                seconds_to_crossing(sidereal, object->ra_sec, object->dec_sec, horizon);
        }));
    report("Until of 10,000 objects, 360-point profile", crossings, 200);

    Velto_tonight_model big(&many);
    big.reload();
    big.set_horizon(horizon);
    big.refresh(start, sidereal);
    view.setModel(nullptr);
    shown.setSourceModel(&big);
    view.setModel(&shown);
    std::vector<Time> sorts;
    for (int run = 0; run < 5; ++run)
        sorts.push_back(measure([&] {
            view.sortByColumn(run % 2 ? Velto_tonight_model::Until : Velto_tonight_model::Alt,
                              Qt::DescendingOrder);
            QCoreApplication::processEvents();
        }));
    report("sort 10,000 rows in the table", sorts, 100);
    qDeleteAll(objects);
    qDeleteAll(many);
    return 0;
}
