#pragma once

#include <QByteArrayList>
#include <QNetworkReply>
#include <QString>

class QNetworkAccessManager;
class QUrl;

// A host that accepts the connection and never answers would keep a request
// kind busy for ever: every request gives up after this time (15 s; tests
// shorten it) and reports QNetworkReply::OperationCanceledError.
int tcs_transfer_timeout_ms();
void set_tcs_transfer_timeout_ms(int ms);
// A reply body larger than this is aborted and handled as a failed request.
constexpr qint64 tcs_max_reply_bytes = qint64(1024) * 1024;

// Sends one GET request with the time-out, the size limit and no automatic
// redirects (a 3xx answer is a reply like any other).
QNetworkReply *get_tcs(QNetworkAccessManager &manager, const QUrl &url);

// Connects a reply's finished and error signals to its handlers. Both are
// queued: the handlers (and the modal boxes they open) run from the event loop,
// never inside Qt's own processing of the reply, and the error still comes first.
template <typename Receiver, typename Finish, typename Error>
void connect_reply(QNetworkReply *reply, Receiver *receiver, Finish finish, Error error)
{
    QObject::connect(reply, &QNetworkReply::finished, receiver, finish, Qt::QueuedConnection);
    QObject::connect(reply, &QNetworkReply::errorOccurred, receiver, error, Qt::QueuedConnection);
}

// The reply's error text with the password of its query hidden: Qt's texts
// for HTTP errors quote the whole URL.
QString reply_error_text(const QNetworkReply &reply);

// The reply's lines as read, each with its terminator.
QByteArrayList read_reply_lines(QNetworkReply &reply);
