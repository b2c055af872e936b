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

constexpr double deg = 3.141592653589793 / 180.0;
constexpr double site_lat = 43.6535277 * deg;

// The value of one "key=value" line of a TCS answer.
QString item(const QByteArray &body, const QString &key)
{
    const QRegularExpression line(QStringLiteral("^%1=(.*)$").arg(key),
                                  QRegularExpression::MultilineOption);
    return line.match(QString::fromUtf8(body)).captured(1);
}

double number(const QByteArray &body, const QString &key)
{
    return item(body, key).toDouble();
}

// The TCS scripts on a simulated telescope whose clock only moves when told.
struct Tcs {
    Tcs() { clock.set_speed(0); }
    QByteArray command(const QByteArray &query) { return scripts.command(query, true).body; }
    QByteArray state() { return scripts.state("User=oper&Pass=dome3", true).body; }
    // "RA=..&Dec=.." of a place at this hour angle (hours) and declination (degrees) now.
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
    void init();
    void cleanup() { sim.reset(); }
    void clock();
    void geometry_data();
    void geometry();
    void slewThenTrack_data();
    void slewThenTrack();
    void offsetsStopAndLimits();
    void commands_data();
    void commands();
    void badQueries_data();
    void badQueries();
    void usersFile_data();
    void usersFile();
    void http_data();
    void http();
    void faults_data();
    void faults();
    void pipelinedBodyIsNoRequest();
    void program();

private:
    struct Reply {
        int status = 0;
        bool complete = false;
        QByteArray body;
        QByteArray length; // the Content-Length header
    };
    // held: the answer is held back for ever, so stop waiting once the host says so.
    Reply fetch(const QByteArray &target, const QByteArray &verb = "GET", bool held = false);
    std::unique_ptr<TcsSimServer> sim;
    QNetworkAccessManager nam;
};

void TestSim::init()
{
    sim = std::make_unique<TcsSimServer>();
    sim->set_request_log([](const QByteArray &) {});
    QVERIFY(sim->start());
}

TestSim::Reply TestSim::fetch(const QByteArray &target, const QByteArray &verb, bool held)
{
    QSignalSpy answered(sim.get(), &TcsSimServer::request_answered);
    const QUrl url = QUrl::fromEncoded("http://" + sim->host_text().toLatin1() + target);
    std::unique_ptr<QNetworkReply> reply(nam.sendCustomRequest(QNetworkRequest(url), verb));
    if (!QTest::qWaitFor([&] { return reply->isFinished() || (held && !answered.isEmpty()); },
                         20000))
        return {};
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
            reply->isFinished() && reply->error() == QNetworkReply::NoError, reply->readAll(),
            reply->rawHeader("Content-Length")};
}

void TestSim::clock()
{
    SimClock clock;
    QVERIFY(clock.set_speed(0));
    QVERIFY(!clock.set_speed(-1));
    QVERIFY(!clock.set_speed(NAN));
    const QDateTime start(QDate(2025, 3, 1), QTime(20, 0), Qt::UTC);
    clock.set_time(start);
    clock.advance(90.5);
    QCOMPARE(clock.now(), start.addMSecs(90500));
    QCOMPARE(clock.speed(), 0.0);
    // Between two whole seconds the sidereal time moves on smoothly.
    const double whole = start.toSecsSinceEpoch();
    QCOMPARE(site_sidereal_seconds(whole + 0.5) - site_sidereal_seconds(whole),
             0.5 * 1.002737909350795);
}

void TestSim::geometry_data()
{
    QTest::addColumn<double>("ha"); // hours
    QTest::addColumn<double>("dec");
    QTest::addColumn<double>("a"); // degrees, from the south to the west
    QTest::addColumn<double>("z");
    QTest::addColumn<double>("pa");
    const double pa6 = std::atan2(1, std::tan(site_lat)) / deg;
    QTest::newRow("meridian, equator") << 0.0 << 0.0 << 0.0 << 43.6535277 << 0.0;
    QTest::newRow("six hours west") << 6.0 << 0.0 << 90.0 << 90.0 << pa6;
    QTest::newRow("six hours east") << -6.0 << 0.0 << -90.0 << 90.0 << -pa6;
    QTest::newRow("north of the zenith") << 0.0 << 60.0 << 180.0 << 60 - 43.6535277 << 180.0;
}

