#include "log_capture.h"
#include "main_window_probe.h"
#include "modal_closer.h"
#include "sim/tcs_sim_server.h"
#include "tcs/command_request.h"
#include "tcs/poll_interval.h"
#include "tcs/state_reply.h"
#include "tcs/tcs_host.h"
#include "tcs/tcs_request.h"

#include <QStatusBar>
#include <QTcpServer>
#include <QTranslator>
#include <QtTest>
#include <memory>

// The TCS client against the in-process simulator as a real web host: the
// bytes that go out, what is made of the answers, and how every failing host
// is reported, with the real main window.

namespace
{

const QByteArray send_script = "/tcs/vtcs_send.cgi";

// A host that answers every request with the same bytes.
struct RawHost {
    RawHost()
    {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            QTcpSocket *socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                const QByteArray got = socket->property("got").toByteArray() + socket->readAll();
                socket->setProperty("got", got);
                if (got.endsWith("\r\n\r\n")) {
                    received += got;
                    socket->write(answer);
                    socket->disconnectFromHost();
                }
            });
        });
    }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(server.serverPort()); }

    QTcpServer server;
    QByteArray answer;
    QByteArray received; // every request's bytes
};

// A host text whose port had a listener a moment ago and has none now.
QString refusing_host()
{
    TcsSimServer gone;
    return gone.start() ? gone.host_text() : QString();
}

QStringList error_lines(const LogCapture &log)
{
    return log.err.filter(QRegularExpression(QStringLiteral("^Velto read error ")));
}

// How a host fails: a fault of the simulator, or with SimFault::None a port
// nobody listens on.
struct HostFault {
    SimFault sim_fault;
    int code;
    const char *text; // %1: the URL with its password hidden
};

struct PollCase {
    int current;
    const char *state;
    const char *shown;
    bool ok;
    double vha;
    int next;
};

// A command refused before anything is sent; `typed` goes into the field the
// command checks (R.A. for Send, Decl. for Slew, the hour-angle step otherwise).
struct Refusal {
    const char *command;
    const char *passwd;
    const char *state;
    const char *typed;
    const char *status;
    const char *line;
};

} // namespace

Q_DECLARE_METATYPE(SimScript)
Q_DECLARE_METATYPE(HostFault)
Q_DECLARE_METATYPE(PollCase)
Q_DECLARE_METATYPE(Refusal)

class TestTcs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void queryEncoding_data();
    void queryEncoding();
    void stateReplyGrammar_data();
    void stateReplyGrammar();
    void pollInterval_data();
    void pollInterval();
    void commandRefused_data();
    void commandRefused();
    void commandSentOnceToClosingHost_data();
    void commandSentOnceToClosingHost();
    void commandAnswer_data();
    void commandAnswer();
    void hostFaults_data();
    void hostFaults();
    void answerStatusLikeQt_data();
    void answerStatusLikeQt();
    void failureLikeQt_data();
    void failureLikeQt();
    void stopWhileCommandHeld();
    void failedCommandKeepsPollRearm();
    void stateShown_data();
    void stateShown();
    void setOffsetFollowsLevel();
    void viewTimerExtrapolates();

private:
    MainWindowProbe probe() const { return MainWindowProbe(*window); }
    void openWindow();
    void logInAsOperator(const QString &state_text = QStringLiteral("Track"));
    void fillForm();
    void press(const QString &command);
    QList<QByteArray> commandTargets() const;
    void waitState(const QByteArray &body);

    TcsSimServer sim;
    std::unique_ptr<Velto_Obj_List> window;
};

void TestTcs::initTestCase()
{
    QVERIFY(sim.start());
    sim.clock().set_speed(0);
}

void TestTcs::init()
{
    set_default_tcs_host(sim.host_text());
    set_tcs_transfer_timeout_ms(15000);
    sim.set_fault(SimScript::All, SimFault::None);
    for (SimScript s : {SimScript::Users, SimScript::State, SimScript::Command})
        sim.set_canned_body(s, std::nullopt);
}

void TestTcs::cleanup()
{
    if (window) {
        QTRY_VERIFY(!probe().commandReplyPending() && !probe().stateReplyPending());
        window.reset();
    }
}

void TestTcs::openWindow()
{
    window = std::make_unique<Velto_Obj_List>();
    QTRY_VERIFY(!probe().usersReplyPending());
    probe().pollTimer()->stop();
    sim.clear_received();
}

