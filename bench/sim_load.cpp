// Load of the simulator: sequential state requests with credentials through
// QNetworkAccessManager against the in-process server, as the program polls.
// The server's log lines go to standard output and the result to standard
// error: run it as "bench_sim_load >/dev/null" to time the server, not the
// terminal.
#include "sim/tcs_sim_server.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <cstdio>

namespace
{

constexpr int request_count = 2000;

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TcsSimServer sim;
    if (!sim.start()) {
        std::fprintf(stderr, "cannot start the simulator: %s\n", qPrintable(sim.error_text()));
        return 1;
    }
    QNetworkAccessManager nam;
    const QUrl url(
        QStringLiteral("http://%1/tcs/vtcs_get.cgi?User=oper&Pass=dome3").arg(sim.host_text()));
    int failures = 0;
    qint64 bytes = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < request_count; ++i) {
        QNetworkReply *reply = nam.get(QNetworkRequest(url));
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        const QByteArray body = reply->readAll();
        if (reply->error() != QNetworkReply::NoError || !body.startsWith("State=Ok\n"))
            ++failures;
        bytes += body.size();
        reply->deleteLater();
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    std::fprintf(stderr,
                 "sim_load: %d sequential state requests in %.3f s: %.0f requests/s, "
                 "%.1f ms each, %lld bytes, %d failed, %lld targets recorded\n",
                 request_count, seconds, request_count / seconds, 1000.0 * seconds / request_count,
                 static_cast<long long>(bytes), failures,
                 static_cast<long long>(sim.received_targets().size()));
    return failures == 0 && sim.received_targets().size() == request_count ? 0 : 1;
}
