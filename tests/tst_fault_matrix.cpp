#include "app/velto_help.h"
#include "corr/velto_corr.h"
#include "log_capture.h"
#include "main_window_probe.h"
#include "modal_closer.h"
#include "objlist/velto_list.h"
#include "sim/tcs_sim_server.h"
#include "sky_probe.h"
#include "tcs/tcs_host.h"
#include "tcs/tcs_request.h"

#include <QtTest>
#include <cmath>

// Every request kind of the program against every way a TCS host can fail,
// with the real main window and the in-process simulator: what the observer
// sees, that each reply is released exactly once, and what polls next.

namespace
{

enum class Kind { Users, State, Command, Horizon };

// How a host fails: the simulator's faults, and a port nobody listens on.
enum class Fault {
    Refused,
    NeverAnswer,
    CloseConnection,
    ServerError,
    EmptyBody,
    Garbage,
    Oversized,
    OversizedStreamed,
    StateNotOk,
};

// What the program is to make of it.
enum class Outcome {
    Failed,  // the kind's error path: error line, warning box, error display
    NoLines, // an answer without lines
    Garbage, // an answer of binary bytes, read as lines
    NotOk,   // a TCS that is not Ok
    Normal,  // the fault does not touch this script
};

SimFault sim_fault(Fault fault)
{
    switch (fault) {
    case Fault::Refused:
        break;
    case Fault::NeverAnswer:
        return SimFault::NeverAnswer;
    case Fault::CloseConnection:
        return SimFault::CloseConnection;
    case Fault::ServerError:
        return SimFault::ServerError;
    case Fault::EmptyBody:
        return SimFault::EmptyBody;
    case Fault::Garbage:
        return SimFault::Garbage;
    case Fault::Oversized:
        return SimFault::Oversized;
    case Fault::OversizedStreamed:
        return SimFault::OversizedStreamed;
    case Fault::StateNotOk:
        return SimFault::StateNotOk;
    }
    return SimFault::None;
}

// A host text whose port had a listener a moment ago and has none now.
QString refusing_host()
{
    TcsSimServer gone;
    return gone.start() ? gone.host_text() : QString();
}

QStringList starting_with(const QStringList &lines, const QString &start)
{
    QStringList found;
    for (const QString &line : lines)
        if (line.startsWith(start))
            found << line;
    return found;
}

// Counts the deletions of one reply.
struct ReleaseCounter {
    explicit ReleaseCounter(QObject *reply)
    {
        if (reply)
            QObject::connect(reply, &QObject::destroyed, [this] { ++count; });
    }
    int count = 0;
};

} // namespace

Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Outcome)

class TestFaultMatrix : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void faults_data();
    void faults();

private:
    void startWindow(bool waitForUsers = true);
    void usersFault(Fault fault, Outcome outcome, int code);
    void stateFault(Fault fault, Outcome outcome, int code);
    void commandFault(Fault fault, Outcome outcome, int code);
    void horizonFault(Fault fault, Outcome outcome, int code);
    void checkErrorLine(const LogCapture &log, const char *start, int code);
    void checkBox(const ModalCloser &closer, const QString &host);
    void checkUnknownDisplay();
    void checkPasswordHidden(const LogCapture &log, const ModalCloser &closer,
                             const QString &password);
    MainWindowProbe probe() { return MainWindowProbe(*window); }

    std::unique_ptr<TcsSimServer> sim;
    std::unique_ptr<Velto_Obj_List> window;
};

void TestFaultMatrix::init()
{
    // Time-outs in a fraction of a second instead of 15 s.
    set_tcs_transfer_timeout_ms(300);
    sim = std::make_unique<TcsSimServer>();
    sim->set_request_log([](const QByteArray &) {});
    QVERIFY(sim->start());
    sim->clock().set_speed(0);
    set_default_tcs_host(sim->host_text());
}

void TestFaultMatrix::cleanup()
{
    window.reset();
    sim.reset();
    set_tcs_transfer_timeout_ms(15000);
}

void TestFaultMatrix::startWindow(bool waitForUsers)
{
    window = std::make_unique<Velto_Obj_List>();
    window->show();
    if (!waitForUsers)
        return;
    QTRY_VERIFY(!probe().usersReplyPending());
    SkyProbe sky(probe().sky());
    QTRY_VERIFY(sky.direct().count > 0 && sky.reverse().count > 0 && !sky.pendingReply());
}