void TestTcs::logInAsOperator(const QString &state_text)
{
    probe().setUserAndLevel(QStringLiteral("oper"), 3);
    probe().setPasswd(QStringLiteral("dome3"));
    probe().setStateText(state_text);
    probe().setStateOk(true);
}

void TestTcs::fillForm()
{
    auto &f = probe().form();
    f.velto_obj_edt->setText(QStringLiteral("M 31 & Co=1"));
    f.velto_ra_edt->setText(QStringLiteral(" 00:42:44.3 "));
    f.velto_decl_edt->setText(QStringLiteral("+41:16:09"));
    f.velto_epoch_edt->setText(QStringLiteral("2000.0"));
    f.velto_offha_edt->setText(QStringLiteral("-1.5"));
    f.velto_offdec_edt->setText(QStringLiteral("12.0"));
}

void TestTcs::press(const QString &command)
{
    if (command == QLatin1String("AdCorr"))
        window->velto_send_corr(probe().form().velto_offha_edt->text(),
                                probe().form().velto_offdec_edt->text());
    else if (command == QLatin1String("Corr"))
        QMetaObject::invokeMethod(window.get(), "on_velto_set_offset_btn_clicked");
    else
        QMetaObject::invokeMethod(window.get(),
                                  qPrintable(QLatin1String("on_velto_") + command.toLower() +
                                             QLatin1String("_btn_clicked")));
}

QList<QByteArray> TestTcs::commandTargets() const
{
    QList<QByteArray> targets;
    for (const QByteArray &target : sim.received_targets())
        if (target.startsWith(send_script))
            targets << target;
    return targets;
}

// An Ok state read by the Get button, with this body.
void TestTcs::waitState(const QByteArray &body)
{
    sim.set_canned_body(SimScript::State, body);
    QMetaObject::invokeMethod(window.get(), "on_velto_get_btn_clicked");
    QTRY_VERIFY(!probe().stateReplyPending());
}

void TestTcs::queryEncoding_data()
{
    QTest::addColumn<QueryItems>("items");
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("no items, no question mark") << QueryItems{} << QByteArray(send_script);
    QTest::newRow("declination keeps its plus and colons")
        << QueryItems{{"Dec", "+41:16:09.5"}} << send_script + "?Dec=+41:16:09.5";
    QTest::newRow("space, ampersand and equals are encoded")
        << QueryItems{{"Name", "M 31 & Co=1"}, {"Cmd", "Send"}}
        << send_script + "?Name=M%2031%20%26%20Co%3D1&Cmd=Send";
    QTest::newRow("reserved characters a query may hold stay")
        << QueryItems{{"Mess", "a!$'()*,;@/?~_.-b"}} << send_script + "?Mess=a!$'()*,;@/?~_.-b";
    QTest::newRow("UTF-8 bytes and percent sign")
        << QueryItems{{"Name", QStringLiteral("Вега 5%")}}
        << send_script + "?Name=%D0%92%D0%B5%D0%B3%D0%B0%205%25";
}

// What the URL says and what a command request carries on the wire.
void TestTcs::queryEncoding()
{
    QFETCH(QueryItems, items);
    QFETCH(QByteArray, target);
    const QUrl url = tcs_url(sim.host_text(), QString::fromLatin1(send_script), items);
    QCOMPARE(url.toEncoded(), "http://" + sim.host_text().toLatin1() + target);
    QCOMPARE(http_get_bytes(url), "GET " + target + " HTTP/1.0\r\nHost: " +
                                      sim.host_text().toLatin1() + "\r\nConnection: close\r\n\r\n");
    sim.clear_received();
    CommandReply reply(url);
    QTRY_VERIFY(reply.isFinished());
    QCOMPARE(sim.received_targets(), QList<QByteArray>{target});
}

