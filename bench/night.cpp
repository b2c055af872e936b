// An hour of tracking compressed: the main window with the sky chart and the
// Tonight window open on a list of objects, against the TCS simulator, which
// tracks an object and whose clock moves on one second before every state
// request. Each reply is read, the table refreshed and the chart painted
// before the next request goes out, as fast as they come. Reports the CPU
// time per reply (the program's threads; the simulator runs in a thread of
// its own, whose time is left out), what that is of one core at a one-second
// poll, and the resident memory sampled along the way. Goals: at most 0.5 %
// of one core, no growth of resident memory.
//
//     bench_night [replies, default 3600] [objects, default 1000]
#include "app/velto_obj_list.h"
#include "coords/sky_transform.h"
#include "objlist/velto_list.h"
#include "sim/tcs_sim_server.h"
#include "sky/velto_sky.h"
#include "tcs/tcs_host.h"
#include "tonight/velto_tonight.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <pthread.h>
#include <sys/resource.h>

namespace
{

// Objects spread over the sky, the same for every run.
QByteArray generated_list(int count)
{
    QRandomGenerator random(2026);
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        const int d = random.bounded(-40, 90);
        text += QByteArray::number(random.bounded(24)) + ' ' +
                QByteArray::number(random.bounded(60)) + ' ' +
                QByteArray::number(random.bounded(60.0), 'f', 1) + " : " + QByteArray::number(d) +
                ' ' + QByteArray::number(random.bounded(60)) + " 0 ; 2000.0 # Star " +
                QByteArray::number(i) + '\n';
    }
    return text;
}

// CPU seconds of the whole process and of one thread.
double process_cpu_seconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double thread_cpu_seconds(pthread_t thread)
{
    clockid_t clock{};
    timespec now{};
    if (pthread_getcpuclockid(thread, &clock) != 0 || clock_gettime(clock, &now) != 0)
        return 0;
    return now.tv_sec + now.tv_nsec / 1e9;
}

// Resident memory in MB, from /proc.
double resident_mb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// Waits for the next paint of the chart.
class PaintWaiter : public QObject
{
public:
    explicit PaintWaiter(QWidget *chart)
    {
        chart->installEventFilter(this);
        timeout.setSingleShot(true);
        connect(&timeout, &QTimer::timeout, &loop, [this] { loop.exit(1); });
    }
    bool wait(int timeout_ms)
    {
        timeout.start(timeout_ms);
        const bool painted = loop.exec() == 0;
        timeout.stop();
        return painted;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, &loop, [this] { loop.quit(); });
        return false;
    }

private:
    QEventLoop loop;
    QTimer timeout;
};

