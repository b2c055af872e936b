#include "coords/coord_text.h"
#include "sim/tcs_sim_server.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpSocket>
#include <QtTest>
#include <cmath>

Q_DECLARE_METATYPE(SimFault)

namespace
{

constexpr double deg = 3.141592653589793 / 180.0, lat = 43.6535277, sidereal = 1.0027379093508;

// The values of "key=value" lines of a TCS answer, for keys given between blanks.
QString item(const QByteArray &body, const QString &keys)
{
    QStringList values;
    for (const QString &key : keys.split(' '))
        values << QRegularExpression('^' + key + "=(.*)$", QRegularExpression::MultilineOption)
                      .match(QString::fromUtf8(body))
                      .captured(1);
    return values.join(' ');
}

// The TCS scripts on a simulated telescope whose clock only moves when told.
struct Tcs {
    Tcs() { clock.set_speed(0); }
    QByteArray command(const QByteArray &query) { return scripts.command(query, true).body; }
    QByteArray state() { return scripts.state("User=oper&Pass=dome3", true).body; }
    // "&RA=..&Dec=.." of the place at this hour angle (hours) and declination now.
    QByteArray place(double ha, double dec) const
    {
        const double ra =
            std::fmod(site_sidereal_seconds(clock.seconds()) - ha * 3600 + 86400, 86400);
        return ("&RA=" + sec_to_ra(ra) + "&Dec=" + sec_to_dec(dec * 3600)).toLatin1();
    }
    SimClock clock;
    HorizonProfiles horizons;
    UsersTable users = UsersTable::built_in();
    TelescopeModel model{clock, horizons};
    TcsScripts scripts{model, users, horizons};
};

} // namespace

// The TCS simulator: its telescope, its scripts, its HTTP host and its program.
class TestSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        sim.set_request_log([](const QByteArray &) {});
        QVERIFY(sim.start());
    }
    void init() { sim.clear_received(); }
    void clock();
    void slewThenTrack_data();
    void slewThenTrack();
    void offsetsStopAndLimits();
    void commands_data();
    void commands();
    void usersFile_data();
    void usersFile();
    void http_data();
    void http();
    void bodyIsNoRequest();
    void program();

private:
    // A GET of this path from a host "address:port".
    std::unique_ptr<QNetworkReply> get(const QString &host, const QByteArray &path)
    {
        return std::unique_ptr<QNetworkReply>(
            nam.get(QNetworkRequest(QUrl::fromEncoded("http://" + host.toLatin1() + path))));
    }
    TcsSimServer sim;
    QNetworkAccessManager nam;
};

void TestSim::clock()
{
    SimClock clock;
    QVERIFY(clock.set_speed(0) && !clock.set_speed(-1) && !clock.set_speed(qQNaN()));
    const QDateTime start(QDate(2025, 3, 1), QTime(20, 0), Qt::UTC);
    clock.set_time(start);
    clock.advance(90.5);
    QCOMPARE(clock.now(), start.addMSecs(90500));
    // Between two whole seconds the sidereal time moves on smoothly.
    const double now = clock.seconds();
    QCOMPARE(site_sidereal_seconds(now) - site_sidereal_seconds(now - 0.5), 0.5 * sidereal);
}

void TestSim::slewThenTrack_data()
{
    QTest::addColumn<double>("ha");
    QTest::addColumn<double>("dec");
    // TelMode VHA VDec Dec after a second, then TelMode VHA VDec TelFlip Dec after a minute;
    // the declination axis turns back when flipped
    QTest::addColumn<QString>("slewing");
    QTest::addColumn<QString>("tracking");
    QTest::newRow("east, south: flips") << -2.0 << 20.0 << "Slew -480.0000 7200.00 41.65353"
                                        << "Track 1.0027 0.00 Yes 20.00000";
    QTest::newRow("west, north: direct") << 1.0 << 60.0 << "Slew 480.0000 7200.00 45.65353"
                                         << "Track 1.0027 0.00 No 60.00000";
    QTest::newRow("west, south: direct") << 0.5 << 30.0 << "Slew 480.0000 -7200.00 41.65353"
                                         << "Track 1.0027 0.00 No 30.00000";
}