void TestTcs::stateReplyGrammar_data()
{
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("last"); // the last item's text and number; none without items
    QTest::newRow("no lines") << QByteArrayList{} << "State=Err" << QString();
    QTest::newRow("value after the first equals sign")
        << QByteArrayList{"State=Ok\n", "RA=12.5=3\n"} << "State Ok"
        << "12.5=3 0";
    QTest::newRow("number of a value, line end removed")
        << QByteArrayList{"State=Ok\n", "HA=-1.25\r\n"} << "State Ok"
        << "-1.25 -1.25";
    QTest::newRow("trimmed line, untrimmed value") << QByteArrayList{"State= Ok \n"} << "State  Ok "
                                                   << " Ok 0";
    QTest::newRow("a later permission line is the status")
        << QByteArrayList{"State=Ok\n", "Permission=denied\n", "Level=2\n"} << "Permission denied"
        << "2 2";
    QTest::newRow("unknown lines are skipped")
        << QByteArrayList{"Hello\n", "Nothing=1\n"} << "Hello" << QString();
}

void TestTcs::stateReplyGrammar()
{
    QFETCH(QByteArrayList, lines);
    QFETCH(QString, status);
    QFETCH(QString, last);
    const StateReply reply = parse_state_reply(lines);
    QCOMPARE(reply.status_text, status);
    const StateItem item = reply.items.value(reply.items.size() - 1);
    QCOMPARE(reply.items.isEmpty() ? QString() : item.text + ' ' + QString::number(item.number),
             last);
}

void TestTcs::pollInterval_data()
{
    QTest::addColumn<PollCase>("poll");
    const std::pair<const char *, PollCase> rows[] = {
        {"idle grows by 200 ms", {10000, "Stop", "Stop", true, 0, 10200}},
        {"idle past 15 s starts at 10 s", {14900, "Stop", "Stop", true, 0, 10000}},
        {"slewing from a long interval", {5000, "Slew", "Slew", true, 0, 1000}},
        {"slewing grows", {1200, "Slew", "Slew", true, 0, 1400}},
        {"tracking from a long interval", {9000, "Track", "Track", true, 0, 3000}},
        {"tracking grows", {3000, "Track", "Track", true, 0, 3200}},
        {"moving fast", {9000, "Moving", "Moving", true, 0.5, 1000}},
        {"moving but still", {9000, "Moving", "Moving", true, 0, 9200}},
        {"state changed", {9000, "Track", "Slew", true, 0, 1000}},
        {"state changed, not Ok", {9000, "Track", "Slew", false, 0, 3000}},
        {"never below a second", {500, "Stop", "Stop", true, 0, 1000}},
    };
    for (const auto &[name, poll] : rows)
        QTest::newRow(name) << poll;
}

void TestTcs::pollInterval()
{
    QFETCH(PollCase, poll);
    QCOMPARE(next_poll_interval(poll.current, QLatin1String(poll.state), QLatin1String(poll.shown),
                                poll.ok, poll.vha, 0.0),
             poll.next);
}

void TestTcs::commandRefused_data()
{
    QTest::addColumn<Refusal>("refusal");
    const char *const no_passwd = "Empty Velto password!";
    const std::pair<const char *, Refusal> rows[] = {
        {"Send without a password", {"Send", "", "Track", "", no_passwd, no_passwd}},
        {"Stop without a password", {"Stop", "", "Track", "", no_passwd, no_passwd}},
        {"Send with a wrong R.A.",
         {"Send", "dome3", "Track", " 0:42 ", "Wrong or Empty R.A.!",
          "Wrong or Empty R.A. <0:42>"}},
        {"Slew with a wrong Decl.",
         {"Slew", "dome3", "Track", "+41-16", "Wrong or Empty Decl.",
          "Wrong or Empty Decl. <+41-16>"}},
        {"Corr with offsets too small",
         {"Corr", "dome3", "Track", "0.001", "Wrong or Empty Offsets", "Wrong or Empty Offsets"}},
        {"AdCorr while not tracking",
         {"AdCorr", "dome3", "Stop", "1", "Not in Tracking mode", "Not in Tracking mode"}},
        {"AdCorr with steps too small",
         {"AdCorr", "dome3", "Track", "0.001", "Wrong or Empty Corrections",
          "Wrong or Empty Corrections"}},
    };
    for (const auto &[name, refusal] : rows)
        QTest::newRow(name) << refusal;
}

