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
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply](qint64 received, qint64 total) {
                         if (received > tcs_max_reply_bytes || total > tcs_max_reply_bytes)
                             reply->abort();
                     });
    return reply;
}

QString reply_error_text(const QNetworkReply &reply)
{
    QString text = reply.errorString();
    const QString encoded =
        QUrlQuery(reply.url()).queryItemValue(QStringLiteral("Pass"), QUrl::FullyEncoded);
    if (encoded.isEmpty())
        return text;
    const QString decoded = QUrl::fromPercentEncoding(encoded.toUtf8());
    for (const QString &password : {encoded, decoded})
        text.replace(QLatin1String("Pass=") + password, QStringLiteral("Pass=****"));
    return text;
}

QByteArrayList read_reply_lines(QNetworkReply &reply)
{
    QByteArrayList lines;
    while (!reply.atEnd())
        lines << reply.readLine();
    return lines;
}