void TestSim::geometry()
{
    QFETCH(double, ha);
    QFETCH(double, dec);
    QFETCH(double, a);
    QFETCH(double, z);
    QFETCH(double, pa);
    double got_a = NAN, got_z = NAN;
    hadec_to_horizontal(ha, dec, got_a, got_z);
    QVERIFY2(std::fabs(got_a - a) < 1e-4 && std::fabs(got_z - z) < 1e-4,
             qPrintable(QStringLiteral("A %1 Z %2").arg(got_a).arg(got_z)));
    QVERIFY(std::fabs(parallactic_angle(ha, dec) - pa) < 1e-6);
}

void TestSim::slewThenTrack_data()
{
    QTest::addColumn<double>("ha");
    QTest::addColumn<double>("dec");
    QTest::addColumn<QString>("flip");
    QTest::addColumn<double>("vha");
    QTest::addColumn<double>("vdec"); // the declination axis, as reported
    // From the zenith: east and south, flipped (the axis turns the other way).
    QTest::newRow("east of the meridian") << -2.0 << 20.0 << "Yes" << -480.0 << 7200.0;
    QTest::newRow("west of the meridian") << 1.0 << 60.0 << "No" << 480.0 << 7200.0;
    QTest::newRow("west, south") << 0.5 << 30.0 << "No" << 480.0 << -7200.0;
}

void TestSim::slewThenTrack()
{
    QFETCH(double, ha);
    QFETCH(double, dec);
    QFETCH(QString, flip);
    QFETCH(double, vha);
    QFETCH(double, vdec);
    Tcs tcs;
    QCOMPARE(tcs.command("User=oper&Pass=dome3&Cmd=Slew&Name=Vega" + tcs.place(ha, dec)),
             QByteArray("Slewing to Vega\nState=Ok\n"));
    QByteArray s = tcs.state();
    QCOMPARE(item(s, "TelMode"), QStringLiteral("Slew"));
    QCOMPARE(item(s, "VHA"), QStringLiteral("0.0000")); // not moved yet
    tcs.clock.advance(1);
    s = tcs.state();
    QCOMPARE(item(s, "TelMode"), QStringLiteral("Slew"));
    QCOMPARE(number(s, "VHA"), vha);
    QCOMPARE(number(s, "VDec"), vdec);
    QCOMPARE(number(s, "Dec"), std::round((43.6535277 + (dec > 43.65 ? 2 : -2)) * 1e5) / 1e5);
    tcs.clock.advance(59);
    s = tcs.state();
    QCOMPARE(item(s, "TelMode"), QStringLiteral("Track"));
    QCOMPARE(item(s, "TelFlip"), flip);
    QCOMPARE(item(s, "VHA"), QStringLiteral("1.0027"));
    QCOMPARE(item(s, "VDec"), QStringLiteral("0.00"));
    QCOMPARE(number(s, "Dec"), dec);
    // The sidereal clock counts whole seconds: a second of slack.
    const double h = number(s, "HA");
    QVERIFY(std::fabs(h - ha - 60 * 1.002737909350795 / 3600) < 1.5 / 3600);
    const double z = std::acos(std::sin(site_lat) * std::sin(dec * deg) +
                               std::cos(site_lat) * std::cos(dec * deg) * std::cos(h * 15 * deg));
    QVERIFY2(std::fabs(number(s, "Z") - z / deg) < 1e-4, qPrintable(item(s, "Z")));
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
    QCOMPARE(item(s, "offHA") + ' ' + item(s, "offDec"), QStringLiteral("11.50 34.0"));
    QCOMPARE(number(s, "Dec"), 60.00944);
    QCOMPARE(tcs.command(oper + "Stop"), QByteArray("Telescope stopped\nState=Ok\n"));
    tcs.clock.advance(3600); // stopped, past the hour-angle limit
    const QByteArray held = tcs.state();
    for (const char *key : {"HA", "Dec", "A", "Z", "PA", "offHA"})
        QCOMPARE(item(held, key), item(s, key));
    const double ra_now = std::fmod(number(s, "RA") + 1.002737909350795, 24.0);
    QVERIFY(std::fabs(number(held, "RA") - ra_now) < 1.5 / 3600);
    QVERIFY(tcs.command(oper + "AdCorr&dHA=1&dDec=1").startsWith("Correction refused"));
    // Tracking again from the hold, the object passes the 7 h limit.
    tcs.command(oper + "Slew" + tcs.place(6.95, 60));
    QCOMPARE(item(tcs.state(), "offHA"), QStringLiteral("0.00"));
    tcs.clock.advance(600);
    s = tcs.state();
    QCOMPARE(item(s, "TelMode"), QStringLiteral("Stop"));
    QVERIFY2(item(s, "Event").startsWith("Tracking stopped: hour angle"), s.constData());
}

