#include "tcs/command_request.h"

#include "tcs/tcs_request.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QUrl>
#include <algorithm>

namespace
{

qint64 content_length(const QList<QByteArray> &header_lines)
{
    for (const QByteArray &line : header_lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == "content-length") {
            bool ok = false;
            const qint64 length = line.mid(colon + 1).trimmed().toLongLong(&ok);
            return ok && length >= 0 ? length : -1;
        }
    }
    return -1;
}

// Qt's own text in the current language, taken from Qt's translations (not
// the program's, so the program's translation source never lists it).
QString qt_text(const char *context, const char *text)
{
    return QCoreApplication::translate(context, text);
}

} // namespace

QByteArray http_get_bytes(const QUrl &url)
{
    QByteArray target =
        url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    if (target.isEmpty())
        target = "/";
    // The authority keeps the port and the brackets of an IPv6 address.
    const QByteArray host =
        url.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toUtf8();
    return "GET " + target + " HTTP/1.0\r\nHost: " + host + "\r\nConnection: close\r\n\r\n";
}

std::optional<HttpHead> parse_http_head(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (end < 0)
        return std::nullopt;
    HttpHead head;
    head.size = end + 4;
    QList<QByteArray> lines = bytes.left(end).split('\n');
    for (QByteArray &line : lines)
        line = line.trimmed();
    const QByteArray status_line = lines.takeFirst();
    const qsizetype space = status_line.indexOf(' ');
    if (!status_line.startsWith("HTTP/") || space < 0)
        return head;
    const qsizetype reason_start = status_line.indexOf(' ', space + 1);
    const QByteArray code = reason_start < 0 ? status_line.mid(space + 1)
                                             : status_line.mid(space + 1, reason_start - space - 1);
    bool ok = false;
    head.status = code.toInt(&ok);
    if (!ok)
        head.status = 0;
    head.reason = reason_start < 0 ? QByteArray() : status_line.mid(reason_start + 1);
    head.content_length = content_length(lines);
    return head;
}

QNetworkReply::NetworkError http_status_error(int status)
{
    switch (status) {
    case 400:
    case 418:
        return QNetworkReply::ProtocolInvalidOperationError;
    case 401:
        return QNetworkReply::AuthenticationRequiredError;
    case 403:
        return QNetworkReply::ContentAccessDenied;
    case 404:
        return QNetworkReply::ContentNotFoundError;
    case 405:
        return QNetworkReply::ContentOperationNotPermittedError;
    case 407:
        return QNetworkReply::ProxyAuthenticationRequiredError;
    case 409:
        return QNetworkReply::ContentConflictError;
    case 410:
        return QNetworkReply::ContentGoneError;
    case 500:
        return QNetworkReply::InternalServerError;
    case 501:
        return QNetworkReply::OperationNotImplementedError;
    case 503:
        return QNetworkReply::ServiceUnavailableError;
    default:
        break;
    }
    if (status < 400)
        return QNetworkReply::NoError;
    return status > 500 ? QNetworkReply::UnknownServerError : QNetworkReply::UnknownContentError;
}

CommandReply::CommandReply(const QUrl &url, QObject *parent) : QNetworkReply(parent)
{
    setUrl(url);
    setRequest(QNetworkRequest(url));
    setOperation(QNetworkAccessManager::GetOperation);
    open(QIODevice::ReadOnly);
    connect(&socket, &QTcpSocket::connected, this, [this] {
        transfer_timer.start();
        socket.write(http_get_bytes(this->url()));
    });
    connect(&socket, &QTcpSocket::readyRead, this, &CommandReply::read_socket);
    connect(&socket, &QTcpSocket::errorOccurred, this, &CommandReply::socket_failed);
    connect(&socket, &QTcpSocket::disconnected, this, &CommandReply::connection_ended);
    transfer_timer.setSingleShot(true);
    transfer_timer.setInterval(tcs_transfer_timeout_ms());
    connect(&transfer_timer, &QTimer::timeout, this, &CommandReply::abort);
    transfer_timer.start();
    socket.connectToHost(url.host(), static_cast<quint16>(url.port(80)));
}

CommandReply::~CommandReply()
{
    // The socket's own clean-up must not call back into a half-destroyed reply.
    socket.disconnect(this);
}