void TestSim::slewThenTrack()
{
    QFETCH(double, ha);
    QFETCH(double, dec);
    Tcs tcs; // stopped at the zenith
    QCOMPARE(tcs.command("User=oper&Pass=dome3&Cmd=Slew&Name=Vega" + tcs.place(ha, dec)),
             QByteArray("Slewing to Vega\nState=Ok\n"));
    tcs.clock.advance(1);
    QTEST(item(tcs.state(), "TelMode VHA VDec Dec"), "slewing");
    tcs.clock.advance(59);
    const QByteArray s = tcs.state();
    QTEST(item(s, "TelMode VHA VDec TelFlip Dec"), "tracking");
    // The sidereal clock counts whole seconds: a second of slack.
    const double h = item(s, "HA").toDouble();
    QVERIFY(std::fabs(h - ha - 60 * sidereal / 3600) < 1.5 / 3600);
    const double z = std::acos(std::sin(lat * deg) * std::sin(dec * deg) +
                               std::cos(lat * deg) * std::cos(dec * deg) * std::cos(h * 15 * deg));
    QVERIFY(std::fabs(item(s, "Z").toDouble() - z / deg) < 1e-4);
    // The parallactic angle by the sine rule.
    const double sin_pa = std::sin(h * 15 * deg) * std::cos(lat * deg) / std::sin(z);
    QVERIFY(std::fabs(std::sin(item(s, "PA").toDouble() * deg) - sin_pa) < 1e-3);
}

void TestSim::offsetsStopAndLimits()
{
    Tcs tcs;
    const QByteArray oper = "User=oper&Pass=dome3&Cmd=";
    tcs.command(oper + "Slew" + tcs.place(6.9, 60));
    tcs.clock.advance(100);
    QCOMPARE(tcs.command(oper + "Corr&offHA=10&offDec=36"),
             QByteArray("Offsets set: HA 10.00 s, Dec 36.0\"\nState=Ok\n"));
    QCOMPARE(tcs.command(oper + "AdCorr&dHA=1.5&dDec=-2"),
             QByteArray("Correction applied: HA 1.50 s, Dec -2.0\"\nState=Ok\n"));
    QVERIFY(tcs.command(oper + "AdCorr&dHA=0&dDec=3600").startsWith("Correction refused"));
    QByteArray s = tcs.state();
    QCOMPARE(item(s, "offHA offDec Dec"), QStringLiteral("11.50 34.0 60.00944"));
    QCOMPARE(tcs.command(oper + "Stop"), QByteArray("Telescope stopped\nState=Ok\n"));
    tcs.clock.advance(3600); // stopped, past the hour-angle limit
    const QByteArray held = tcs.state();
    QCOMPARE(item(held, "HA Dec A Z PA offHA"), item(s, "HA Dec A Z PA offHA"));
    const double ra_now = std::fmod(item(s, "RA").toDouble() + sidereal, 24.0);
    QVERIFY(std::fabs(item(held, "RA").toDouble() - ra_now) < 1.5 / 3600);
    // Tracking again from the hold, the object passes the 7 h limit.
    tcs.command(oper + "Slew" + tcs.place(6.95, 60));
    QCOMPARE(item(tcs.state(), "offHA"), QStringLiteral("0.00"));
    tcs.clock.advance(600);
    s = tcs.state();
    QVERIFY2(item(s, "TelMode Event").startsWith("Stop Tracking stopped: hour angle"), s.data());
}