void TestSim::commands_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<double>("ha"); // a place appended at this hour angle, unless NaN
    QTest::addColumn<double>("dec");
    QTest::addColumn<QString>("answer"); // its first line starts so
    const QByteArray oper = "User=oper&Pass=dome3&Cmd=", obs = "User=obs1&Pass=star1&Cmd=";
    const double no = qQNaN();
    QTest::newRow("observer sends")
        << obs + "Send&Name=M 13" << 1.0 << 36.0 << "Object M 13 accepted";
    QTest::newRow("observer may not stop")
        << obs + "Stop" << no << 0.0 << "Permission denied: Stop needs level 3, obs1 has level 2";
    QTest::newRow("wrong password") << QByteArray("User=oper&Pass=x&Cmd=Stop") << no << 0.0
                                    << "Permission denied: Stop needs a valid user and password";
    QTest::newRow("unknown command") << oper + "Park" << no << 0.0 << "Unknown command \"Park\"";
    QTest::newRow("stop when stopped")
        << oper + "Stop" << no << 0.0 << "Telescope already stopped";
    QTest::newRow("item of another command")
        << oper + "Stop&offHA=1" << no << 0.0 << "Stop refused: item \"offHA\" does not belong";
    QTest::newRow("item twice") << oper + "Stop&Cmd=Stop" << no << 0.0
                                << "Stop refused: item Cmd given twice";
    QTest::newRow("slew with no object")
        << oper + "Slew" << no << 0.0 << "Slew refused: no object";
    QTest::newRow("signed right ascension")
        << oper + "Send&RA=+01:00:00&Dec=+10:00:00" << no << 0.0 << "Send refused: R.A. must be";
    QTest::newRow("24 hours") << oper + "Send&RA=24:00:00&Dec=10:00:00" << no << 0.0
                              << "Send refused: R.A.";
    QTest::newRow("past the pole")
        << oper + "Send&RA=1:00:00&Dec=-90:00:01" << no << 0.0 << "Send refused: Dec must be";
    QTest::newRow("epoch 1800") << oper + "Send&Epoch=1800" << 1.0 << 36.0 << "Send refused: Epoch";
    QTest::newRow("nan offset") << oper + "Corr&offHA=nan&offDec=0" << no << 0.0
                                << "Corr refused: offHA must be a number, got \"nan\"";
    QTest::newRow("offset over a degree")
        << oper + "Corr&offHA=0&offDec=3601" << no << 0.0 << "Offsets refused: at most 240 s";
    QTest::newRow("not tracking") << oper + "AdCorr&dHA=1&dDec=1" << no << 0.0
                                  << "Correction refused";
    QTest::newRow("below the horizon") << oper + "Slew" << 0.0 << -60.0 << "Slew refused: altitude";
    QTest::newRow("past the hour-angle limit")
        << oper + "Slew" << 7.5 << 60.0
        << "Slew refused: hour angle 7.50 h is outside the limits -1 to 7 h";
}

void TestSim::commands()
{
    QFETCH(QByteArray, query);
    QFETCH(double, ha);
    QFETCH(double, dec);
    QFETCH(QString, answer);
    Tcs tcs;
    const QByteArray body = tcs.command(std::isnan(ha) ? query : query + tcs.place(ha, dec));
    QVERIFY2(body.startsWith(answer.toUtf8()) && body.endsWith("\nState=Ok\n"), body.constData());
    QCOMPARE(body.count('\n'), 2);
    const SimAnswer not_ready = tcs.scripts.command(query, false);
    QCOMPARE(not_ready.body.split('\n').value(1), TcsScripts::not_ready_state_line());
}

void TestSim::badQueries_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("bad escape, DEL quoted")
        << QByteArray("a\x7f\x1f=%zz")
        << QByteArray("malformed percent-encoding in \"a%7F%1F=%zz\"");
    QTest::newRow("line break in a value")
        << QByteArray("User=oper&Name%00=a%0Ab")
        << QByteArray("control characters in the query item \"Name%00\"");
    QTest::newRow("not UTF-8") << QByteArray("Name=%FF")
                               << QByteArray("the query is not UTF-8 text");
}