// A refused command says why on the status bar and standard error and sends
// nothing; the form keeps what was typed.
void TestTcs::commandRefused()
{
    QFETCH(Refusal, refusal);
    openWindow();
    logInAsOperator(QLatin1String(refusal.state));
    probe().setPasswd(QLatin1String(refusal.passwd));
    fillForm();
    auto &f = probe().form();
    const QString command = QLatin1String(refusal.command);
    QLineEdit *field = command == QLatin1String("Send")   ? f.velto_ra_edt
                       : command == QLatin1String("Slew") ? f.velto_decl_edt
                                                          : f.velto_offha_edt;
    field->setText(QLatin1String(refusal.typed));
    f.velto_offdec_edt->setText(QStringLiteral("0.01"));
    LogCapture log;
    press(command);
    QVERIFY(!probe().commandReplyPending());
    QCOMPARE(window->statusBar()->currentMessage(), QLatin1String(refusal.status));
    QCOMPARE(log.err, QStringList{QLatin1String(refusal.line)});
    QCOMPARE(field->text(), QLatin1String(refusal.typed));
}

void TestTcs::commandSentOnceToClosingHost_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("target");
    const QByteArray login = send_script + "?User=oper&Pass=dome3&";
    const QByteArray object = "RA=00:42:44.3&Dec=+41:16:09&Epoch=2000.0&Name=M%2031%20%26%20Co%3D1"
                              "&Mess=from%20Velto_Obj_List&Cmd=";
    QTest::newRow("Send") << "Send" << login + object + "Send";
    QTest::newRow("Slew") << "Slew" << login + object + "Slew";
    QTest::newRow("Stop") << "Stop" << login + "Cmd=Stop";
    QTest::newRow("Corr") << "Corr" << login + "offHA=-1.5&offDec=12.0&Cmd=Corr";
    QTest::newRow("AdCorr") << "AdCorr" << login + "dHA=-1.5&dDec=12.0&Cmd=AdCorr";
}

// A host that closes the connection without answering gets each command
// once: the press fails once, with one box and one error line.
void TestTcs::commandSentOnceToClosingHost()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, target);
    openWindow();
    logInAsOperator();
    fillForm();
    sim.set_fault(SimScript::Command, SimFault::Hangup);
    LogCapture log;
    ModalCloser closer;
    press(command);
    QTRY_COMPARE(closer.closed(), 1);
    QTRY_VERIFY(!probe().commandReplyPending());
    QMetaObject::invokeMethod(window.get(), "on_velto_get_btn_clicked"); // a later request
    QTRY_VERIFY(!probe().stateReplyPending());
    QCOMPARE(commandTargets(), QList<QByteArray>{target});
    QCOMPARE(error_lines(log), QStringList{"Velto read error 2 Connection closed"});
    QCOMPARE(closer.texts(), QStringList{"Connection closed"});
    QCOMPARE(closer.titles(), QStringList{sim.host_text() + " HTTP error"});
    QCOMPARE(closer.closed(), 1);
}

void TestTcs::commandAnswer_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("later"); // the second line, shown 5 s after the first
    QTest::newRow("Ok state") << QByteArray("Done\nState=Ok\n") << true << QString();
    QTest::newRow("state not Ok") << QByteArray("Done\nState=Err\n") << false << QString();
    QTest::newRow("blanks around the equals sign")
        << QByteArray("Done\r\nState = Ok\r\n") << false << QString();
    QTest::newRow("second line") << QByteArray("Done\nNow slewing\nState=Ok\n") << true
                                 << "Now slewing";
}

// Every answer line goes to standard output, the first to the status bar; the
// last "State" line says whether the TCS is Ok.
void TestTcs::commandAnswer()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, ok);
    QFETCH(QString, later);
    openWindow();
    logInAsOperator();
    probe().setStateOk(!ok);
    sim.set_canned_body(SimScript::Command, body);
    LogCapture log;
    press(QStringLiteral("Stop"));
    QTRY_VERIFY(!probe().commandReplyPending());
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Done"));
    QCOMPARE(probe().stateOk(), ok);
    QCOMPARE(probe().pendingMessage(), later);
    QCOMPARE(log.out.join('\n') + '\n', QString::fromUtf8(body).remove('\r'));
    QVERIFY(log.err.isEmpty());
}