void TestSim::commands_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<double>("ha"); // a place appended at this hour angle, unless NaN
    QTest::addColumn<double>("dec");
    QTest::addColumn<QString>("answer"); // how the answer starts
    auto row = [](const char *name, const QByteArray &query, const char *answer,
                  double ha = qQNaN(),
                  double dec = 0) { QTest::newRow(name) << query << ha << dec << QString(answer); };
    const QByteArray oper = "User=oper&Pass=dome3&Cmd=", obs = "User=obs1&Pass=star1&Cmd=";
    row("observer sends", obs + "Send&Name=M 13", "Object M 13 accepted\nState=Ok\n", 1, 36);
    row("observer may not stop", obs + "Stop", "Permission denied: Stop needs level 3, obs1 has");
    row("wrong password", "User=oper&Pass=x&Cmd=Stop", "Permission denied: Stop needs a valid");
    row("unknown command", oper + "Park", "Unknown command \"Park\"");
    row("stop when stopped", oper + "Stop", "Telescope already stopped\nState=Ok\n");
    row("item of another command", oper + "Stop&offHA=1", "Stop refused: item \"offHA\" does");
    row("item twice", oper + "Stop&Cmd=Stop", "Stop refused: item Cmd given twice");
    row("slew with no object", oper + "Slew", "Slew refused: no object");
    row("signed R.A.", oper + "Send&RA=+01:00:00&Dec=+10:00:00", "Send refused: R.A.");
    row("24 hours", oper + "Send&RA=24:00:00&Dec=10:00:00", "Send refused: R.A.");
    row("past the pole", oper + "Send&RA=1:00:00&Dec=-90:00:01", "Send refused: Dec must");
    row("epoch 1800", oper + "Send&Epoch=1800", "Send refused: Epoch", 1, 36);
    row("nan offset", oper + "Corr&offHA=nan&offDec=0", "Corr refused: offHA must be a number");
    row("offset over a degree", oper + "Corr&offHA=0&offDec=3601", "Offsets refused: at most");
    row("correcting while stopped", oper + "AdCorr&dHA=1&dDec=1", "Correction refused");
    row("below the horizon", oper + "Slew", "Slew refused: altitude -13.7 deg is below", 0, -60);
    row("past the hour-angle limit", oper + "Slew",
        "Slew refused: hour angle 7.50 h is outside the limits -1 to 7 h", 7.5, 60);
    row("DEL quoted", "a\x7f\x1f=%zz",
        "Bad request: malformed percent-encoding in \"a%7F%1F=%zz\"");
    row("line break", "User=oper&Name%00=a%0A",
        "Bad request: control characters in the query "
        "item \"Name%00\"");
    row("not UTF-8", "Name=%FF", "Bad request: the query is not UTF-8 text\n");
}

void TestSim::commands()
{
    QFETCH(QByteArray, query);
    QFETCH(double, ha);
    QFETCH(double, dec);
    QFETCH(QString, answer);
    Tcs tcs;
    const SimAnswer a =
        tcs.scripts.command(std::isnan(ha) ? query : query + tcs.place(ha, dec), true);
    QVERIFY2(a.body.startsWith(answer.toUtf8()), a.body.constData());
    QCOMPARE(a.status, answer.startsWith("Bad request") ? 400 : 200);
    QCOMPARE(a.body.count('\n'), a.status == 200 ? 2 : 1);
    if (a.status == 200)
        QCOMPARE(tcs.scripts.command(query, false).body.split('\n').value(1),
                 TcsScripts::not_ready_state_line());
}

void TestSim::usersFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("result"); // the listing, or the start of the error
    QTest::newRow("levels 1 and 3")
        << QByteArray("# ours\n\nguest kelpo 1 Guest  account\nnight n1ght 3")
        << "guest Guest account\nnight\n";
    QTest::newRow("level 0") << QByteArray("guest kelpo 0\n") << "line 1: expected";
    QTest::newRow("level 6") << QByteArray("guest kelpo 6\n") << "line 1: expected";
    QTest::newRow("short password") << QByteArray("a bb 2\nb c 2\n") << "line 2: a password";
    QTest::newRow("login twice") << QByteArray("a bb 2\na cc 3\n") << "line 2: login \"a\" appears";
    QTest::newRow("comments only") << QByteArray("# nobody\n") << "the users file names no user";
}

void TestSim::usersFile()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, result);
    UsersTable users = UsersTable::built_in();
    QString error;
    const bool ok = users.read(text, &error);
    QCOMPARE(ok ? QString::fromUtf8(users.listing()) : error.left(result.size()), result);
    QCOMPARE(users.users().size(), ok ? 2 : 4); // a refused file changes nothing
    QCOMPARE(users.authenticate("night", "n1ght") != nullptr, ok);
}