void TestFaultMatrix::faults_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("code"); // the error code on standard error, -1 for none

    const int refused = QNetworkReply::ConnectionRefusedError;
    const int canceled = QNetworkReply::OperationCanceledError;
    const int closed = QNetworkReply::RemoteHostClosedError;
    const int server = QNetworkReply::InternalServerError;
    const struct {
        const char *name;
        Fault fault;
        int code;
    } faults[] = {
        {"refused connection", Fault::Refused, refused},
        {"no answer until the time-out", Fault::NeverAnswer, canceled},
        {"connection closed mid-reply", Fault::CloseConnection, closed},
        {"HTTP 500", Fault::ServerError, server},
        {"empty body", Fault::EmptyBody, -1},
        {"binary garbage", Fault::Garbage, -1},
        {"body over the size cap", Fault::Oversized, canceled},
        {"body over the size cap, streamed", Fault::OversizedStreamed, canceled},
        {"state not Ok", Fault::StateNotOk, -1},
    };
    const struct {
        const char *name;
        Kind kind;
    } kinds[] = {
        {"users", Kind::Users},
        {"state", Kind::State},
        {"command", Kind::Command},
        {"horizon", Kind::Horizon},
    };
    for (const auto &k : kinds) {
        for (const auto &f : faults) {
            Outcome outcome = Outcome::Failed;
            if (f.fault == Fault::EmptyBody)
                outcome = Outcome::NoLines;
            else if (f.fault == Fault::Garbage)
                outcome = Outcome::Garbage;
            else if (f.fault == Fault::StateNotOk)
                outcome = k.kind == Kind::State || k.kind == Kind::Command ? Outcome::NotOk
                                                                           : Outcome::Normal;
            QTest::addRow("%s: %s", k.name, f.name) << k.kind << f.fault << outcome << f.code;
        }
    }
}

void TestFaultMatrix::faults()
{
    QFETCH(Kind, kind);
    QFETCH(Fault, fault);
    QFETCH(Outcome, outcome);
    QFETCH(int, code);
    switch (kind) {
    case Kind::Users:
        usersFault(fault, outcome, code);
        break;
    case Kind::State:
        stateFault(fault, outcome, code);
        break;
    case Kind::Command:
        commandFault(fault, outcome, code);
        break;
    case Kind::Horizon:
        horizonFault(fault, outcome, code);
        break;
    }
}

void TestFaultMatrix::checkErrorLine(const LogCapture &log, const char *start, int code)
{
    const QStringList lines = starting_with(log.err, QLatin1String(start));
    QCOMPARE(lines.size(), 1);
    const QString expected = QLatin1String(start) + QString::number(code) + QLatin1Char(' ');
    QVERIFY2(lines.first().startsWith(expected), qPrintable(lines.first()));
}

// One warning box titled with the host asked.
void TestFaultMatrix::checkBox(const ModalCloser &closer, const QString &host)
{
    QCOMPARE(closer.closed(), 1);
    for (const QString &title : closer.titles())
        QCOMPARE(title, host + QLatin1String(" HTTP error"));
    for (const QString &text : closer.texts())
        QVERIFY2(!text.isEmpty(), "the box shows the reply's error text");
}

void TestFaultMatrix::checkUnknownDisplay()
{
    auto &f = probe().form();
    // Whatever a host answers is never read as rich text.
    for (const QLabel *label : {f.velto_state_lab, f.velto_level_lab, f.velto_tcs_lab})
        QCOMPARE(label->textFormat(), Qt::PlainText);
    QCOMPARE(f.velto_state_lab->text(), QStringLiteral("Unknown"));
    QCOMPARE(f.velto_tcs_lab->text(), QStringLiteral("Unknown"));
    QVERIFY(!probe().stateOk());
}

// Qt's texts for HTTP errors quote the URL: its password never shows.
void TestFaultMatrix::checkPasswordHidden(const LogCapture &log, const ModalCloser &closer,
                                          const QString &password)
{
    const QString everything =
        log.err.join('\n') + closer.texts().join('\n') + window->statusBar()->currentMessage();
    QVERIFY2(!everything.contains(QLatin1String("Pass=") + password), qPrintable(everything));
}

