#include "coords/log_line.h"
#include "sky/velto_sky.h"
#include "tcs/tcs_host.h"
#include "tcs/tcs_request.h"
#include "tcs/tcs_url.h"

#include <QMessageBox>

// The horizon profiles come from the TCS web host once, shortly after start,
// through the chart's own network manager. At most one request is in flight;
// whichever handler clears the pending pointer releases that reply.

void Velto_sky::request_horizon(bool direct)
{
    const QLatin1String key = direct ? QLatin1String("dir") : QLatin1String("rev");
    if (horizon_reply) {
        log_err(QLatin1String("velto_horizon.") + key + QLatin1String(" read error "));
        return;
    }
    // The same time-out, size limit and redirect rule as every TCS request.
    QNetworkReply *reply =
        get_tcs(manager, tcs_url(host, QLatin1String("/tcs/velto_horizon.php?") + key));
    horizon_reply = reply;
    connect_reply(reply, this, &Velto_sky::get_horizon_finish, &Velto_sky::get_horizon_error);
}

void Velto_sky::get_horizon_line()
{
    request_horizon(false);
}

void Velto_sky::release_horizon_reply(QNetworkReply *reply)
{
    if (!reply || reply != horizon_reply)
        return;
    horizon_reply = nullptr;
    reply->close();
    reply->deleteLater();
}

void Velto_sky::get_horizon_finish()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply || reply != horizon_reply)
        return; // already released by the error handler
    if (reply->error() != QNetworkReply::NoError) {
        release_horizon_reply(reply);
        return;
    }
    const HorizonReading reading = read_horizon(*reply);
    HorizonSet &set = reading.target == HorizonKind::Direct ? direct_horizon : reverse_horizon;
    for (int i = 0; i < reading.points.size(); ++i)
        set.points[i] = reading.points.at(i);
    set.count = static_cast<int>(reading.points.size());
    log_err(horizon_loading_line(reading));
    release_horizon_reply(reply);
    emit horizon_changed();
}

void Velto_sky::get_horizon_error(QNetworkReply::NetworkError code)
{
    // The box below runs a nested event loop: hold on to this very reply.
    QPointer<QNetworkReply> reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply)
        return;
    const QString message = reply_error_text(*reply);
    log_err(QLatin1String("Velto horizon read error ") + QString::number(static_cast<int>(code)) +
            QLatin1Char(' ') + message);
    QMessageBox::warning(this, default_tcs_host() + QLatin1String(" HTTP error"), message,
                         QMessageBox::Ok);
    release_horizon_reply(reply);
}

QVector<QPointF> Velto_sky::shown_horizon() const
{
    const HorizonSet &set = tel_flip ? reverse_horizon : direct_horizon;
    QVector<QPointF> points;
    points.reserve(set.count);
    for (int i = 0; i < set.count; ++i)
        points.append(QPointF(set.points[i].azimuth, set.points[i].zenith_dist));
    return points;
}