void TestTcs::hostFaults_data()
{
    QTest::addColumn<SimScript>("script");
    QTest::addColumn<HostFault>("fault");
    const std::pair<const char *, HostFault> faults[] = {
        {"refused", {SimFault::None, QNetworkReply::ConnectionRefusedError, "Connection refused"}},
        {"closed without an answer",
         {SimFault::Hangup, QNetworkReply::RemoteHostClosedError, "Connection closed"}},
        {"closed mid-reply",
         {SimFault::CloseConnection, QNetworkReply::RemoteHostClosedError, "Connection closed"}},
        {"time-out",
         {SimFault::NeverAnswer, QNetworkReply::OperationCanceledError, "Operation canceled"}},
        {"HTTP 500",
         {SimFault::ServerError, QNetworkReply::InternalServerError,
          "Error transferring %1 - server replied: Internal Server Error"}},
        {"oversized with its length",
         {SimFault::Oversized, QNetworkReply::OperationCanceledError, "Operation canceled"}},
        {"oversized, streamed",
         {SimFault::OversizedStreamed, QNetworkReply::OperationCanceledError,
          "Operation canceled"}},
    };
    for (const SimScript script : {SimScript::Users, SimScript::State, SimScript::Command})
        for (const auto &[name, fault] : faults)
            QTest::addRow("%s: %s", qPrintable(script_name(script)), name) << script << fault;
}

// The command's own connection fails like the manager's requests: the same
// codes and texts, one box, the reply released, no password shown, and no
// poll timer armed by the completion of a failed reply.
void TestTcs::hostFaults()
{
    QFETCH(SimScript, script);
    QFETCH(HostFault, fault);
    const QString host =
        fault.code == QNetworkReply::ConnectionRefusedError ? refusing_host() : sim.host_text();
    set_tcs_transfer_timeout_ms(300);
    LogCapture log;
    ModalCloser closer;
    QString url = "http://" + host + "/tcs/velto_users_all.cgi";
    if (script == SimScript::Users) {
        set_default_tcs_host(host);
        sim.set_fault(script, fault.sim_fault);
        window = std::make_unique<Velto_Obj_List>();
        QTRY_VERIFY(!probe().usersReplyPending());
    } else {
        openWindow();
        logInAsOperator();
        probe().setHost(host);
        sim.set_fault(script, fault.sim_fault);
        const bool state = script == SimScript::State;
        url = "http://" + host +
              (state ? "/tcs/vtcs_get.cgi?User=oper&Pass=****"
                     : "/tcs/vtcs_send.cgi?User=oper&Pass=****&Cmd=Stop");
        probe().setPollInterval(5000); // polling runs
        probe().pollTimer()->start(5000);
        QMetaObject::invokeMethod(window.get(),
                                  state ? "velto_get_timer" : "on_velto_stop_btn_clicked");
        QPointer<QNetworkReply> reply = state ? probe().stateReply() : probe().commandReply();
        QVERIFY(reply);
        QTRY_VERIFY(!reply);
    }
    const QString shown = QString::fromLatin1(fault.text).arg(url);
    QCOMPARE(error_lines(log),
             QStringList{QStringLiteral("Velto read error %1 ").arg(fault.code) + shown});
    QTRY_VERIFY(closer.texts().contains(shown));
    if (script == SimScript::Users)
        return;
    QCOMPARE(closer.closed(), 1);
    QCOMPARE(probe().form().velto_state_lab->text(), QStringLiteral("Unknown"));
    QCOMPARE(probe().form().velto_state_lab->palette().color(QPalette::Window),
             QColor::fromString("Lightgray"));
    if (script == SimScript::Command)
        QCOMPARE(window->statusBar()->currentMessage(), shown);
    // Polling pauses for a minute after the box; the interval steps on from where it was.
    QVERIFY(probe().pollTimer()->isActive());
    QCOMPARE(probe().pollTimer()->interval(), 60000);
    QCOMPARE(probe().pollInterval(), script == SimScript::State ? 5000 : 1000);
    const QString everything =
        log.err.join('\n') + closer.texts().join('\n') + window->statusBar()->currentMessage();
    QVERIFY(!everything.contains(QLatin1String("dome3")));
}

void TestTcs::answerStatusLikeQt_data()
{
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("length");
    // Without a blank, the whole status line.
    const QByteArrayList statuses =
        QByteArray("200 OK|204 No Content|304 Not Modified|301 Moved Permanently|302 Found|"
                   "307 Temporary Redirect|400 Bad Request|401 Unauthorized|403 Forbidden|"
                   "404 Not Found|405 Method Not Allowed|407 Proxy Authentication Required|"
                   "409 Conflict|410 Gone|414 URI Too Long|418 Teapot|500 Internal Server Error|"
                   "501 Not Implemented|502 Bad Gateway|503 Service Unavailable|599 Odd|Hello|"
                   "HTTP/1.0|ICY 200 OK|2000 Big")
            .split('|');
    for (const QByteArray &status : statuses)
        for (const char *length : {"Content-Length: 6\r\n", ""})
            QTest::addRow("%s, %s", status.constData(),
                          *length ? "with its length" : "to the close")
                << status << QByteArray(length);
}