void TestSim::badQueries()
{
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, answer);
    Tcs tcs;
    for (const SimAnswer &a : {tcs.scripts.state(query, true), tcs.scripts.command(query, true)}) {
        QCOMPARE(a.status, 400);
        QCOMPARE(a.body, "Bad request: " + answer + '\n');
    }
}

void TestSim::usersFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("result"); // the listing, or the error
    QTest::newRow("levels 1 and 3")
        << QByteArray("# ours\n\nguest kelpo 1 Guest  account\nnight n1ght 3\n")
        << "guest Guest account\nnight\n";
    QTest::newRow("level 6") << QByteArray("guest kelpo 6\n") << "line 1: expected";
    QTest::newRow("level 0") << QByteArray("guest kelpo 0\n") << "line 1: expected";
    QTest::newRow("short password") << QByteArray("a bb 2\nb c 2\n") << "line 2: a password";
    QTest::newRow("login twice") << QByteArray("a bb 2\na cc 3\n")
                                 << "line 2: login \"a\" appears twice";
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
}

void TestSim::http_data()
{
    QTest::addColumn<QByteArray>("verb");
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body"); // the start of it
    QTest::newRow("users") << QByteArray("GET") << QByteArray("/tcs/velto_users_all.cgi") << 200
                           << QByteArray("guest Guest account\nobs1 First Observer\noper Night");
    QTest::newRow("state as guest")
        << QByteArray("GET") << QByteArray("/tcs/vtcs_get.cgi") << 200
        << QByteArray("State=Ok\nUser=guest\nLevel=1\nPermission: no user");
    QTest::newRow("reverse horizon")
        << QByteArray("GET") << QByteArray("/tcs/velto_horizon.php?rev") << 200
        << QByteArray("# Velto-1000 horizon, telescope in the reverse");
    QTest::newRow("horizon without a key")
        << QByteArray("GET") << QByteArray("/tcs/velto_horizon.php") << 400
        << QByteArray("Bad request");
    QTest::newRow("no such script")
        << QByteArray("GET") << QByteArray("/tcs/vtcs_get.cgi.bak") << 404
        << QByteArray("Not found: the TCS host has no /tcs/vtcs_get.cgi.bak");
    QTest::newRow("dot is no wildcard")
        << QByteArray("GET") << QByteArray("/tcs/vtcs_getXcgi") << 404 << QByteArray("Not found");
    QTest::newRow("POST") << QByteArray("POST") << QByteArray("/tcs/vtcs_get.cgi") << 405
                          << QByteArray("Request refused");
    QTest::newRow("long query") << QByteArray("GET")
                                << "/tcs/vtcs_get.cgi?Mess=" + QByteArray(2048, 'x') << 414
                                << QByteArray("Request refused: the TCS takes at most 2048");
    QTest::newRow("line break") << QByteArray("GET") << QByteArray("/tcs/vtcs_send.cgi?Name=a%0D")
                                << 400 << QByteArray("Bad request: control characters");
}

void TestSim::http()
{
    QFETCH(QByteArray, verb);
    QFETCH(QByteArray, target);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    const Reply reply = fetch(target, verb);
    QCOMPARE(reply.status, status);
    QVERIFY2(reply.body.startsWith(body), reply.body.left(200).constData());
    QCOMPARE(sim->received_targets(), QList<QByteArray>{target});
}

void TestSim::faults_data()
{
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("length"); // the Content-Length header; "*": any
    QTest::addColumn<int>("size");          // -1: any
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<bool>("complete");
    const QByteArray ok = "State=Ok\n";
    QTest::newRow("delay") << SimFault::Delay << 200 << QByteArray("*") << -1 << ok << true;
    QTest::newRow("never") << SimFault::NeverAnswer << 0 << QByteArray() << 0 << QByteArray()
                           << false;
    QTest::newRow("close") << SimFault::CloseConnection << 200 << QByteArray("*") << -1 << ok
                           << false;
    QTest::newRow("http500") << SimFault::ServerError << 500 << QByteArray("22") << 22
                             << QByteArray("Internal Server Error") << false;
    QTest::newRow("empty") << SimFault::EmptyBody << 200 << QByteArray("0") << 0 << QByteArray()
                           << true;
    QTest::newRow("garbage") << SimFault::Garbage << 200 << QByteArray("512") << 512 << QByteArray()
                             << true;
    QTest::newRow("oversized") << SimFault::Oversized << 200 << QByteArray("2097152") << 2097152
                               << ok << true;
    QTest::newRow("oversized-stream")
        << SimFault::OversizedStreamed << 200 << QByteArray() << 2097152 << ok << true;
    QTest::newRow("notok") << SimFault::StateNotOk << 200 << QByteArray("*") << -1
                           << QByteArray("State=NotReady (TCS in maintenance)\n") << true;
}

