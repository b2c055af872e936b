// Starts a program and waits, without polling, until a top-level window with
// the given title is mapped. Prints "<milliseconds from launch> <pid>" on
// standard output, then waits for the program to end. The program's own
// standard output and error go to this watcher's standard error.
//
//     bench_map_watch <title> <program> [arguments...]
//
// The root window's SubstructureNotify events report every top-level window
// created and mapped; the title is read when the window is mapped (the toolkit
// sets it before mapping). Exits 1 when the program ends before its window is
// mapped or the display cannot be opened.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace
{

double now_ms()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

std::string window_title(xcb_connection_t *x, xcb_window_t window)
{
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(x, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(x, cookie, nullptr);
    std::string title;
    if (reply) {
        title.assign(static_cast<const char *>(xcb_get_property_value(reply)),
                     size_t(xcb_get_property_value_length(reply)));
        std::free(reply);
    }
    return title;
}

// True once the child has ended (it is reaped then).
bool child_ended(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s title program [arguments...]\n", argv[0]);
        return 2;
    }
    const std::string title = argv[1];
    xcb_connection_t *x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "cannot open the display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_request_check(x, xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask));

    const double start = now_ms();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(2, 1);
        execvp(argv[2], argv + 2);
        std::fprintf(stderr, "cannot start %s: %s\n", argv[2], std::strerror(errno));
        _exit(127);
    }
    if (pid < 0)
        return 1;

    // A child that ends is noticed at once: SIGCHLD interrupts the wait on
    // the connection's socket (the timeout covers an end before the handler).
    signal(SIGCHLD, [](int) {});
    const int fd = xcb_get_file_descriptor(x);
    while (true) {
        xcb_generic_event_t *event = xcb_poll_for_event(x);
        if (!event) {
            if (xcb_connection_has_error(x) || child_ended(pid))
                return 1;
            fd_set read_set;
            FD_ZERO(&read_set);
            FD_SET(fd, &read_set);
            timeval timeout{0, 100000};
            select(fd + 1, &read_set, nullptr, nullptr, &timeout);
            continue;
        }
        const double at = now_ms();
        const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
        const xcb_window_t window =
            mapped ? reinterpret_cast<xcb_map_notify_event_t *>(event)->window : 0;
        std::free(event);
        if (mapped && window_title(x, window) == title) {
            std::printf("%.1f %d\n", at - start, int(pid));
            std::fflush(stdout);
            xcb_disconnect(x);
            int status = 0;
            waitpid(pid, &status, 0);
            return 0;
        }
    }
}