template <typename T> T *top_level()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *found = qobject_cast<T *>(widget))
            return found;
    return nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int replies = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 3600;
    const int objects = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1000;
    if (replies < 100 || objects < 0) {
        std::fprintf(stderr, "usage: bench_night [replies, at least 100] [objects]\n");
        return 2;
    }

    // The simulator in a thread of its own: its time is not the program's.
    QThread sim_thread;
    sim_thread.start();
    const std::unique_ptr<QThread, void (*)(QThread *)> stop_sim(&sim_thread, [](QThread *t) {
        t->quit();
        t->wait();
    });
    TcsSimServer *sim = nullptr;
    pthread_t sim_handle{};
    QObject anchor;
    anchor.moveToThread(&sim_thread);
    const auto in_sim = [&anchor](const std::function<void()> &work) {
        QMetaObject::invokeMethod(&anchor, work, Qt::BlockingQueuedConnection);
    };
    bool started = false;
    in_sim([&] {
        sim = new TcsSimServer;
        sim->set_request_log([](const QByteArray &) {});
        started = sim->start();
        sim->clock().set_speed(0);
        sim_handle = pthread_self();
    });
    if (!started) {
        std::fprintf(stderr, "cannot start the simulator\n");
        return 1;
    }
    set_default_tcs_host(sim->host_text());

    // Tracking an object near the meridian.
    in_sim([&] {
        // Half an hour west of the meridian: still tracked hours later.
        const double ra_hours = sidereal_time_at(sim->clock().now()) / 3600.0 + 23.5;
        const SkyTarget target{QStringLiteral("Star"), std::fmod(ra_hours, 24.0), 40.0,
                               QStringLiteral("2000.0")};
        sim->model().send(target);
        sim->model().slew(nullptr);
        for (int i = 0; i < 600 && sim->model().mode() != TelMode::Track; ++i)
            sim->clock().advance(1.0);
    });

    QTemporaryDir dir;
    const QString list_path = dir.filePath(QStringLiteral("night.lst"));
    QFile list_file(list_path);
    if (!list_file.open(QIODevice::WriteOnly) || list_file.write(generated_list(objects)) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(list_path));
        return 1;
    }
    list_file.close();

    Velto_Obj_List window;
    window.show();
    auto *list = top_level<Velto_list>();
    auto *chart = top_level<Velto_sky>();
    if (!list || !chart || !list->read_file(list_path)) {
        std::fprintf(stderr, "no list window, chart or list\n");
        return 1;
    }
    auto *tonight = top_level<Velto_tonight>();
    if (chart && !chart->isVisible())
        QMetaObject::invokeMethod(&window, "on_actionVelto_Sky_triggered");
    if (tonight && !tonight->isVisible())
        QMetaObject::invokeMethod(&window, "on_actionVelto_Tonight_triggered");
    if (!tonight || !chart->isVisible() || !tonight->isVisible()) {
        std::fprintf(stderr, "the chart and the Tonight window did not open\n");
        return 1;
    }
    PaintWaiter painted(chart);

    // A request the window does not send (one of its own is still out) or a
    // paint that came before the wait began is made up for by asking again.
    int asked_again = 0;
    const auto one_reply = [&] {
        in_sim([&] { sim->clock().advance(1.0); });
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (attempt > 0)
                ++asked_again;
            QMetaObject::invokeMethod(&window, "velto_get_timer");
            if (painted.wait(2000)) {
                QCoreApplication::processEvents(); // the table's repaint
                return true;
            }
        }
        return false;
    };
    // Warm-up: fonts, caches and the horizon profiles.
    for (int i = 0; i < 60; ++i)
        if (!one_reply()) {
            std::fprintf(stderr, "no chart paint after a state reply\n");
            return 1;
        }

    bool tracking = false;
    in_sim([&] { tracking = sim->model().mode() == TelMode::Track; });
    std::printf("%d state replies, %d objects, chart and Tonight window open, telescope %s\n",
                replies, objects, tracking ? "tracking" : "NOT tracking");
    std::printf("  replies   resident MB\n");
    const double rss_start = resident_mb();
    double rss_max = rss_start;
    std::printf("%9d  %12.1f\n", 0, rss_start);
    asked_again = 0;
    const double cpu_start = process_cpu_seconds() - thread_cpu_seconds(sim_handle);
    for (int i = 1; i <= replies; ++i) {
        if (!one_reply()) {
            std::fprintf(stderr, "reply %d: no chart paint\n", i);

            return 1;
        }
        if (i % (replies / 10) == 0) {
            // The simulator's record of requests is not the program's memory.
            in_sim([&] { sim->clear_received(); });
            const double rss = resident_mb();
            rss_max = std::max(rss_max, rss);
            std::printf("%9d  %12.1f\n", i, rss);
            std::fflush(stdout);
        }
    }
    const double cpu = process_cpu_seconds() - thread_cpu_seconds(sim_handle) - cpu_start;
    const double rss_end = resident_mb();
    std::printf("%d requests asked again\n", asked_again);
    in_sim([&] { tracking = sim->model().mode() == TelMode::Track; });
    if (!tracking)
        std::printf("the telescope stopped tracking before the end\n");
    std::printf("cpu per reply %.3f ms: %.3f %% of one core at a 1 s poll (goal <= 0.5 %%)\n",
                1000.0 * cpu / replies, 100.0 * cpu / replies);
    std::printf("resident memory %.1f MB at the start, %.1f MB at the end, %.1f MB at most "
                "(goal no growth)\n",
                rss_start, rss_end, rss_max);

    in_sim([&] { delete sim; });
    return 0;
}