// The users list comes once, at start; without it the program ends.
void TestFaultMatrix::usersFault(Fault fault, Outcome outcome, int code)
{
    if (fault == Fault::Refused) {
        // The chart asks the same dead host: its own boxes and lines come too.
        set_default_tcs_host(refusing_host());
    } else {
        sim->set_fault(SimScript::Users, sim_fault(fault));
    }
    LogCapture log;
    ModalCloser closer;
    startWindow(false);
    // Windows the observer opened before the answer came: they close too.
    probe().corrWindow()->show();
    probe().helpWindow()->show();
    QTRY_VERIFY(!probe().usersReplyPending());
    if (outcome == Outcome::Failed) {
        QTRY_VERIFY(!window->isVisible());
        QVERIFY(!probe().sky().isVisible());
        QVERIFY(!probe().listWindow()->isVisible());
        QVERIFY(!probe().corrWindow()->isVisible());
        QVERIFY(!probe().helpWindow()->isVisible());
        checkErrorLine(log, "Velto read error ", code);
        QVERIFY(closer.closed() >= 1);
        QCOMPARE(closer.titles().first(), default_tcs_host() + QLatin1String(" HTTP error"));
        QCOMPARE(probe().form().velto_user_cb->count(), 0);
        return;
    }
    QVERIFY(window->isVisible());
    QVERIFY(starting_with(log.err, QLatin1String("Velto read error ")).isEmpty());
    QCOMPARE(closer.closed(), 0);
    const QComboBox *users = probe().form().velto_user_cb;
    switch (outcome) {
    case Outcome::NoLines:
        QCOMPARE(users->count(), 0);
        break;
    case Outcome::Garbage:
        // Lines of bytes that are no text still make entries; no guest among them.
        QVERIFY(users->count() > 0);
        QCOMPARE(users->currentIndex(), 0);
        break;
    default:
        QVERIFY(users->count() > 1);
        QCOMPARE(probe().selectedUser(), QStringLiteral("guest"));
        break;
    }
}

// A poll sent by the running poll timer.
void TestFaultMatrix::stateFault(Fault fault, Outcome outcome, int code)
{
    startWindow();
    const QString host = fault == Fault::Refused ? refusing_host() : sim->host_text();
    probe().setHost(host);
    sim->set_fault(SimScript::State, sim_fault(fault));
    LogCapture log;
    ModalCloser closer;
    probe().setPollInterval(5000);
    probe().pollTimer()->start(5000);
    QMetaObject::invokeMethod(window.get(), "velto_get_timer");
    ReleaseCounter released(probe().stateReply());
    QTRY_COMPARE(released.count, 1);
    QTRY_VERIFY(!probe().stateReplyPending());
    checkUnknownDisplay();
    QCOMPARE(window->statusBar()->currentMessage().isEmpty(), false);
    if (outcome == Outcome::Failed) {
        checkErrorLine(log, "Velto read error ", code);
        checkBox(closer, host);
        checkPasswordHidden(log, closer, probe().passwd());
        QCOMPARE(probe().form().vtcs_connect_lab->text(), QStringLiteral("Off"));
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("State=Err"));
        // The next poll comes a minute after the box; the interval stays.
        QVERIFY(probe().pollTimer()->isActive());
        QCOMPARE(probe().pollTimer()->interval(), 60000);
        QCOMPARE(probe().pollInterval(), 5000);
        return;
    }
    QVERIFY(log.err.isEmpty());
    QCOMPARE(closer.closed(), 0);
    // An answer that is not an Ok state: polled again in 15 s.
    QVERIFY(probe().pollTimer()->isActive());
    QCOMPARE(probe().pollTimer()->interval(), 15000);
    const QString status = window->statusBar()->currentMessage();
    if (outcome == Outcome::NoLines)
        QCOMPARE(status, QStringLiteral("State=Err"));
    else if (outcome == Outcome::NotOk)
        QCOMPARE(status, QStringLiteral("State NotReady (TCS in maintenance)"));
    else
        QVERIFY2(!status.contains(QLatin1Char('=')), qPrintable(status));
    const QString connection = outcome == Outcome::NotOk ? "On" : "Off";
    QCOMPARE(probe().form().vtcs_connect_lab->text(), connection);
}

