#pragma once

#include <QByteArray>
#include <QQueue>
#include <QTcpServer>

class QTcpSocket;

// A listening socket that notes the request target of every HTTP request
// exactly as it arrives on the wire (path and query, percent-encoding as the
// client wrote it), before the HTTP server parses and normalises it. It peeks
// at the bytes and never takes them from the socket.
class WireTapServer : public QTcpServer
{
    Q_OBJECT

public:
    explicit WireTapServer(QObject *parent = nullptr);

    struct WireRequest {
        QByteArray method;
        QByteArray target;
    };
    // The oldest request line received on this connection and not yet taken;
    // the HTTP server handles a connection's requests in the order they came.
    static WireRequest take_request(QTcpSocket *socket);

    // Call once the HTTP server has been bound to this listener: the tap then
    // also notes what the server leaves unread after each of its reads.
    void follow_server();

signals:
    void target_received(const QByteArray &method, const QByteArray &target);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    QList<QTcpSocket *> fresh_sockets; // accepted, not yet taken by the HTTP server
};
