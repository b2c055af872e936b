#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QTimer>
#include <optional>

class QUrl;

// The request bytes of one HTTP/1.0 GET of the URL's path and query: the
// connection closes after the answer, so nothing is ever sent on it again.
QByteArray http_get_bytes(const QUrl &url);

// The status line and headers of an answer.
struct HttpHead {
    int status = 0;
    QByteArray reason;
    qint64 content_length = -1; // -1: the body ends with the connection
    qsizetype size = 0;         // bytes of the head, its blank line included
};

// The head at the start of the bytes once its blank line has arrived;
// nothing while it is incomplete. A head that is not HTTP has status 0.
std::optional<HttpHead> parse_http_head(const QByteArray &bytes);

// The error Qt's HTTP layer reports for an answer status (NoError below 400).
QNetworkReply::NetworkError http_status_error(int status);

// A command request: Qt's HTTP layer silently sends a GET again when the host
// closes the connection without answering, and a command (an added
// correction above all) must never reach the TCS twice. This reply sends its
// request once on a connection of its own and reports what Qt's would: the
// same error codes and texts, the error signal before the finished one, the
// transfer time-out, the size limit and no redirects followed.
class CommandReply : public QNetworkReply
{
    Q_OBJECT

public:
    explicit CommandReply(const QUrl &url, QObject *parent = nullptr);
    ~CommandReply() override;

    void abort() override;
    qint64 bytesAvailable() const override;
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 max_size) override;

private:
    void read_socket();
    bool read_head();
    void socket_failed(QAbstractSocket::SocketError error);
    void connection_ended();
    void complete();
    QString status_error_text() const;
    void end_reply(NetworkError code, const QString &text);
    void add_to_body(const QByteArray &bytes);
    bool body_complete() const;

    QTcpSocket socket;
    QTimer transfer_timer;
    QByteArray head_bytes;
    std::optional<HttpHead> head;
    QByteArray body;
};
