#include "sim/wire_tap.h"

#include <QTcpSocket>

namespace
{

// Request heads longer than this are not HTTP the scripts could answer; the
// HTTP server refuses them itself, the tap only stops collecting.
constexpr int max_head_bytes = 64 * 1024;

// What the tap knows of one connection: unparsed bytes and parsed targets.
class WireReader : public QObject
{
public:
    enum class Expect { RequestLine, Headers, Body };

    explicit WireReader(QTcpSocket *socket) : QObject(socket) { setObjectName(name()); }

    static QString name() { return QStringLiteral("velto_wire_reader"); }

    // Parses what arrived; returns each request line found in it.
    QList<WireTapServer::WireRequest> feed(const QByteArray &bytes)
    {
        QList<WireTapServer::WireRequest> found;
        buffer += bytes;
        bool progress = true;
        while (progress && !buffer.isEmpty()) {
            if (expecting == Expect::RequestLine)
                progress = read_request_line(found);
            else if (expecting == Expect::Headers)
                progress = read_headers();
            else
                progress = skip_body();
        }
        if (buffer.size() > max_head_bytes)
            buffer.clear();
        return found;
    }

    QQueue<WireTapServer::WireRequest> requests;
    // Bytes the HTTP server left in the socket after its last read. It may
    // leave a pipelined request there and announce it again with readyRead:
    // those bytes were already fed.
    qint64 left_by_server = 0;

private:
    bool read_request_line(QList<WireTapServer::WireRequest> &found)
    {
        const qsizetype end = buffer.indexOf("\r\n");
        if (end < 0)
            return false;
        const QByteArray line = buffer.left(end);
        buffer.remove(0, end + 2);
        if (line.isEmpty())
            return true; // blank lines may precede a request
        const QList<QByteArray> parts = line.split(' ');
        const WireTapServer::WireRequest request{parts.value(0), parts.value(1)};
        requests.enqueue(request);
        found.append(request);
        expecting = Expect::Headers;
        return true;
    }

    bool read_headers()
    {
        const qsizetype end = buffer.startsWith("\r\n") ? -2 : buffer.indexOf("\r\n\r\n");
        if (end == -1)
            return false;
        body_left = 0;
        const QByteArray head = end < 0 ? QByteArray() : buffer.left(end);
        for (const QByteArray &header : head.split('\n')) {
            const qsizetype colon = header.indexOf(':');
            if (colon > 0 && header.left(colon).trimmed().toLower() == "content-length")
                body_left = header.mid(colon + 1).trimmed().toLongLong();
        }
        buffer.remove(0, end + 4);
        expecting = body_left > 0 ? Expect::Body : Expect::RequestLine;
        return true;
    }

    bool skip_body()
    {
        const qint64 n = std::min<qint64>(body_left, buffer.size());
        buffer.remove(0, n);
        body_left -= n;
        if (body_left == 0)
            expecting = Expect::RequestLine;
        return body_left == 0;
    }

    QByteArray buffer;
    Expect expecting = Expect::RequestLine;
    qint64 body_left = 0;
};

} // namespace

WireTapServer::WireTapServer(QObject *parent) : QTcpServer(parent) {}

void WireTapServer::incomingConnection(qintptr descriptor)
{
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    auto *reader = new WireReader(socket);
    // Connected before the HTTP server connects its own reader, so this runs
    // first and sees each chunk before the server takes it from the socket.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, reader] {
        const qint64 available = socket->bytesAvailable();
        const qint64 fresh = available - reader->left_by_server;
        if (fresh <= 0)
            return;
        for (const auto &request : reader->feed(socket->peek(available).right(fresh)))
            emit target_received(request.method, request.target);
    });
    fresh_sockets.append(socket);
    addPendingConnection(socket);
}

void WireTapServer::follow_server()
{
    // Runs after the HTTP server's own newConnection handler, which has taken
    // the sockets and connected its readers: these connections come after it.
    connect(this, &QTcpServer::newConnection, this, [this] {
        for (QTcpSocket *socket : std::as_const(fresh_sockets)) {
            auto *reader = static_cast<WireReader *>(
                socket->findChild<QObject *>(WireReader::name(), Qt::FindDirectChildrenOnly));
            connect(socket, &QTcpSocket::readyRead, this,
                    [socket, reader] { reader->left_by_server = socket->bytesAvailable(); });
        }
        fresh_sockets.clear();
    });
}

WireTapServer::WireRequest WireTapServer::take_request(QTcpSocket *socket)
{
    auto *reader = socket ? static_cast<WireReader *>(socket->findChild<QObject *>(
                                WireReader::name(), Qt::FindDirectChildrenOnly))
                          : nullptr;
    if (!reader || reader->requests.isEmpty())
        return {};
    return reader->requests.dequeue();
}
