// Round trips of telescope commands through the main window against the
// in-process TCS simulator: from the press of Stop to the answer's first line
// in the status bar. Reports commands per second and the mean round trip.

#include "app/velto_obj_list.h"
#include "sim/tcs_sim_server.h"
#include "tcs/tcs_host.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStatusBar>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000;
    if (count <= 0) {
        std::fprintf(stderr, "usage: bench_commands [number of commands]\n");
        return 2;
    }

    TcsSimServer sim;
    if (!sim.start()) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.error_text()));
        return 1;
    }
    set_default_tcs_host(sim.host_text());
    Velto_Obj_List window;

    // Each answer's first line ends one round trip (the guest's Stop is
    // refused by the TCS, which answers all the same); the answer handler has
    // released its reply when the loop returns, so the next Stop is sent.
    QEventLoop loop;
    QObject::connect(window.statusBar(), &QStatusBar::messageChanged, &loop,
                     [&loop](const QString &text) {
                         if (!text.isEmpty())
                             loop.quit();
                     });
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < count; ++i) {
        timeout.start(15000);
        window.statusBar()->clearMessage();
        QMetaObject::invokeMethod(&window, "on_velto_stop_btn_clicked");
        if (loop.exec() != 0) {
            std::fprintf(stderr, "command %d: no answer within 15 s\n", i + 1);
            return 1;
        }
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("%d Stop commands in %.3f s: %.0f commands/s, %.3f ms per round trip\n", count,
                seconds, count / seconds, 1000.0 * seconds / count);
    return 0;
}