void CommandReply::abort()
{
    if (isFinished())
        return;
    body.clear();
    end_reply(OperationCanceledError, qt_text("QNetworkReplyHttpImpl", "Operation canceled"));
}

qint64 CommandReply::bytesAvailable() const
{
    return body.size() + QNetworkReply::bytesAvailable();
}

qint64 CommandReply::readData(char *data, qint64 max_size)
{
    const qint64 n = qMin<qint64>(max_size, body.size());
    std::copy_n(body.constData(), n, data);
    body.remove(0, n);
    return n;
}

void CommandReply::read_socket()
{
    if (isFinished())
        return;
    transfer_timer.start();
    if (!head) {
        head_bytes += socket.readAll();
        if (!read_head())
            return;
    } else {
        add_to_body(socket.readAll());
    }
    // The body is kept whole until the end: past the limit it is refused.
    if (body.size() > tcs_max_reply_bytes)
        abort();
    else if (body_complete())
        complete();
}

// The head once it is whole; a length over the limit is refused at once.
bool CommandReply::read_head()
{
    head = parse_http_head(head_bytes);
    if (!head || head->status <= 0) {
        // Like Qt, wait for the end of an answer that is no HTTP: the close
        // then reports it; past the size limit it is refused.
        head.reset();
        if (head_bytes.size() > tcs_max_reply_bytes)
            abort();
        return false;
    }
    setAttribute(QNetworkRequest::HttpStatusCodeAttribute, head->status);
    setAttribute(QNetworkRequest::HttpReasonPhraseAttribute, QString::fromLatin1(head->reason));
    if (head->content_length > tcs_max_reply_bytes) {
        abort();
        return false;
    }
    // These answers have no body, whatever follows their head.
    if (head->status < 200 || head->status == 204 || head->status == 304)
        head->content_length = 0;
    body.clear();
    add_to_body(head_bytes.mid(head->size));
    head_bytes.clear();
    return true;
}

// Bytes past the announced length belong to no answer.
void CommandReply::add_to_body(const QByteArray &bytes)
{
    body += bytes;
    if (head->content_length >= 0 && body.size() > head->content_length)
        body.truncate(head->content_length);
}

bool CommandReply::body_complete() const
{
    return head && head->content_length >= 0 && body.size() >= head->content_length;
}

void CommandReply::socket_failed(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::RemoteHostClosedError:
        connection_ended();
        return;
    case QAbstractSocket::ConnectionRefusedError:
        end_reply(ConnectionRefusedError, qt_text("QHttp", "Connection refused"));
        return;
    case QAbstractSocket::HostNotFoundError:
        end_reply(HostNotFoundError, qt_text("QHttp", "Host %1 not found").arg(url().host()));
        return;
    default:
        end_reply(UnknownNetworkError, socket.errorString());
        return;
    }
}

// A body without a length ends with the connection; any other end is a
// connection closed too early, whether before the head or inside the body.
void CommandReply::connection_ended()
{
    if (isFinished())
        return;
    read_socket();
    if (isFinished())
        return;
    if (head && head->content_length < 0)
        complete();
    else
        end_reply(RemoteHostClosedError, qt_text("QHttp", "Connection closed"));
}

void CommandReply::complete()
{
    const NetworkError code = http_status_error(head->status);
    end_reply(code, code == NoError ? QString() : status_error_text());
}

// Qt words a refused login in its own way and quotes the URL otherwise.
QString CommandReply::status_error_text() const
{
    if (head->status == 401)
        return qt_text("QHttp", "Host requires authentication");
    if (head->status == 407)
        return qt_text("QHttp", "Proxy requires authentication");
    // Qt's own reply gives this text untranslated in every language.
    return QStringLiteral("Error transferring %1 - server replied: %2")
        .arg(url().toString(), QString::fromLatin1(head->reason));
}

// The one way a reply ends: the error (if any) before finished(), as Qt's.
void CommandReply::end_reply(NetworkError code, const QString &text)
{
    if (isFinished())
        return;
    transfer_timer.stop();
    setFinished(true);
    socket.abort();
    if (code != NoError) {
        setError(code, text);
        emit errorOccurred(code);
    }
    emit finished();
}
