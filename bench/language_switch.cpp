// Switches the whole program between English and Russian, with the project's
// translation and manuals, and reports the milliseconds of one switch and of
// its parts: rebuilding the about text and loading the manual. Goal on the
// development machine: a switch well under 100 ms, so it feels immediate.
//
//     bench_language_switch [round trips]

#include "app/app_files.h"
#include "app/velto_about.h"
#include "app/velto_help.h"
#include "app/velto_obj_list.h"
#include "sim/tcs_sim_server.h"
#include "tcs/tcs_host.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <clocale>
#include <cstdio>
#include <functional>

namespace
{

// Mean milliseconds of one call of step over rounds calls.
double mean_ms(int rounds, const std::function<void()> &step)
{
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < rounds; ++i)
        step();
    return clock.nsecsElapsed() / 1e6 / rounds;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? QByteArray(argv[1]).toInt() : 50;
    // The program's own data files under the program's own name.
    QCoreApplication::setApplicationName(QStringLiteral("Velto_Obj_List"));
    set_app_files_dir(QStringLiteral(VELTO_DATA_DIR));
    TcsSimServer sim; // answers the users list, so no error box interrupts
    if (!sim.start())
        return 1;
    set_default_tcs_host(sim.host_text());

    Velto_Obj_List window;
    window.show();
    auto *action = window.findChild<QAction *>(QStringLiteral("actionNatLang"));
    const double round_trip = mean_ms(rounds, [&] {
        action->trigger(); // national
        action->trigger(); // English again
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });

    Velto_about about;
    const double about_text = mean_ms(rounds, [&] {
        about.set_about_text();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    Velto_help help;
    help.show(); // a hidden window lays the manual out only when it is shown
    const QString manual = app_file(QStringLiteral("_ru_RU.html"));
    const double manual_load = mean_ms(rounds, [&] { help.load_help(manual); });

    std::setlocale(LC_NUMERIC, "C"); // a decimal point whatever the system's language
    std::printf("language switch, there and back: %.2f ms (one switch %.2f ms)\n", round_trip,
                round_trip / 2);
    std::printf("about text rebuilt:               %.2f ms\n", about_text);
    std::printf("Russian manual loaded:            %.2f ms\n", manual_load);
    return 0;
}
