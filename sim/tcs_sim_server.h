#pragma once

#include "sim/horizon_profile.h"
#include "sim/sim_clock.h"
#include "sim/tcs_scripts.h"
#include "sim/telescope_model.h"
#include "sim/users_table.h"
#include "sim/wire_tap.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QHttpServer;
class QHttpServerRequest;
class QHttpServerResponder;

// The four scripts of the TCS web host.
enum class SimScript { Users, State, Command, Horizon, All };

// What a script does instead of answering normally, for the client's tests.
enum class SimFault {
    None,
    Delay,             // answers normally after the fault's delay
    NeverAnswer,       // keeps the connection open and says nothing
    Hangup,            // reads the request and closes the connection without a byte
    CloseConnection,   // starts the answer, then closes the connection mid-reply
    ServerError,       // HTTP 500
    EmptyBody,         // HTTP 200 with no body
    Garbage,           // HTTP 200 with binary bytes that are no text
    Oversized,         // HTTP 200 with a 2 MiB body, sent at once with its length
    OversizedStreamed, // HTTP 200 with a 2 MiB body, streamed in pieces without a length
    StateNotOk,        // state and command answers report a TCS that is not Ok
};

// The TCS simulator's web host: the telescope model, the users, the horizon
// profiles and the HTTP server that answers the TCS scripts with them.
//
// In a test:
//     TcsSimServer sim;
//     QVERIFY(sim.start());                       // ephemeral loopback port
//     set_default_tcs_host(sim.host_text());      // "127.0.0.1:PORT"
//     sim.clock().set_speed(0);                   // time moves only when told
//     ...
//     QCOMPARE(sim.received_targets().last(), "/tcs/vtcs_get.cgi?User=guest&Pass=kelpo");
//
// Every request is written as one line on standard output: method, target,
// status.
class TcsSimServer : public QObject
{
    Q_OBJECT

public:
    // Targets longer than this are refused with 414.
    static constexpr int max_target_bytes = 2048;
    // Size of the oversized answers.
    static constexpr int oversized_bytes = 2 * 1024 * 1024;

    explicit TcsSimServer(QObject *parent = nullptr);
    ~TcsSimServer() override;

    // Listens on the address and port (0: a free port chosen by the system).
    // On failure returns false and error_text() says why.
    bool start(quint16 port = 0, const QHostAddress &address = QHostAddress::LocalHost);
    quint16 port() const { return listen_port; }
    // "127.0.0.1:PORT" (or the address listened on, when it is neither a
    // loopback nor a wildcard): what the program takes as its TCS host.
    QString host_text() const;
    QString error_text() const { return error_message; }

    // Request targets (path and query) in arrival order, exactly as received;
    // the latest max_recorded of them, so a simulator left running for days
    // does not grow without end.
    static constexpr int max_recorded = 100000;
    QList<QByteArray> received_targets() const { return received_list; }
    void clear_received() { received_list.clear(); }

    // A fault for one script or all; delay_ms is used by SimFault::Delay.
    void set_fault(SimScript script, SimFault fault, int delay_ms = 3000);
    // The fault of one script (for All: of the users script).
    SimFault fault(SimScript script) const;
    // Answers exactly these bytes (HTTP 200) instead of the script's own
    // answer, until cleared with std::nullopt. Faults still apply.
    void set_canned_body(SimScript script, const std::optional<QByteArray> &body);

    // Where the one-line request log goes: standard output unless replaced.
    void set_request_log(std::function<void(const QByteArray &line)> log);

    SimClock &clock() { return sim_clock; }
    TelescopeModel &model() { return telescope; }
    UsersTable &users() { return user_table; }
    HorizonProfiles &horizons() { return profiles; }

signals:
    // Emitted when a request arrives, before it is answered.
    void request_received(const QByteArray &method, const QByteArray &target);
    // Emitted when an answer has been given (status -1: none, by a fault).
    void request_answered(const QByteArray &target, int status);

private:
    struct FaultSetting {
        SimFault fault = SimFault::None;
        int delay_ms = 3000;
    };
    struct Pending; // an answer that is held back

    void add_routes();
    void serve(SimScript script, const QHttpServerRequest &request,
               QHttpServerResponder &&responder);
    SimAnswer script_answer(SimScript script, const QByteArray &query, bool ready);
    using WireRequest = WireTapServer::WireRequest;
    void answer(const WireRequest &request, QHttpServerResponder &responder, const SimAnswer &a);
    void deliver(SimScript script, const WireRequest &request, QHttpServerResponder &&responder,
                 const SimAnswer &a);
    void close_mid_reply(const WireRequest &request, QHttpServerResponder &responder,
                         const SimAnswer &a);
    std::shared_ptr<Pending> hold(const WireRequest &request, QHttpServerResponder &&responder);
    void release(const Pending *pending);
    void stream_oversized(const std::weak_ptr<Pending> &held, int sent);
    void unanswered(const WireRequest &request, const QString &why);

    SimClock sim_clock;
    UsersTable user_table = UsersTable::built_in();
    HorizonProfiles profiles;
    TelescopeModel telescope{sim_clock, profiles};
    TcsScripts scripts{telescope, user_table, profiles};
    std::array<FaultSetting, 4> fault_settings{};
    std::array<std::optional<QByteArray>, 4> canned_bodies{};
    QList<QByteArray> received_list;
    std::function<void(const QByteArray &line)> request_logger;
    QHttpServer *http = nullptr;
    QList<std::shared_ptr<Pending>> held_replies;
    quint16 listen_port = 0;
    QHostAddress listen_address;
    QString error_message;
};

// The script's name as used in options and log lines ("users", "state", ...).
QString script_name(SimScript script);
std::optional<SimScript> script_from_name(const QString &name);
std::optional<SimFault> fault_from_name(const QString &name);
