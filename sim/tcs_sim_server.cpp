#include "sim/tcs_sim_server.h"

#include "sim/wire_tap.h"

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QRegularExpression>
#include <QTcpSocket>
#include <cstdio>

namespace
{

int index_of(SimScript script)
{
    return static_cast<int>(script);
}

// Script paths; the route patterns are regular expressions, so the dots are
// escaped ("vtcs_get.cgi" would also match "vtcs_getXcgi").
struct ScriptPath {
    SimScript script;
    const char *path;
};
constexpr ScriptPath script_paths[] = {
    {SimScript::Users, "/tcs/velto_users_all.cgi"},
    {SimScript::State, "/tcs/vtcs_get.cgi"},
    {SimScript::Command, "/tcs/vtcs_send.cgi"},
    {SimScript::Horizon, "/tcs/velto_horizon.php"},
};

QByteArray query_of(const QByteArray &target)
{
    const qsizetype mark = target.indexOf('?');
    return mark < 0 ? QByteArray() : target.mid(mark + 1);
}

} // namespace

// The host's request log goes straight to standard output: in a test that
// runs the simulator in-process it is not one of the program's own lines.
static void write_stdout_line(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

TcsSimServer::TcsSimServer(QObject *parent)
    : QObject(parent), request_logger(write_stdout_line), http(new QHttpServer(this))
{
    add_routes();
}

TcsSimServer::~TcsSimServer()
{
    // Held answers refer to the server's sockets: end them first.
    held_replies.clear();
    delete http;
}

bool TcsSimServer::start(quint16 port, const QHostAddress &address)
{
    auto *tcp = new WireTapServer(http);
    if (!tcp->listen(address, port)) {
        error_message = QStringLiteral("cannot listen on %1:%2: %3")
                            .arg(address.toString())
                            .arg(port)
                            .arg(tcp->errorString());
        delete tcp;
        return false;
    }
    connect(tcp, &WireTapServer::target_received, this,
            [this](const QByteArray &method, const QByteArray &target) {
                if (received_list.size() >= max_recorded)
                    received_list.removeFirst();
                received_list.append(target);
                emit request_received(method, target);
            });
    // Handing over a listening QTcpServer works alike on Qt 6.4 and later.
    http->bind(tcp);
    tcp->follow_server();
    listen_port = tcp->serverPort();
    listen_address = address;
    return true;
}

QString TcsSimServer::host_text() const
{
    const bool any = listen_address == QHostAddress::Any ||
                     listen_address == QHostAddress::AnyIPv4 ||
                     listen_address == QHostAddress::AnyIPv6 || listen_address.isLoopback();
    return (any ? QStringLiteral("127.0.0.1") : listen_address.toString()) + QLatin1Char(':') +
           QString::number(listen_port);
}

void TcsSimServer::add_routes()
{
    for (const ScriptPath &script : script_paths) {
        const QString pattern = QRegularExpression::escape(QLatin1String(script.path));
        const SimScript which = script.script;
        http->route(pattern, [this, which](const QHttpServerRequest &request,
                                           QHttpServerResponder &&responder) {
            serve(which, request, std::move(responder));
        });
    }
    http->setMissingHandler(
        [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
            auto wire = WireTapServer::take_request(responder.socket());
            if (wire.target.isEmpty())
                wire = {"?", request.url().toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority)};
            answer(wire, responder,
                   {404, "Not found: the TCS host has no " + request.url().path().toUtf8() + "\n"});
        });
}

void TcsSimServer::set_fault(SimScript script, SimFault fault, int delay_ms)
{
    for (int i = 0; i < 4; ++i) {
        if (script == SimScript::All || index_of(script) == i)
            fault_settings[i] = {fault, delay_ms};
    }
}

SimFault TcsSimServer::fault(SimScript script) const
{
    return fault_settings[index_of(script == SimScript::All ? SimScript::Users : script)].fault;
}

void TcsSimServer::set_canned_body(SimScript script, const std::optional<QByteArray> &body)
{
    for (int i = 0; i < 4; ++i) {
        if (script == SimScript::All || index_of(script) == i)
            canned_bodies[i] = body;
    }
}

void TcsSimServer::serve(SimScript script, const QHttpServerRequest &request,
                         QHttpServerResponder &&responder)
{
    auto wire = WireTapServer::take_request(responder.socket());
    if (wire.target.isEmpty())
        wire = {"?", request.url().toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority)};
    if (wire.target.size() > max_target_bytes) {
        answer(wire, responder,
               {414, QByteArray("Request refused: the TCS takes at most ") +
                         QByteArray::number(max_target_bytes) + " bytes of path and query\n"});
        return;
    }
    if (request.method() != QHttpServerRequest::Method::Get) {
        answer(wire, responder, {405, "Request refused: the TCS scripts answer GET only\n"});
        return;
    }
    const bool ready = fault_settings[index_of(script)].fault != SimFault::StateNotOk;
    const auto &canned = canned_bodies[index_of(script)];
    const SimAnswer normal =
        canned ? SimAnswer{200, *canned} : script_answer(script, query_of(wire.target), ready);
    deliver(script, wire, std::move(responder), normal);
}

SimAnswer TcsSimServer::script_answer(SimScript script, const QByteArray &query, bool ready)
{
    switch (script) {
    case SimScript::Users:
        return scripts.users();
    case SimScript::State:
        return scripts.state(query, ready);
    case SimScript::Command:
        return scripts.command(query, ready);
    case SimScript::Horizon:
    case SimScript::All:
        break;
    }
    return scripts.horizon(query);
}

void TcsSimServer::set_request_log(std::function<void(const QByteArray &line)> log)
{
    request_logger = std::move(log);
}

void TcsSimServer::answer(const WireRequest &request, QHttpServerResponder &responder,
                          const SimAnswer &a)
{
    responder.write(a.body, {{"Content-Type", "text/plain; charset=utf-8"}},
                    static_cast<QHttpServerResponder::StatusCode>(a.status));
    request_logger(request.method + ' ' + request.target + ' ' + QByteArray::number(a.status));
    emit request_answered(request.target, a.status);
}

void TcsSimServer::unanswered(const WireRequest &request, const QString &why)
{
    request_logger(request.method + ' ' + request.target + " - (" + why.toUtf8() + ')');
    emit request_answered(request.target, -1);
}
