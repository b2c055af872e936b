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
    : QObject(parent), request_log_(write_stdout_line), http_(new QHttpServer(this))
{
    add_routes();
}

TcsSimServer::~TcsSimServer()
{
    // Held answers refer to the server's sockets: end them first.
    pending_.clear();
    delete http_;
}

bool TcsSimServer::start(quint16 port, const QHostAddress &address)
{
    auto *tcp = new WireTapServer(http_);
    if (!tcp->listen(address, port)) {
        error_ = QStringLiteral("cannot listen on %1:%2: %3")
                     .arg(address.toString())
                     .arg(port)
                     .arg(tcp->errorString());
        delete tcp;
        return false;
    }
    connect(tcp, &WireTapServer::target_received, this,
            [this](const QByteArray &method, const QByteArray &target) {
                if (received_.size() >= max_recorded)
                    received_.removeFirst();
                received_.append(target);
                emit request_received(method, target);
            });
    // Handing over a listening QTcpServer works alike on Qt 6.4 and later.
    http_->bind(tcp);
    tcp->follow_server();
    port_ = tcp->serverPort();
    address_ = address;
    return true;
}

QString TcsSimServer::host_text() const
{
    const bool any = address_ == QHostAddress::Any || address_ == QHostAddress::AnyIPv4 ||
                     address_ == QHostAddress::AnyIPv6 || address_.isLoopback();
    return (any ? QStringLiteral("127.0.0.1") : address_.toString()) + QLatin1Char(':') +
           QString::number(port_);
}

void TcsSimServer::add_routes()
{
    for (const ScriptPath &script : script_paths) {
        const QString pattern = QRegularExpression::escape(QLatin1String(script.path));
        const SimScript which = script.script;
        http_->route(pattern, [this, which](const QHttpServerRequest &request,
                                            QHttpServerResponder &&responder) {
            serve(which, request, std::move(responder));
        });
    }
    http_->setMissingHandler(
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
            faults_[i] = {fault, delay_ms};
    }
}

SimFault TcsSimServer::fault(SimScript script) const
{
    return faults_[index_of(script == SimScript::All ? SimScript::Users : script)].fault;
}

void TcsSimServer::set_canned_body(SimScript script, const std::optional<QByteArray> &body)
{
    for (int i = 0; i < 4; ++i) {
        if (script == SimScript::All || index_of(script) == i)
            canned_[i] = body;
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
    const bool ready = faults_[index_of(script)].fault != SimFault::StateNotOk;
    const auto &canned = canned_[index_of(script)];
    const SimAnswer normal =
        canned ? SimAnswer{200, *canned} : script_answer(script, query_of(wire.target), ready);
    deliver(script, wire, std::move(responder), normal);
}

SimAnswer TcsSimServer::script_answer(SimScript script, const QByteArray &query, bool ready)
{
    switch (script) {
    case SimScript::Users:
        return scripts_.users();
    case SimScript::State:
        return scripts_.state(query, ready);
    case SimScript::Command:
        return scripts_.command(query, ready);
    case SimScript::Horizon:
    case SimScript::All:
        break;
    }
    return scripts_.horizon(query);
}

void TcsSimServer::set_request_log(std::function<void(const QByteArray &line)> log)
{
    request_log_ = std::move(log);
}

void TcsSimServer::answer(const WireRequest &request, QHttpServerResponder &responder,
                          const SimAnswer &a)
{
    responder.write(a.body, {{"Content-Type", "text/plain; charset=utf-8"}},
                    static_cast<QHttpServerResponder::StatusCode>(a.status));
    request_log_(request.method + ' ' + request.target + ' ' + QByteArray::number(a.status));
    emit request_answered(request.target, a.status);
}

void TcsSimServer::unanswered(const WireRequest &request, const QString &why)
{
    request_log_(request.method + ' ' + request.target + " - (" + why.toUtf8() + ')');
    emit request_answered(request.target, -1);
}
