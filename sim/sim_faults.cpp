// Faults on demand: the ways a TCS host can fail a client, for the client's
// tests. Answers that are held back keep their HTTP responder alive, which
// Qt's HTTP server allows for handlers that take the responder.
#include "sim/tcs_sim_server.h"

#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace
{

constexpr int stream_piece_bytes = 64 * 1024;
// Streaming waits while the socket still has this much to send.
constexpr qint64 stream_backlog_bytes = qint64(256) * 1024;

// Bytes that are no text: NUL, bytes that are not UTF-8, a lone CR, '='.
QByteArray garbage_bytes()
{
    QByteArray bytes("\xff\xfe\x00=\r\xc3\x28State", 12);
    quint32 x = 0x9e3779b9u;
    for (int i = 0; i < 500; ++i) {
        x = x * 1664525u + 1013904223u;
        bytes += static_cast<char>(x >> 24);
    }
    return bytes;
}

// Looks like a healthy state answer, so a client that reads it all without a
// size limit shows a TCS that is Ok.
QByteArray oversized_piece(int size, bool first)
{
    QByteArray piece = first ? QByteArrayLiteral("State=Ok\n") : QByteArray();
    const QByteArray filler = "Padding=0123456789abcdefghijklmnopqrstuvwxyz\n";
    while (piece.size() < size)
        piece += filler;
    piece.truncate(size);
    return piece;
}

} // namespace

struct TcsSimServer::Pending {
    Pending(const WireRequest &r, QHttpServerResponder &&resp)
        : request(r), responder(std::move(resp)), socket(responder.socket())
    {
    }
    WireRequest request;
    QHttpServerResponder responder;
    QPointer<QTcpSocket> socket;
    QMetaObject::Connection on_disconnect;
};

std::shared_ptr<TcsSimServer::Pending> TcsSimServer::hold(const WireRequest &request,
                                                          QHttpServerResponder &&responder)
{
    auto pending = std::make_shared<Pending>(request, std::move(responder));
    // The server deletes a socket after it disconnects: drop the responder
    // while its socket still exists.
    const Pending *key = pending.get();
    if (pending->socket)
        pending->on_disconnect = connect(pending->socket, &QTcpSocket::disconnected, this,
                                         [this, key] { release(key); });
    held_replies.append(pending);
    return pending;
}

void TcsSimServer::release(const Pending *pending)
{
    for (int i = 0; i < held_replies.size(); ++i) {
        if (held_replies.at(i).get() == pending) {
            disconnect(held_replies.at(i)->on_disconnect);
            held_replies.removeAt(i);
            return;
        }
    }
}

void TcsSimServer::deliver(SimScript script, const WireRequest &request,
                           QHttpServerResponder &&responder, const SimAnswer &a)
{
    const FaultSetting setting = fault_settings[static_cast<int>(script)];
    switch (setting.fault) {
    case SimFault::Delay: {
        const std::weak_ptr<Pending> held = hold(request, std::move(responder));
        QTimer::singleShot(setting.delay_ms, this, [this, held, a] {
            if (const auto pending = held.lock()) {
                answer(pending->request, pending->responder, a);
                release(pending.get());
            }
        });
        return;
    }
    case SimFault::NeverAnswer:
        hold(request, std::move(responder));
        unanswered(request, QStringLiteral("never answered"));
        return;
    case SimFault::Hangup: {
        // Held until its socket is gone, so the responder never writes to it.
        const auto held = hold(request, std::move(responder));
        unanswered(request, QStringLiteral("connection closed without an answer"));
        if (held->socket)
            held->socket->abort();
        return;
    }
    case SimFault::CloseConnection:
        close_mid_reply(request, responder, a);
        return;
    case SimFault::ServerError:
        answer(request, responder, {500, "Internal Server Error\n"});
        return;
    case SimFault::EmptyBody:
        answer(request, responder, {200, QByteArray()});
        return;
    case SimFault::Garbage:
        answer(request, responder, {200, garbage_bytes()});
        return;
    case SimFault::Oversized:
        answer(request, responder, {200, oversized_piece(oversized_bytes, true)});
        return;
    case SimFault::OversizedStreamed: {
        responder.writeStatusLine(QHttpServerResponder::StatusCode::Ok);
        responder.writeHeader("Content-Type", "text/plain; charset=utf-8");
        responder.writeHeader("Connection", "close");
        stream_oversized(hold(request, std::move(responder)), 0);
        unanswered(request, QStringLiteral("streaming 2 MiB without a length"));
        return;
    }
    case SimFault::None:
    case SimFault::StateNotOk:
        break;
    }
    answer(request, responder, a);
}

void TcsSimServer::close_mid_reply(const WireRequest &request, QHttpServerResponder &responder,
                                   const SimAnswer &a)
{
    // The length promises more than is sent, so the client sees the
    // connection end in the middle of the body.
    responder.writeStatusLine(QHttpServerResponder::StatusCode::Ok);
    responder.writeHeader("Content-Type", "text/plain; charset=utf-8");
    responder.writeHeader("Content-Length", QByteArray::number(a.body.size() + 4096));
    responder.writeBody(a.body.left(a.body.size() / 2));
    if (QTcpSocket *socket = responder.socket())
        socket->disconnectFromHost();
    unanswered(request, QStringLiteral("connection closed mid-reply"));
}

void TcsSimServer::stream_oversized(const std::weak_ptr<Pending> &held, int sent)
{
    const auto pending = held.lock();
    if (!pending || !pending->socket)
        return;
    QTcpSocket *socket = pending->socket;
    if (sent >= oversized_bytes) {
        release(pending.get());
        socket->disconnectFromHost();
        return;
    }
    if (socket->bytesToWrite() < stream_backlog_bytes) {
        pending->responder.writeBody(oversized_piece(stream_piece_bytes, sent == 0));
        sent += stream_piece_bytes;
    }
    QTimer::singleShot(1, this, [this, held, sent] { stream_oversized(held, sent); });
}

QString script_name(SimScript script)
{
    switch (script) {
    case SimScript::Users:
        return QStringLiteral("users");
    case SimScript::State:
        return QStringLiteral("state");
    case SimScript::Command:
        return QStringLiteral("command");
    case SimScript::Horizon:
        return QStringLiteral("horizon");
    case SimScript::All:
        break;
    }
    return QStringLiteral("all");
}

std::optional<SimScript> script_from_name(const QString &name)
{
    for (SimScript s : {SimScript::Users, SimScript::State, SimScript::Command, SimScript::Horizon,
                        SimScript::All}) {
        if (script_name(s) == name)
            return s;
    }
    return std::nullopt;
}

namespace
{
struct FaultWord {
    SimFault fault;
    const char *word;
};
constexpr FaultWord fault_words[] = {
    {SimFault::None, "none"},
    {SimFault::Delay, "delay"},
    {SimFault::NeverAnswer, "never"},
    {SimFault::Hangup, "hangup"},
    {SimFault::CloseConnection, "close"},
    {SimFault::ServerError, "http500"},
    {SimFault::EmptyBody, "empty"},
    {SimFault::Garbage, "garbage"},
    {SimFault::Oversized, "oversized"},
    {SimFault::OversizedStreamed, "oversized-stream"},
    {SimFault::StateNotOk, "notok"},
};
} // namespace

std::optional<SimFault> fault_from_name(const QString &name)
{
    for (const FaultWord &w : fault_words) {
        if (name == QLatin1String(w.word))
            return w.fault;
    }
    return std::nullopt;
}
