// GUI-thread time of the Tonight window with its table shown and sorted by
// altitude, against the in-process simulator's 360-point horizon: a refresh
// of 1,000 list objects (goal at most 5 ms), the first one after a jump of
// the sidereal time (every transit and horizon crossing worked out) apart
// from the following ones (crossings kept); the horizon crossings of 10,000
// objects (goal at most 200 ms); opening the window on 10,000 objects and
// sorting them. Thread CPU time and wall time, medians of several runs.
#include "coords/coord_text.h"
#include "coords/observing_times.h"
#include "coords/sky_transform.h"
#include "coords/velto_object.h"
#include "objlist/velto_list.h"
#include "sim/tcs_sim_server.h"
#include "sky/velto_sky.h"
#include "tcs/tcs_host.h"
#include "tonight/tonight_model.h"
#include "tonight/velto_tonight.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTableView>
#include <algorithm>
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
    QCoreApplication::processEvents(); // the table repaints
    return {thread_cpu_ms() - cpu, static_cast<double>(wall.nsecsElapsed()) / 1e6};
}

void report(const char *what, const std::vector<Time> &times, const char *goal)
{
    std::vector<double> cpu, wall;
    for (const Time &t : times) {
        cpu.push_back(t.cpu_ms);
        wall.push_back(t.wall_ms);
    }
    std::printf("%-50s cpu %8.2f ms  wall %8.2f ms  (goal %s)\n", what, median(cpu), median(wall),
                goal);
    std::fflush(stdout);
}

// Objects over the whole sky, the same for every run, as list rows.
void fill_list(Velto_list &list, int count)
{
    QRandomGenerator random(4242 + count);
    list.clear_list();
    for (int i = 0; i < count; ++i)
        list.insert_object(i, QStringLiteral("Obj %1").arg(i), sec_to_ra(random.bounded(86400.0)),
                           sec_to_dec((random.bounded(180.0) - 90.0) * 3600.0),
                           QStringLiteral("2000.0"));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TcsSimServer sim;
    if (!sim.start()) {
        std::fprintf(stderr, "cannot start the simulator: %s\n", qPrintable(sim.error_text()));
        return 1;
    }
    set_default_tcs_host(sim.host_text());
    calc_sidereal_time();

    QList<Velto_object *> objects;
    Velto_list list(nullptr, &objects);
    Velto_object telescope;
    Velto_sky sky(nullptr, &objects, &telescope);
    list.set_sky(&sky);
    Velto_tonight tonight(nullptr, &objects, &list, &sky);
    QElapsedTimer waited;
    waited.start();
    while (sky.shown_horizon().isEmpty() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

    fill_list(list, 1000);
    tonight.show();
    auto *view = tonight.findChild<QTableView *>();
    view->sortByColumn(Velto_tonight_model::Alt, Qt::DescendingOrder);
    QCoreApplication::processEvents();
    // Each state reply brings a new sidereal time: a second on, or an hour
    // (a new clock) for the first refresh of a run.
    std::vector<Time> first, later;
    for (int run = 0; run < 9; ++run) {
        first.push_back(measure([&] {
            sidereal_time = sidereal_after(sidereal_time, 3600);
            tonight.state_seen(true, true, 5000);
        }));
        for (int tick = 0; tick < 10; ++tick)
            later.push_back(measure([&] {
                sidereal_time = sidereal_after(sidereal_time, 1);
                tonight.state_seen(true, true, 5000);
            }));
    }
    report("refresh of 1,000 objects, new clock", first, "<= 5 ms");
    report("refresh of 1,000 objects, next state reply", later, "<= 5 ms");

    std::vector<Time> crossings;
    const HorizonLimit horizon(sky.shown_horizon());
    for (int run = 0; run < 5; ++run)
        crossings.push_back(measure([&] {
            for (const Velto_object *object : objects)
                for (int k = 0; k < 10; ++k)
                    seconds_to_crossing(sidereal_time + k * 8640, object->ra_sec, object->dec_sec,
                                        horizon);
        }));
    report("Until of 10,000 objects, 360-point profile", crossings, "<= 200 ms");

    tonight.hide();
    fill_list(list, 10000);
    std::vector<Time> opening{measure([&] { tonight.show(); })};
    report("opening the window on 10,000 objects", opening, "no stall");
    std::vector<Time> sorts;
    for (int run = 0; run < 5; ++run)
        sorts.push_back(measure([&] {
            view->sortByColumn(run % 2 ? Velto_tonight_model::Until : Velto_tonight_model::Alt,
                               Qt::DescendingOrder);
        }));
    report("sort of 10,000 rows", sorts, "no stall");
    std::vector<Time> big;
    for (int tick = 0; tick < 5; ++tick)
        big.push_back(measure([&] {
            sidereal_time = sidereal_after(sidereal_time, 1);
            tonight.state_seen(true, true, 5000);
        }));
    report("refresh of 10,000 objects, next state reply", big, "no stall");
    list.clear_list();
    return 0;
}