// Whatever the status, a command's reply says what Qt's own reply says, and
// a redirect is followed by neither.
void TestTcs::answerStatusLikeQt()
{
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, length);
    RawHost raw;
    raw.answer = (status.contains(' ') ? "HTTP/1.1 " : "") + status + "\r\nLocation: http://" +
                 raw.host().toLatin1() + "/tcs/moved\r\n" + length +
                 "Connection: close\r\n\r\nMoved\n";
    const QUrl url = tcs_url(raw.host(), QString::fromLatin1(send_script),
                             {{"User", "oper"}, {"Pass", "dome3"}, {"Cmd", "Stop"}});
    QNetworkAccessManager manager;
    const std::unique_ptr<QNetworkReply> qt(get_tcs(manager, url));
    CommandReply own(url);
    QTRY_VERIFY(qt->isFinished() && own.isFinished());
    QCOMPARE(own.error(), qt->error());
    QCOMPARE(reply_error_text(own), reply_error_text(*qt));
    QCOMPARE(own.readAll(), qt->readAll());
    QVERIFY2(!raw.received.contains("/tcs/moved"), raw.received.constData());
}

void TestTcs::failureLikeQt_data()
{
    QTest::addColumn<SimFault>("fault"); // SimFault::None: nobody listens
    QTest::addColumn<QString>("language");
    for (const char *language : {"en", "ru"})
        for (const auto &[name, fault] : {std::pair{"refused", SimFault::None},
                                          {"closed without an answer", SimFault::Hangup},
                                          {"closed mid-reply", SimFault::CloseConnection},
                                          {"time-out", SimFault::NeverAnswer},
                                          {"oversized", SimFault::Oversized},
                                          {"streamed", SimFault::OversizedStreamed}})
            QTest::addRow("%s, %s", name, language) << fault << QString::fromLatin1(language);
}

