#include "app/quit_signals.h"

#include "app/velto_obj_list.h"

#include <QCoreApplication>
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

} // namespace

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

void quit_on_caught_signals(Velto_Obj_List &window)
{
    if (signal_pipe[0] < 0)
        return;
    auto *notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(signal_pipe[0], &byte, 1);
        window.quit_on_signal();
        // Closing the last window only asks the application to quit, and an
        // open modal box (or one a late reply opens) would keep it running:
        // end every event loop, the box's too.
        QCoreApplication::exit(0);
    });
}