void TestSim::http_data()
{
    QTest::addColumn<SimFault>("fault"); // of the state script
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("start"); // of the body
    QTest::addColumn<int>("size");         // -1: any
    auto row = [](const char *name, SimFault fault, const QByteArray &target, int status,
                  const char *start, int size = -1) {
        QTest::newRow(name) << fault << target << status << QByteArray(start) << size;
    };
    const SimFault none = SimFault::None;
    const QByteArray state = "/tcs/vtcs_get.cgi", ok = "State=Ok\n";
    row("users", none, "/tcs/velto_users_all.cgi", 200, "guest Guest account\nobs1 First");
    row("state as guest", none, state, 200, "State=Ok\nUser=guest\nLevel=1\nPermission:");
    row("reverse horizon", none, "/tcs/velto_horizon.php?rev", 200, "# Velto-1000 horizon, t");
    row("horizon without a key", none, "/tcs/velto_horizon.php", 400, "Bad request");
    row("no such script", none, state + ".bak", 404, "Not found: the TCS host");
    row("dot is no wildcard", none, "/tcs/vtcs_getXcgi", 404, "Not found");
    row("long query", none, state + "?M=" + QByteArray(2048, 'x'), 414, "Request refused");
    row("delay", SimFault::Delay, state, 200, ok);
    row("never", SimFault::NeverAnswer, state, 0, "", 0);
    row("close", SimFault::CloseConnection, state, 200, ok);
    row("http500", SimFault::ServerError, state, 500, "Internal Server Error\n", 22);
    row("empty", SimFault::EmptyBody, state, 200, "", 0);
    row("garbage", SimFault::Garbage, state, 200, "", 512);
    row("oversized", SimFault::Oversized, state, 200, ok, 2 << 20);
    row("oversized-stream", SimFault::OversizedStreamed, state, 200, ok, 2 << 20);
    row("notok", SimFault::StateNotOk, state, 200, "State=NotReady (TCS in maintenance)\n");
}

void TestSim::http()
{
    QFETCH(SimFault, fault);
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, start);
    QFETCH(int, size);
    sim.set_fault(SimScript::State, fault, 200);
    QVERIFY(sim.fault(SimScript::State) == fault && sim.fault(SimScript::All) == SimFault::None);
    QSignalSpy answered(&sim, &TcsSimServer::request_answered);
    const auto reply = get(sim.host_text(), target);
    // "never" holds its answer back for ever: stop waiting once the host says so.
    QTRY_VERIFY(reply->isFinished() || (fault == SimFault::NeverAnswer && !answered.isEmpty()));
    QTEST(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), "status");
    QCOMPARE(reply->isFinished() && reply->error() == QNetworkReply::NoError,
             reply->attribute(QNetworkRequest::HttpStatusCodeAttribute) == 200 &&
                 fault != SimFault::CloseConnection);
    const QByteArray body = reply->readAll();
    QVERIFY2(body.startsWith(start), body.left(100).constData());
    // The streamed answer has no length; "close" cuts its body short.
    QCOMPARE(body.size() == reply->rawHeader("Content-Length").toInt(),
             fault != SimFault::OversizedStreamed && fault != SimFault::CloseConnection);
    QVERIFY(size < 0 || body.size() == size);
    QCOMPARE(sim.received_targets(), QList<QByteArray>{target});
    const auto users = get(sim.host_text(), "/tcs/velto_users_all.cgi"); // the others answer
    QTRY_VERIFY(users->isFinished());
    QCOMPARE(users->error(), QNetworkReply::NoError);
}

void TestSim::bodyIsNoRequest()
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, sim.port());
    QVERIFY(socket.waitForConnected(5000));
    // A body that looks like a request line, its length given before another header.
    socket.write("POST /tcs/vtcs_send.cgi HTTP/1.1\r\nContent-Length: 12\r\nHost: x\r\n\r\n"
                 "GET /bogus\r\nGET /tcs/vtcs_get.cgi HTTP/1.1\r\nHost: x\r\n\r\n");
    QByteArray answer;
    QTRY_VERIFY((answer += socket.readAll()).contains("TelMode=Stop"));
    QVERIFY(answer.startsWith("HTTP/1.1 405")); // the scripts answer GET only
    QCOMPARE(sim.received_targets(),
             QList<QByteArray>({"/tcs/vtcs_send.cgi", "/tcs/vtcs_get.cgi"}));
}

void TestSim::program()
{
    QProcess run;
    run.start(QStringLiteral(VELTO_SIM), {"--port", "0", "--fault", "users=http500"});
    QByteArray out;
    QTRY_VERIFY((out += run.readAllStandardOutput()).contains('\n'));
    const QByteArray listening = "velto_tcs_sim listening on http://127.0.0.1:";
    QVERIFY2(out.startsWith(listening) && out.endsWith("/tcs/\n"), out.constData());
    const auto reply = get(out.mid(listening.size() - 10).chopped(6), "/tcs/velto_users_all.cgi");
    QTRY_VERIFY(reply->isFinished());
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 500);
    QTRY_VERIFY(
        (out += run.readAllStandardOutput()).endsWith("GET /tcs/velto_users_all.cgi 500\n"));
    run.kill();
    QVERIFY(run.waitForFinished(10000));
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