// "Stop" while polling runs: it needs only the password.
void TestFaultMatrix::commandFault(Fault fault, Outcome outcome, int code)
{
    startWindow();
    probe().setUserAndLevel(QStringLiteral("oper"), 3);
    probe().setPasswd(QStringLiteral("dome3"));
    const QString host = fault == Fault::Refused ? refusing_host() : sim->host_text();
    probe().setHost(host);
    sim->set_fault(SimScript::Command, sim_fault(fault));
    probe().setStateOk(true);
    LogCapture log;
    ModalCloser closer;
    probe().pollTimer()->start(5000);
    QMetaObject::invokeMethod(window.get(), "on_velto_stop_btn_clicked");
    ReleaseCounter released(probe().commandReply());
    QTRY_COMPARE(released.count, 1);
    QTRY_VERIFY(!probe().commandReplyPending());
    QVERIFY(probe().pollTimer()->isActive());
    if (outcome == Outcome::Failed) {
        checkErrorLine(log, "Velto read error ", code);
        checkBox(closer, host);
        checkUnknownDisplay();
        checkPasswordHidden(log, closer, QStringLiteral("dome3"));
        QCOMPARE(window->statusBar()->currentMessage(), closer.texts().value(0));
        QCOMPARE(probe().pollTimer()->interval(), 60000);
        return;
    }
    QVERIFY(log.err.isEmpty());
    QCOMPARE(closer.closed(), 0);
    // The state display catches up a second after the command.
    QCOMPARE(probe().pollTimer()->interval(), 1000);
    const QString status = window->statusBar()->currentMessage();
    switch (outcome) {
    case Outcome::NoLines:
        QVERIFY(log.out.isEmpty());
        QCOMPARE(status, QString());
        QVERIFY(probe().stateOk()); // an answer without a State line decides nothing
        break;
    case Outcome::Garbage:
        QVERIFY(!log.out.isEmpty());
        QCOMPARE(status, log.out.first());
        break;
    default:
        QCOMPARE(status, log.out.first());
        QVERIFY(!probe().stateOk());
        QVERIFY(probe().pendingMessage().isEmpty()); // a State line is never shown
        break;
    }
}

// The chart asks again for its direct profile after both have loaded.
void TestFaultMatrix::horizonFault(Fault fault, Outcome outcome, int code)
{
    startWindow();
    SkyProbe sky(probe().sky());
    const int direct_before = sky.direct().count;
    if (fault != Fault::Refused)
        sim->set_fault(SimScript::Horizon, sim_fault(fault));
    LogCapture log;
    ModalCloser closer;
    sky.request(true, fault == Fault::Refused ? refusing_host() : QString());
    ReleaseCounter released(sky.pendingReply());
    QTRY_COMPARE(released.count, 1);
    QTRY_VERIFY(!sky.pendingReply());
    QVERIFY(window->isVisible());
    const QStringList loading = starting_with(log.err, QLatin1String("Loading "));
    if (outcome == Outcome::Failed) {
        checkErrorLine(log, "Velto horizon read error ", code);
        // The chart's boxes name the default host, whatever host it asked.
        checkBox(closer, default_tcs_host());
        QVERIFY(loading.isEmpty());
        QCOMPARE(sky.direct().count, direct_before); // the set keeps what it had
        return;
    }
    QCOMPARE(closer.closed(), 0);
    QCOMPARE(loading.size(), 1);
    switch (outcome) {
    case Outcome::NoLines:
        QCOMPARE(loading.first(), QStringLiteral("Loading 0 'direct' horizon points."));
        QCOMPARE(sky.direct().count, 0);
        break;
    case Outcome::Garbage:
        QVERIFY(sky.direct().count > 0 && sky.direct().count <= max_horizon_points);
        for (int i = 0; i < sky.direct().count; ++i) {
            QVERIFY(std::isfinite(sky.direct().points[i].azimuth));
            QVERIFY(std::isfinite(sky.direct().points[i].zenith_dist));
        }
        break;
    default:
        QCOMPARE(sky.direct().count, direct_before);
        break;
    }
    QVERIFY(!sky.render().isNull()); // the chart paints whatever the set holds
}

QTEST_MAIN(TestFaultMatrix)
#include "tst_fault_matrix.moc"