// A failing host gives a command the code and text, in the language shown,
// that Qt's own reply gives.
void TestTcs::failureLikeQt()
{
    QFETCH(SimFault, fault);
    QFETCH(QString, language);
    QTranslator qt_texts;
    if (language == QLatin1String("ru")) {
        QVERIFY(qt_texts.load(QStringLiteral("qtbase_ru"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        QCoreApplication::installTranslator(&qt_texts);
    }
    set_tcs_transfer_timeout_ms(300);
    sim.set_fault(SimScript::Command, fault);
    const QString host = fault == SimFault::None ? refusing_host() : sim.host_text();
    const QUrl url = tcs_url(host, QString::fromLatin1(send_script), {{"Cmd", "Stop"}});
    QNetworkAccessManager manager;
    const std::unique_ptr<QNetworkReply> qt(get_tcs(manager, url));
    CommandReply own(url);
    QTRY_VERIFY(qt->isFinished() && own.isFinished());
    QCOMPARE(own.error(), qt->error());
    QCOMPARE(own.errorString(), qt->errorString());
}

// A command held by the host does not hold back a Stop, and the held
// command's end is no news; the next command goes out as usual.
void TestTcs::stopWhileCommandHeld()
{
    openWindow();
    logInAsOperator();
    fillForm();
    sim.set_fault(SimScript::Command, SimFault::Delay, 60000);
    LogCapture log;
    ModalCloser closer;
    press(QStringLiteral("Send"));
    QTRY_COMPARE(commandTargets().size(), 1);
    const QPointer<QNetworkReply> held = probe().commandReply();
    press(QStringLiteral("Slew")); // one command at a time: dropped
    sim.set_fault(SimScript::Command, SimFault::None);
    press(QStringLiteral("Stop"));
    QTRY_COMPARE(commandTargets().size(), 2);
    QVERIFY(commandTargets().at(0).endsWith("&Cmd=Send"));
    QVERIFY(commandTargets().at(1).endsWith("&Cmd=Stop"));
    QTRY_VERIFY(!held); // given up at once, its connection closed
    QTRY_VERIFY(!probe().commandReplyPending());
    QVERIFY(log.out.contains(QStringLiteral("State=Ok")));
    press(QStringLiteral("Slew"));
    QTRY_COMPARE(commandTargets().size(), 3);
    QVERIFY(commandTargets().at(2).endsWith("&Cmd=Slew"));
    QTRY_VERIFY(!probe().commandReplyPending());
    QCOMPARE(closer.closed(), 0);
    QVERIFY(error_lines(log).isEmpty());
}

// A poll sent by the timer keeps its re-arm when a command fails meanwhile.
void TestTcs::failedCommandKeepsPollRearm()
{
    openWindow();
    logInAsOperator();
    sim.set_fault(SimScript::State, SimFault::Delay, 500);
    sim.set_fault(SimScript::Command, SimFault::ServerError);
    ModalCloser closer;
    QMetaObject::invokeMethod(window.get(), "velto_get_timer");
    QVERIFY(!probe().pollTimer()->isActive());
    press(QStringLiteral("Stop"));
    QTRY_COMPARE(closer.closed(), 1);
    QVERIFY(!probe().pollTimer()->isActive());
    QTRY_VERIFY(!probe().stateReplyPending());
    QVERIFY(probe().pollTimer()->isActive());
    QCOMPARE(probe().pollTimer()->interval(), 1000); // the state is new again
}

void TestTcs::stateShown_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("background");
    QTest::addColumn<bool>("viewTimer");
    const QByteArray at = "State=Ok\nRA=1.5\nDec=-20.25\nHA=-2.5\n";
    QTest::newRow("tracking") << at + "TelMode=Track\n"
                              << "LightGreen" << false;
    QTest::newRow("slewing fast") << at + "TelMode=Slew\nVDec=300\n"
                                  << "Blue" << true;
    QTest::newRow("stopped") << at + "TelMode=Stop\nVDec=300\n"
                             << "Yellow" << false;
    QTest::newRow("tracking fast") << at + "TelMode=Track\nVHA=2\n"
                                   << "LightGreen" << true;
}

void TestTcs::stateShown()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, background);
    QFETCH(bool, viewTimer);
    openWindow();
    logInAsOperator(QString());
    waitState(body);
    const Velto_object &telescope = probe().telescope();
    QCOMPARE(telescope.ra_sec, 5400.0);
    QCOMPARE(telescope.dec_sec, -72900.0);
    QCOMPARE(telescope.hour_angle, -9000.0);
    QCOMPARE(probe().form().velto_state_lab->palette().color(QPalette::Window),
             QColor::fromString(background));
    QCOMPARE(probe().viewTimer()->isActive(), viewTimer);
}

// Set offset needs level 3 while slewing or tracking, also when only the level changes.
void TestTcs::setOffsetFollowsLevel()
{
    openWindow();
    waitState("State=Ok\nUser=obs1\nLevel=2\nTelMode=Track\n");
    QVERIFY(!probe().form().velto_set_offset_btn->isEnabled());
    waitState("State=Ok\nUser=oper\nLevel=3\nTelMode=Track\n");
    QVERIFY(probe().form().velto_set_offset_btn->isEnabled());
}

// Between replies the chart moves the telescope on at 0.9 of its rate.
void TestTcs::viewTimerExtrapolates()
{
    openWindow();
    QElapsedTimer since_request;
    since_request.start();
    waitState("State=Ok\nDec=10\nHA=1\nA=30\nZ=40\nPA=0\nVDec=-300\nTelMode=Slew\n");
    Velto_object &telescope = probe().telescope();
    double d_a = 0;
    double d_z = 0;
    telescope.hadec_rates_to_az(0, -300, 0, d_a, d_z);
    QVERIFY(d_z > 100);
    const double z0 = telescope.zenith_dist;
    QTRY_VERIFY(telescope.zenith_dist != z0);
    const double t_max = since_request.elapsed() / 1000.0;
    const double moved = telescope.zenith_dist - z0;
    QVERIFY2(moved >= 0.9 * d_z * 0.4 && moved <= 0.9 * d_z * t_max,
             qPrintable(QString::number(moved)));
}

QTEST_MAIN(TestTcs)
#include "tst_tcs.moc"