void TestSim::faults()
{
    QFETCH(SimFault, fault);
    QFETCH(int, status);
    QFETCH(QByteArray, length);
    QFETCH(int, size);
    QFETCH(QByteArray, start);
    QFETCH(bool, complete);
    sim->set_fault(SimScript::State, fault, 200);
    QCOMPARE(sim->fault(SimScript::State), fault);
    QCOMPARE(sim->fault(SimScript::All), SimFault::None);
    const Reply reply = fetch("/tcs/vtcs_get.cgi", "GET", fault == SimFault::NeverAnswer);
    QCOMPARE(reply.status, status);
    QCOMPARE(reply.complete, complete);
    QVERIFY2(reply.body.startsWith(start), reply.body.left(100).constData());
    if (length != "*")
        QCOMPARE(reply.length, length);
    if (size >= 0)
        QCOMPARE(reply.body.size(), size);
    else
        QCOMPARE(reply.body.size() == reply.length.toInt(), complete); // "close" cuts the body
    QVERIFY(fetch("/tcs/velto_users_all.cgi").complete);               // the other scripts answer
}

void TestSim::pipelinedBodyIsNoRequest()
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, sim->port());
    QVERIFY(socket.waitForConnected(5000));
    // A body that looks like a request line, its length given before another header.
    const QByteArray poll = "GET /tcs/vtcs_get.cgi HTTP/1.1\r\nHost: x\r\n\r\n";
    socket.write("POST /tcs/vtcs_send.cgi HTTP/1.1\r\nContent-Length: 12\r\nHost: x\r\n\r\n"
                 "GET /bogus\r\n" +
                 poll);
    QByteArray answer;
    QTRY_VERIFY((answer += socket.readAll()).contains("TelMode=Stop"));
    QCOMPARE(sim->received_targets(),
             QList<QByteArray>({"/tcs/vtcs_send.cgi", "/tcs/vtcs_get.cgi"}));
}

void TestSim::program()
{
    QProcess help;
    help.start(QStringLiteral(VELTO_SIM), {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished(10000));
    const QByteArray text = help.readAllStandardOutput();
    for (const char *option : {"--port", "--address", "--users", "--horizon-dir", "--horizon-rev",
                               "--speed", "--fault <", "--fault-delay", "oversized-stream"})
        QVERIFY2(text.contains(option), option);
    QProcess bad;
    bad.start(QStringLiteral(VELTO_SIM), {"--port", "0", "--speed", "-1"});
    QVERIFY(bad.waitForFinished(10000));
    QCOMPARE(bad.exitCode(), 2);
    QVERIFY(bad.readAllStandardError().contains("--speed must be a number of 0 or more"));

    QProcess run;
    run.start(QStringLiteral(VELTO_SIM),
              {"--port", "0", "--speed", "0", "--fault", "users=http500"});
    QByteArray out;
    QTRY_VERIFY((out += run.readAllStandardOutput()).contains('\n'));
    const QRegularExpression listening(
        "^velto_tcs_sim listening on http://127\\.0\\.0\\.1:(\\d+)/tcs/\n");
    const QString port = listening.match(QString::fromLatin1(out)).captured(1);
    QVERIFY2(!port.isEmpty(), out.constData());
    std::unique_ptr<QNetworkReply> reply(
        nam.get(QNetworkRequest(QUrl("http://127.0.0.1:" + port + "/tcs/velto_users_all.cgi"))));
    QTRY_VERIFY(reply->isFinished());
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 500);
    QTRY_VERIFY(
        (out += run.readAllStandardOutput()).endsWith("GET /tcs/velto_users_all.cgi 500\n"));
    run.kill();
    QVERIFY(run.waitForFinished(10000));
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
