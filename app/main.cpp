#include "app/velto_obj_list.h"

#include <QAction>
#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

int signal_pipe[2] = {-1, -1};

// Runs inside the signal: only async-signal-safe calls, so it merely wakes
// the event loop through the socket pair.
void note_signal(int signal_number)
{
    const char byte = static_cast<char>(signal_number);
    [[maybe_unused]] const ssize_t written = ::write(signal_pipe[1], &byte, 1);
}

// A desktop logout (SIGTERM), Ctrl+C (SIGINT) and a closed terminal (SIGHUP)
// end the program as the Quit action does: every window closes, the main
// window writes its stop line and the exit status is 0. A signal that comes
// before the main window is ready waits in the socket.
void catch_quit_signals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signal_pipe) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = note_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal_number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal_number, &action, nullptr);
}

void quit_on_caught_signals(QAction *quit)
{
    if (signal_pipe[0] < 0)
        return;
    auto *notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, quit);
    QObject::connect(notifier, &QSocketNotifier::activated, quit, [quit] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(signal_pipe[0], &byte, 1);
        quit->trigger();
        // Closing the last window only asks the application to quit, and an
        // open modal box (or one a late reply opens) would keep it running:
        // end every event loop, the box's too.
        QCoreApplication::exit(0);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int code = 0;
    catch_quit_signals();
    {
        Velto_Obj_List window;
        quit_on_caught_signals(window.findChild<QAction *>(QStringLiteral("actionQuit")));
        // The toolkit leaves the program's own option among the arguments.
        if (app.arguments().mid(1).contains(QLatin1String("--night")))
            window.findChild<QAction *>(QStringLiteral("actionNight_colours"))->trigger();
        window.show();
        code = QApplication::exec();
    } // the main window writes its stop line here
    return code;
}
