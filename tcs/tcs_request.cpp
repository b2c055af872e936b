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
    // A body announced too large is refused with its headers; one that comes
    // without a length is cut off as soon as it passes the limit.
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > tcs_max_reply_bytes)
            reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received) {
        if (received > tcs_max_reply_bytes)
            reply->abort();
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
    for (const auto format : {QUrl::PrettyDecoded, QUrl::FullyEncoded, QUrl::FullyDecoded})
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
