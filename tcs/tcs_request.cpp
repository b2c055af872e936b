#include "tcs/tcs_request.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrlQuery>

namespace
{

int &transfer_timeout_setting()
{
    static int ms = 15000;
    return ms;
}

} // namespace

int tcs_transfer_timeout_ms()
{
    return transfer_timeout_setting();
}

void set_tcs_transfer_timeout_ms(int ms)
{
    transfer_timeout_setting() = ms;
}

QNetworkReply *get_tcs(QNetworkAccessManager &manager, const QUrl &url)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(tcs_transfer_timeout_ms());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply *reply = manager.get(request);
    // A larger body is refused with its headers when its length says so, or as
    // soon as the received part passes the limit; the reply buffers at most
    // 64 KiB past it meanwhile. (With room for just one byte more, Qt stopped
    // reading a body of exactly the limit before its end, until the transfer
    // timeout gave it up.) The abort is immediate, so no data or "finished"
    // already on its way can slip past it; the handlers run queued, never
    // inside it. Both checks may fire for one reply: only a running one is aborted.
    reply->setReadBufferSize(tcs_max_reply_bytes + 64 * 1024);
    const auto abort_if_running = [reply] {
        if (reply->isRunning())
            reply->abort();
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, abort_if_running] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > tcs_max_reply_bytes)
            abort_if_running();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, abort_if_running] {
        if (reply->bytesAvailable() > tcs_max_reply_bytes)
            abort_if_running();
    });
    return reply;
}

QString reply_error_text(const QNetworkReply &reply)
{
    QString text = reply.errorString();
    const QUrl url = reply.url();
    QUrlQuery query(url);
    if (!query.hasQueryItem(QStringLiteral("Pass")))
        return text;
    auto items = query.queryItems(QUrl::FullyEncoded);
    for (auto &[key, value] : items)
        if (key == QLatin1String("Pass"))
            value = QStringLiteral("****");
    query.setQueryItems(items);
    QUrl masked = url;
    masked.setQuery(query);
    // The text may quote the URL encoded, decoded or in between: the same form
    // of the masked URL replaces it.
    for (const auto format : {QUrl::PrettyDecoded, QUrl::FullyEncoded})
        text.replace(url.toString(format), masked.toString(format));
    return text;
}

QByteArrayList read_reply_lines(QNetworkReply &reply)
{
    QByteArrayList lines;
    while (!reply.atEnd())
        lines << reply.readLine();
    return lines;
}
