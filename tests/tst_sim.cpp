#include "coords/coord_text.h"
#include "sim/tcs_sim_server.h"
#include "test_files.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

namespace
{

constexpr double deg = 3.141592653589793 / 180.0, lat = 43.6535277 * deg,
                 sidereal = 1.0027379093508;

// The values of "key=value" lines of a TCS answer, for keys given between blanks.
QString item(const QByteArray &body, const QString &keys)
{
    const QString text = '\n' + QString::fromUtf8(body);
    QStringList values;
    for (const QString &key : keys.split(' '))
        values << text.section('\n' + key + '=', 1, 1).section('\n', 0, 0);
    return values.join(' ');
}

// Whether the zenith distance and the parallactic angle of a state fit its
// hour angle and declination.
bool sky_fits(const QByteArray &state)
{
    const double h = item(state, "HA").toDouble() * 15 * deg;
    const double d = item(state, "Dec").toDouble() * deg;
    const double z =
        std::acos(std::sin(lat) * std::sin(d) + std::cos(lat) * std::cos(d) * std::cos(h));
    const double sin_pa = std::sin(h) * std::cos(lat) / std::sin(z); // the sine rule
    return std::fabs(item(state, "Z").toDouble() - z / deg) < 1e-4 &&
           std::fabs(std::sin(item(state, "PA").toDouble() * deg) - sin_pa) < 1e-3;
}

// The TCS scripts on a simulated telescope whose clock only moves when told.
struct Tcs {
    // The query of a step: "oper:" and "obs1:" log in for a command, "@ha,dec"
    // is the place at this hour angle (hours) and declination (degrees) now.
    QByteArray query(QString step) const
    {
        step.replace("oper:", "User=oper&Pass=dome3&Cmd=")
            .replace("obs1:", "User=obs1&Pass=star1&Cmd=");
        const auto at = QRegularExpression("@(.+),(.+)$").match(step);
        const double ra = site_sidereal_seconds(clock.seconds()) - at.captured(1).toDouble() * 3600;
        if (at.hasMatch())
            step.replace(at.capturedStart(), at.capturedLength(),
                         "&RA=" + sec_to_ra(std::fmod(ra + 86400, 86400)) +
                             "&Dec=" + sec_to_dec(at.captured(2).toDouble() * 3600));
        return step.toLatin1();
    }
    SimClock clock = [] {
        SimClock stopped;
        stopped.set_speed(0);
        stopped.set_time(QDateTime(QDate(2025, 3, 1), QTime(20, 0), Qt::UTC));
        return stopped;
    }();
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
    void clock()
    {
        Tcs tcs;
        QVERIFY(tcs.clock.set_speed(0) && !tcs.clock.set_speed(-1) &&
                !tcs.clock.set_speed(qQNaN()));
        // Between two whole seconds the sidereal time moves on smoothly.
        const double now = tcs.clock.seconds() + 0.7;
        QCOMPARE(site_sidereal_seconds(now) - site_sidereal_seconds(now - 0.5), 0.5 * sidereal);
    }
    void telescope_data()
    {
        // Each step is "query > start of the answer", "+seconds" on the clock,
        // "items ? their values" read from the state or "users:file > listing or error".
        QTest::addColumn<QStringList>("steps");
        auto row = [](const char *name, const QStringList &steps) { QTest::newRow(name) << steps; };
        row("slew east, south: flips",
            {"oper:Slew&Name=Vega@-2,20 > Slewing to Vega\nState=Ok\n", "+1",
             "VHA VDec Dec ? -480.0000 7200.00 41.65353", "+59",
             "TelMode VHA VDec TelFlip Dec HA Z PA ? Track 1.0027 0.00 Yes 20.00000 -1.983333"});
        row("slew west, north: direct",
            {"oper:Slew@1,60 > Slewing", "+1", "VHA VDec Dec ? 480.0000 7200.00 45.65353", "+59",
             "TelMode VHA VDec TelFlip Dec HA Z PA ? Track 1.0027 0.00 No 60.00000 1.016667"});
        row("slew west, south: direct",
            {"oper:Slew@0.5,30 > Slewing", "+1", "VHA VDec Dec ? 480.0000 -7200.00 41.65353", "+59",
             "TelMode VHA VDec TelFlip Dec HA Z PA ? Track 1.0027 0.00 No 30.00000 0.516667"});
        // Offsets add up; stopped once, the telescope holds its hour angle past the limit.
        row("offsets, stop and limits",
            {"oper:Slew@6.9,60 > Slewing", "+100",
             "oper:Corr&offHA=10&offDec=36 > Offsets set: HA 10.00 s, Dec 36.0\"\nState=Ok\n",
             "oper:AdCorr&dHA=1.5&dDec=-2 > Correction applied: HA 1.50 s, Dec -2.0\"\nState=Ok\n",
             "oper:AdCorr&dHA=0&dDec=3600 > Correction refused",
             "offHA offDec Dec HA PA RA ? 11.50 34.0 60.00944 6.930972 54.75 2.517639",
             "oper:Stop > Telescope stopped\nState=Ok\n", "oper:Stop > Telescope already", "+3600",
             "offHA Dec HA PA RA ? 11.50 60.00944 6.930972 54.75 3.520417",
             "oper:Slew@6.95,60 > Slewing", "offHA ? 0.00", "+600",
             "TelMode Event ? Stop Tracking stopped: hour angle"});
        row("observer sends", {"obs1:Send&Name=M 13@1,36 > Object M 13 accepted\nState=Ok\n"});
        row("observer may not stop", {"obs1:Stop > Permission denied: Stop needs level 3, obs1"});
        row("wrong password",
            {"User=oper&Pass=x&Cmd=Stop > Permission denied: Stop needs a valid"});
        row("unknown command", {"oper:Park > Unknown command \"Park\""});
        row("item of another command", {"oper:Stop&offHA=1 > Stop refused: item \"offHA\" does"});
        row("item twice", {"oper:Stop&Cmd=Stop > Stop refused: item Cmd given twice"});
        row("slew with no object", {"oper:Slew > Slew refused: no object"});
        row("signed R.A.", {"oper:Send&RA=+01:00:00&Dec=+10:00:00 > Send refused: R.A."});
        row("24 hours", {"oper:Send&RA=24:00:00&Dec=10:00:00 > Send refused: R.A."});
        row("past the pole", {"oper:Send&RA=1:00:00&Dec=-90:00:01 > Send refused: Dec must"});
        row("epoch 1800", {"oper:Send&Epoch=1800@1,36 > Send refused: Epoch"});
        row("nan offset", {"oper:Corr&offHA=nan&offDec=0 > Corr refused: offHA must be a number"});
        row("offset over a degree", {"oper:Corr&offHA=0&offDec=3601 > Offsets refused: at most"});
        row("correcting while stopped", {"oper:AdCorr&dHA=1&dDec=1 > Correction refused"});
        row("below the horizon", {"oper:Slew@0,-60 > Slew refused: altitude -13.7 deg is below"});
        row("past the hour-angle limit",
            {"oper:Slew@7.5,60 > Slew refused: hour angle 7.50 h is outside the limits -1 to"});
        row("DEL quoted",
            {"a\x7f\x1f=%zz > Bad request: malformed percent-encoding in \"a%7F%1F=%zz\""});
        row("line break", {"User=oper&Name%00=a%0A > Bad request: control characters in the query "
                           "item \"Name%00\""});
        row("users file, levels 1 and 3", {"users:# ours\n\nguest kelpo 1 Guest  account\nnight "
                                           "n1ght 3 > guest Guest account\nnight\n",
                                           "User=night&Pass=n1ght&Cmd=Stop > Telescope already",
                                           "oper:Stop > Permission denied"});
        const QString kept = "oper:Stop > Telescope already"; // a refused file changes nothing
        row("users file, level 0", {"users:guest kelpo 0\n > line 1: expected", kept});
        row("users file, level 6", {"users:guest kelpo 6\n > line 1: expected", kept});
        row("users file, short password", {"users:a bb 2\nb c 2\n > line 2: a password", kept});
        row("users file, login twice", {"users:a bb 2\na cc 3\n > line 2: login \"a\"", kept});
        row("users file, comments only", {"users:# nobody\n > the users file names no user", kept});
        row("not UTF-8", {"Name=%FF > Bad request: the query is not UTF-8 text\n"});
    }
    void telescope()
    {
        QFETCH(QStringList, steps);
        Tcs tcs;
        for (const QString &step : steps) {
            const qsizetype cut = step.indexOf(QRegularExpression(" [>?] "));
            const QString want = step.mid(cut + 3);
            if (cut < 0) {
                tcs.clock.advance(step.toDouble());
            } else if (step.startsWith("users:")) {
                QString error;
                const bool ok = tcs.users.read(step.mid(6, cut - 6).toUtf8(), &error);
                QVERIFY2((ok ? QString::fromUtf8(tcs.users.listing()) : error).startsWith(want),
                         qPrintable(error));
            } else if (step[cut + 1] == '?') {
                const QByteArray state = tcs.scripts.state("User=oper&Pass=dome3", true).body;
                QVERIFY2(item(state, step.left(cut)).startsWith(want) &&
                             (!step.contains(" PA ") || sky_fits(state)),
                         state.constData());
            } else {
                const QByteArray query = tcs.query(step.left(cut));
                const SimAnswer a = tcs.scripts.command(query, true);
                QVERIFY2(a.body.startsWith(want.toUtf8()), a.body.constData());
                QCOMPARE(a.status, want.startsWith("Bad request") ? 400 : 200);
                QCOMPARE(a.body.count('\n'), a.status == 200 ? 2 : 1);
                if (a.status == 200)
                    QCOMPARE(tcs.scripts.command(query, false).body.split('\n').value(1),
                             TcsScripts::not_ready_state_line());
            }
        }
    }
    void http_data()
    {
        // Rows named after a fault of the state script, as the program's option names it.
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("start"); // of the body
        QTest::addColumn<int>("size");         // -1: any
        auto row = [](const char *name, const QByteArray &target, int status, const char *start,
                      int size = -1) {
            QTest::newRow(name) << target << status << QByteArray(start) << size;
        };
        const QByteArray state = "/tcs/vtcs_get.cgi", ok = "State=Ok\n";
        row("users", "/tcs/velto_users_all.cgi", 200, "guest Guest account\nobs1 First");
        row("state as guest", state, 200, "State=Ok\nUser=guest\nLevel=1\nPermission:");
        row("reverse horizon", "/tcs/velto_horizon.php?rev", 200, "# Velto-1000 horizon, t");
        row("horizon without a key", "/tcs/velto_horizon.php", 400, "Bad request");
        row("state, broken query", state + "?Name%00=a", 400, "Bad request: control characters");
        row("no such script", state + ".bak", 404, "Not found: the TCS host");
        row("dot is no wildcard", "/tcs/vtcs_getXcgi", 404, "Not found");
        row("long query", state + "?M=" + QByteArray(2048, 'x'), 414, "Request refused");
        row("delay", state, 200, ok);
        row("never", state, 0, "", 0);
        row("close", state, 200, ok);
        row("http500", state, 500, "Internal Server Error\n", 22);
        row("empty", state, 200, "", 0);
        row("garbage", state, 200, "", 512);
        row("oversized", state, 200, ok, 2 << 20);
        row("oversized-stream", state, 200, ok, 2 << 20);
        row("notok", state, 200, "State=NotReady (TCS in maintenance)\n");
    }
    void http()
    {
        const SimFault fault = fault_from_name(QTest::currentDataTag()).value_or(SimFault::None);
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, start);
        QFETCH(int, size);
        sim.set_fault(SimScript::State, fault, 200);
        QVERIFY(sim.fault(SimScript::State) == fault &&
                sim.fault(SimScript::All) == SimFault::None);
        QSignalSpy answered(&sim, &TcsSimServer::request_answered);
        const auto reply = get(sim.host_text(), target);
        // "never" holds its answer back for ever: stop waiting once the host says so.
        QTRY_VERIFY(reply->isFinished() || (fault == SimFault::NeverAnswer && !answered.isEmpty()));
        QTEST(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), "status");
        QCOMPARE(reply->isFinished() && reply->error() == QNetworkReply::NoError,
                 reply->attribute(QNetworkRequest::HttpStatusCodeAttribute) == 200 &&
                     fault != SimFault::CloseConnection);
        const QByteArray body = reply->readAll();
        QVERIFY2(body.startsWith(start) && (size < 0 || body.size() == size),
                 body.left(100).constData());
        // The streamed answer has no length; "close" cuts its body short.
        QCOMPARE(body.size() == reply->rawHeader("Content-Length").toInt(),
                 fault != SimFault::OversizedStreamed && fault != SimFault::CloseConnection);
        QCOMPARE(sim.received_targets(), QList<QByteArray>{target});
        const auto users = get(sim.host_text(), "/tcs/velto_users_all.cgi"); // the others answer
        QTRY_VERIFY(users->isFinished() && users->error() == QNetworkReply::NoError);
    }
    void bodyIsNoRequest()
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, sim.port());
        // A body that looks like a request line, its length given before another header.
        socket.write("POST /tcs/vtcs_send.cgi HTTP/1.1\r\nContent-Length: 12\r\nHost: x\r\n\r\n"
                     "GET /bogus\r\nGET /tcs/vtcs_get.cgi HTTP/1.1\r\nHost: x\r\n\r\n");
        QByteArray answer;
        QTRY_VERIFY((answer += socket.readAll()).contains("TelMode=Stop"));
        QVERIFY(answer.startsWith("HTTP/1.1 405")); // the scripts answer GET only
        QCOMPARE(sim.received_targets(),
                 QList<QByteArray>({"/tcs/vtcs_send.cgi", "/tcs/vtcs_get.cgi"}));
    }
    void program()
    {
        QProcess run;
        run.start(QStringLiteral(VELTO_SIM), {"--port", "0", "--fault", "users=http500"});
        QByteArray out;
        QTRY_VERIFY((out += run.readAllStandardOutput()).contains('\n'));
        const QByteArray listening = "velto_tcs_sim listening on http://127.0.0.1:";
        QVERIFY2(out.startsWith(listening) && out.endsWith("/tcs/\n"), out.constData());
        const auto reply =
            get(out.mid(listening.size() - 10).chopped(6), "/tcs/velto_users_all.cgi");
        QTRY_VERIFY(
            (out += run.readAllStandardOutput()).endsWith("GET /tcs/velto_users_all.cgi 500\n"));
        run.kill();
        QVERIFY(run.waitForFinished(10000));
    }
    void programRefuses_data()
    {
        QTest::addColumn<QStringList>("args"); // F0, F1: files holding these texts
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("err");
        const QString range = "velto_tcs_sim: F1: line 2: azimuth must be 0 to below 360 and "
                              "altitude -90 to 90\n";
        const QStringList limits{"# reverse\n0 -90\n359.99 90\n"}; // taken
        QTest::newRow("no users file")
            << QStringList{"--users", "F9"} << QStringList()
            << "velto_tcs_sim: cannot read F9: No such file or directory\n";
        QTest::newRow("no number")
            << QStringList{"--horizon-dir", "F0"} << QStringList{"# direct\n10 x\n"}
            << "velto_tcs_sim: F0: line 2: expected \"azimuth altitude\" in degrees, got \"10 "
               "x\"\n";
        QTest::newRow("azimuth 360, a wrong fault")
            << QStringList{"--horizon-rev", "F0", "--horizon-dir", "F1", "--fault", "state=none=1"}
            << limits + QStringList{"# direct\n360 0\n"}
            << range + "velto_tcs_sim: --fault state=none=1: expected SCRIPT=FAULT, see --help\n";
        QTest::newRow("altitude over 90")
            << QStringList{"--horizon-rev", "F0", "--horizon-dir", "F1"}
            << limits + QStringList{"# direct\n0 90.01\n"} << range;
    }
    // A file it cannot use or a wrong option: the simulator says why and ends with code 2.
    void programRefuses()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, files);
        QTemporaryDir dir;
        for (int i = 0; i < files.size(); ++i)
            write_file(dir.filePath("F" + QString::number(i)), files[i].toUtf8());
        QProcess run;
        run.start(QStringLiteral(VELTO_SIM),
                  args.replaceInStrings(QRegularExpression("^F"), dir.filePath("F")));
        QVERIFY(run.waitForFinished(10000));
        QCOMPARE(run.exitCode(), 2);
        QTEST(QString(run.readAllStandardError()).remove(dir.path() + '/'), "err");
    }

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

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
