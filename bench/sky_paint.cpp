// Paint time of the sky chart at its natural side of 550 pixels with the
// HA/Dec grid, the horizon outline from the in-process simulator, a tracking
// telescope, a selected object and 100, 1,000 and 10,000 list objects.
// Reports the median of many paints for each list size; the goal is under
// 8 ms (half a frame at 60 Hz) at 10,000 objects and linear growth.
#include "coords/coord_text.h"
#include "coords/sky_transform.h"
#include "coords/velto_object.h"
#include "sim/tcs_sim_server.h"
#include "sky/velto_sky.h"
#include "tcs/tcs_host.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace
{

constexpr int chart_side = 550;
constexpr int paints_per_size = 60;

// Objects spread over the sky that rises at the site, the same for every run.
QList<Velto_object *> make_objects(int count)
{
    QRandomGenerator random(1000 + count);
    QList<Velto_object *> objects;
    for (int i = 0; i < count; ++i) {
        auto *object = new Velto_object;
        const double ra = random.bounded(86400.0);
        const double dec = random.bounded(136.0) - 46.0;
        object->set_object(QStringLiteral("Obj %1").arg(i), sec_to_ra(ra), sec_to_dec(dec * 3600),
                           QStringLiteral("2000.0"));
        object->is_comment = false;
        objects << object;
    }
    return objects;
}

// Runs the event loop until the chart has both horizon profiles.
void wait_for_horizons(TcsSimServer &sim)
{
    int answered = 0;
    QObject::connect(&sim, &TcsSimServer::request_answered, [&answered] { ++answered; });
    QElapsedTimer waited;
    waited.start();
    while (answered < 2 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    while (waited.elapsed() < 5200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// CPU time of this thread: on a machine shared with other work the wall
// clock also counts the time other processes had the processor.
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

struct PaintTime {
    double wall_ms;
    double cpu_ms;
};

// With new_sidereal_time every paint follows a state reply that moved the
// sidereal time, so the grid and every object are placed again; without, the
// paints repeat at one sidereal time (a pick, a telescope move between
// replies, an expose).
PaintTime median_paint(Velto_sky &sky, bool new_sidereal_time)
{
    QImage image(chart_side, chart_side, QImage::Format_RGB32);
    sky.render(&image); // warm-up: fonts and glyph caches
    std::vector<double> wall, cpu;
    QElapsedTimer timer;
    for (int i = 0; i < paints_per_size; ++i) {
        if (new_sidereal_time)
            sidereal_time = 40000 + i + 1;
        const double cpu_start = thread_cpu_ms();
        timer.start();
        sky.render(&image);
        wall.push_back(timer.nsecsElapsed() / 1e6);
        cpu.push_back(thread_cpu_ms() - cpu_start);
    }
    return {median(wall), median(cpu)};
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TcsSimServer sim;
    if (!sim.start()) {
        std::fprintf(stderr, "cannot start the simulator: %s\n", qPrintable(sim.error_text()));
        return 1;
    }
    set_default_tcs_host(sim.host_text());
    sidereal_time = 40000;

    Velto_object telescope;
    telescope.is_comment = false;
    telescope.azimuth = 30 * 3600.0;
    telescope.zenith_dist = 40 * 3600.0;
    QList<Velto_object *> objects;
    Velto_sky sky(nullptr, &objects, &telescope);
    sky.resize(chart_side, chart_side);
    sky.set_tcs_ok(true);
    wait_for_horizons(sim);

    objects.clear();
    std::printf("median paint of %d, ms; per object, us\n", paints_per_size);
    for (bool new_sidereal_time : {true, false}) {
        std::printf(new_sidereal_time ? "\nnew sidereal time at every paint\n"
                                      : "\nthe same sidereal time\n");
        std::printf("objects     wall      cpu   cpu per object\n");
        const PaintTime empty = median_paint(sky, new_sidereal_time);
        std::printf("%7d  %7.3f  %7.3f\n", 0, empty.wall_ms, empty.cpu_ms);
        for (int count : {100, 1000, 10000}) {
            objects = make_objects(count);
            sky.set_selected(count / 2);
            const PaintTime t = median_paint(sky, new_sidereal_time);
            std::printf("%7d  %7.3f  %7.3f  %15.3f\n", count, t.wall_ms, t.cpu_ms,
                        (t.cpu_ms - empty.cpu_ms) * 1000.0 / count);
            std::fflush(stdout);
            qDeleteAll(objects);
            objects.clear();
        }
    }
    return 0;
}
