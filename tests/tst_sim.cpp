#include "coords/coord_text.h"
#include "sim/tcs_sim_server.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpSocket>
#include <QtTest>
#include <cmath>

const QDateTime start_time(QDate(2025, 3, 1), QTime(20, 0), Qt::UTC); // sidereal time 9:25:15

// The TCS scripts on a simulated telescope whose clock only moves when told.
struct Tcs {
    Tcs() { clock.set_speed(0), clock.set_time(start_time); }
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
        return step.toUtf8();
    }
    SimClock clock;
    HorizonProfiles horizons;
    UsersTable users = UsersTable::built_in();
    TelescopeModel model{clock, horizons};
    TcsScripts scripts{model, users, horizons};
};

// The TCS simulator: its telescope, its scripts, its HTTP host and its program.
class TestSim : public QObject
{
    Q_OBJECT

    TcsSimServer sim;
    QList<QByteArray> log; // its request log
    QNetworkAccessManager nam;

private slots:
    void initTestCase()
    {
        sim.set_request_log([this](const QByteArray &line) { log << line; });
        QElapsedTimer real; // the clock runs at speed 1 until stopped
        const double start = (real.start(), sim.clock().seconds());
        QTest::qWait(20);
        const double ran = sim.clock().seconds() - start;
        QVERIFY(ran >= 0.02 && ran <= real.elapsed() / 1000.0 + 0.001);
        QVERIFY(sim.start() && sim.clock().set_speed(0));
        sim.clock().set_time(start_time);
    }
    void init() { sim.clear_received(), log.clear(); }
    void telescope_data()
    {
        // Steps between " | ": "query > start of the answer" ('$': "\nState=Ok\n", N80:
        // 80 n, P360: 360 lines "0 1"), "+seconds" on the clock, "items ? their values"
        // in the state, "users:file > listing or error", "dir AZ:file > altitude there
        // or error" (rev: the reverse profile; no file: the one in use).
        QTest::addColumn<QString>("steps");
        auto row = [](const char *name, const QString &steps) { QTest::newRow(name) << steps; };
        row("slew east, south: flips",
            "oper:Slew&Name=Vega@-2,20 > Slewing to Vega$ | +0.9 | VHA VDec Dec ObjName ra2000 "
            "dec2000 ? -480.0000 7200.00 41.85353 Vega 11:25:15.00 +20:00:00.0 | +12 | TelMode VHA "
            "VDec ? Slew -480.0000 0.00 | +47.1 | TelMode VHA VDec TelFlip Dec HA A Z PA ? Track "
            "1.0027 0.00 Yes 20.00000 -1.983333 -55.89939 34.27159 -39.61");
        row("slew west, north: direct",
            "oper:Slew@1,60 > Slewing to 08:25:15.00 +60:00:00.0$ | +1 | VHA VDec Dec ? 480.0000 "
            "7200.00 45.65353 | +59 | TelMode VHA VDec TelFlip Dec HA ? Track 1.0027 0.00 No "
            "60.00000 1.016667");
        row("offsets, stop and limits",
            "oper:Slew@6.9,60 > Slewing | +100 | oper:Corr&offHA=10&offDec=36 > Offsets set: HA "
            "10.00 s, Dec 36.0\"$ | oper:AdCorr&dHA=1.5&dDec=-2 > Correction applied: HA 1.50 s, "
            "Dec -2.0\"$ | oper:AdCorr&dHA=0&dDec=3600 > Correction refused: the offsets | offHA "
            "offDec Dec HA PA RA ? 11.50 34.0 60.00944 6.930972 54.75 2.517639 | oper:Stop > "
            "Telescope stopped$ | +3600 | offHA Dec HA PA RA ? 11.50 60.00944 6.930972 54.75 "
            "3.520417 | oper:Slew@6.95,60 > Slewing | offHA ? 0.00 | +600 | TelMode VHA Event ? "
            "Stop 0.0000 Tracking stopped: hour angle 7.12 h is outside the limits -1 to 7 h | "
            "oper:Slew@1,60 > Slewing | Event TelMode ?  Slew | +60 | "
            "oper:Corr&offHA=-240&offDec=3600 > Offsets set: HA -240.00 s, Dec 3600.0\"$ | "
            "oper:Corr&offHA=-240.01&offDec=0 > Offsets refused: at most 240 s in HA and 3600\" in "
            "Dec$ | offHA offDec Dec ? -240.00 3600.0 61.00000");
        row("send, then slew to it",
            "obs1:Send@1,36 > Object 08:25:15.00 +36:00:00.0 accepted$ | oper:Slew > Slewing to "
            "08:25:15.00 +36:00:00.0$ | obs1:Send&Name=M%2013+x@1,90 > Object M 13+x accepted$ | "
            "ObjName ra2000 dec2000 ? M 13+x 08:25:15.00 +90:00:00.0");
        row("still between two seconds, refusals",
            "+0.9 | Stime RA HA VHA VDec TelMode ? 9.421084 9.421084 0.000000 0.0000 0.00 Stop | "
            "obs1:Stop > Permission denied: Stop needs level 3, obs1 has level 2$ | "
            "User=oper&Pass=x&Cmd=Stop > Permission denied: Stop needs a valid | oper:Park > "
            "Unknown command | oper:Stop&Mess > Telescope already | oper:Stop&offHA=1 > Stop "
            "refused: item \"offHA\" | oper:Stop&=v > Stop refused: item \"\" | oper:Stop&Cmd=Stop "
            "> Stop refused: item Cmd given | oper:Slew > Slew refused: no object | "
            "oper:AdCorr&dHA=1&dDec=1 > Correction refused: the telescope | "
            "oper:Corr&offHA=nan&offDec=0 > Corr refused: offHA | "
            "obs1:Send&Name=N80&Epoch=1900@1,36 > Object N80 accepted | obs1:Send&Name=N80n@1,36 > "
            "Send refused: Name | obs1:Send&Epoch=2100@-6.9,60 > Object | "
            "obs1:Send&Epoch=1800@1,36 > Send refused: Epoch | obs1:Send&Epoch=2100.5@1,36 > Send "
            "refused: Epoch | obs1:Send > Send refused: R.A. | oper:Slew&RA=01:00:00 > Slew "
            "refused: Dec | oper:Send&RA=+01:00:00&Dec=+10:00:00 > Send refused: R.A. | "
            "oper:Send&RA=24:00:00&Dec=10:00:00 > Send refused: R.A. | "
            "oper:Send&RA=01:60:00&Dec=10:00:00 > Send refused: R.A. | "
            "oper:Send&RA=1:00:00&Dec=-90:00:01 > Send refused: Dec | "
            "oper:Send&RA=1:00:00&Dec=10:00:60 > Send refused: Dec | a \x7f\x1f=%zz > Bad request: "
            "malformed percent-encoding in \"a %7F%1F=%zz\"\n | User=oper&Name%00=a%0A > Bad "
            "request: control characters in the query item \"Name%00\"\n | oper:Stop&=%0A > Bad "
            "request: control characters in the query item \"\"\n | Name=%FF > Bad request: the "
            "query is not UTF-8 text\n | obs1:Send@7.5,60 > Object refused: hour angle 7.50 h is "
            "outside the limits -1 to 7 h$ | oper:Slew@-7.5,60 > Slew refused: hour angle -7.50 h "
            "is outside the limits -7 to 1 h$ | oper:Slew@0.5,-60 > Slew refused: altitude -13.8 "
            "deg is below the horizon (3.3 deg at azimuth 184)$ | oper:Slew@-5,0 > Slew refused: "
            "altitude 10.8 deg is below the horizon (15.6 deg at azimuth 100)$ | dir 0:# direct\n0 "
            "80\n > 80.00 | oper:Slew@1,60 > Slew refused: altitude 71.3 deg is below the horizon "
            "(80.0 deg at azimuth 336)$");
        row("users files",
            "users:guest kelpo 0 > line 1: expected | users:guest kelpo 6 > line 1: expected | "
            "users:a bb 2\nb c 2 > line 2: a password | users:a bb 2\na cc 3 > line 2: login \"a\" "
            "| users:# nobody > the users file names | oper:Stop > Telescope already | users:# "
            "ours\n\nguest kelpo 1 Guest  account\nnight n1ght 5 > guest Guest account\nnight\n | "
            "User=night&Pass=n1ght&Cmd=Stop > Telescope already | oper:Stop > Permission denied");
        row("horizons",
            "dir 0: > 2.33 | dir 40: > 6.02 | dir 130: > 16.00 | dir 260: > 0.50 | dir 315: > "
            "10.95 | rev 90: > 16.00 | rev 359.5: > 5.23 | dir 0:#\n360 0 > line 2: azimuth | dir "
            "0:#\n-0.01 0 > line 2: azimuth | dir 0:#\n0 90.01 > line 2: azimuth | dir 0:#\n0 "
            "-90.01 > line 2: azimuth | dir 0:#\n10 > line 2: expected | dir 0:#\n10 5 7 > line 2: "
            "expected | dir 0:#\n10 x > line 2: expected | dir 0:# direct\n > a profile holds 1 to "
            "360 points, this one 0 | dir 0:P3600 1\n > a profile holds 1 to 360 points, this one "
            "361 | dir 130: > 16.00 | dir 45:0 10\n90  20\n > 15.00 | dir 0:# reverse\n0 1 > the "
            "program would take these points for the reverse | rev 0:#reverse\n10 0\n350\t10\n > "
            "5.00 | rev 355: > 7.50 | rev -5: > 7.50 | rev 725: > 2.50 | rev 0:0 1 > the program "
            "would take these points for the direct | rev 0:# reverse, direct\n0 1 > the program "
            "would take these points for the direct | dir 90:# direct\n\n  # ours\n180 10\n0 0\n# "
            "reverse\n > 5.00 | dir 300:100 7 > 7.00 | dir 0:# direct\n0 -90\n359.99 90\n > -90.00 "
            "| dir 1:P360 > 1.00");
    }
    void telescope()
    {
        QFETCH(QString, steps);
        Tcs tcs;
        steps.replace("N80", QString(80, 'n')).replace("P360", QString("0 1\n").repeated(360));
        for (const QString &step : steps.replace('$', "\nState=Ok\n").split(" | ")) {
            const qsizetype cut = step.indexOf(QRegularExpression(" [>?] ")),
                            colon = step.indexOf(':');
            const QString want = step.mid(cut + 3);
            const QByteArray file = step.mid(colon + 1, cut - colon - 1).toUtf8();
            const bool dir = step.startsWith("dir ");
            QString error, got;
            HorizonProfile &p = dir ? tcs.horizons.direct : tcs.horizons.reverse;
            if (cut < 0) {
                tcs.clock.advance(step.toDouble());
            } else if (step.startsWith("users:")) {
                got = tcs.users.read(file, &error) ? QString(tcs.users.listing()) : error;
            } else if (dir || step.startsWith("rev ")) {
                const bool ok = file.isEmpty() || p.read(file, HorizonProfile::Role(!dir), &error);
                got = ok ? QString::number(p.altitude_at(step.mid(4, colon - 4).toDouble()), 'f', 2)
                         : error;
            } else if (step[cut + 1] == '?') { // the values of these items in the state
                const QByteArray body = '\n' + tcs.scripts.state("User=oper&Pass=dome3", true).body;
                for (const QString &key : step.left(cut).split(' '))
                    got += QString(body).section('\n' + key + '=', 1, 1).section('\n', 0, 0) + ' ';
                got.chop(1);
            } else {
                const SimAnswer a = tcs.scripts.command(tcs.query(step.left(cut)), true);
                got = a.body;
                QCOMPARE(a.status, want.startsWith("Bad request") ? 400 : 200);
                QCOMPARE(a.body.count('\n'), a.status == 200 ? 2 : 1);
            }
            QVERIFY2(cut < 0 || (step[cut + 1] == '?' ? got == want : got.startsWith(want)),
                     qPrintable(step + "\ngot: " + got));
        }
    }
    void http_data()
    {
        // Rows named after a fault of the state script, as the program's option names it.
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("want"); // the body; "start*size": its start (and size)
        auto row = [](const char *name, const QByteArray &target, int status,
                      const QByteArray &want) { QTest::newRow(name) << target << status << want; };
        const QByteArray state = "/tcs/vtcs_get.cgi", horizon = "/tcs/velto_horizon.php?";
        const QByteArray fresh =
            "State=Ok\nUser=guest\nLevel=1\nPermission: no user and password given, served as "
            "guest\nStime=9.420833\nRA=9.420833\nDec=43.65353\nHA=0.000000\nA=180.00000\nZ=0."
            "00049\nVHA=0.0000\nVDec=0.00\noffHA=0.00\noffDec=0.0\nObjName=\nra2000=09:25:15."
            "00\ndec2000=+43:39:12.7\nPA=180.00\nTCSmode=Simul\nTelFlip=No\nTelMode=Stop\n";
        row("users", "/tcs/velto_users_all.cgi", 200, "guest Guest account\nobs1*");
        row("fresh state as guest", state, 200, fresh);
        row("no password", state + "?User=oper", 200, fresh.left(fresh.indexOf("St", 9)) + '*');
        row("first of repeated keys", state + "?User=oper&Pass=x&Pass=dome3", 200,
            "State=Ok\nUser=guest\nLevel=1\nPermission denied for \"oper\"*");
        row("user", state + "?Pass=dome3&User=oper", 200, "State=Ok\nUser=oper\nLevel=3\nStime*");
        row("dir", horizon + "dir", 200, "# Velto-1000 horizon, telescope in the direct*4031");
        row("rev", horizon + "rev", 200, "# Velto-1000 horizon, telescope in the reverse*4105");
        row("horizon without a key", horizon.chopped(1), 400, "Bad request: ask for*");
        row("no such script", state + ".bak?x", 404,
            "Not found: the TCS host has no /tcs/vtcs_get.cgi.bak\n");
        row("dot is no wildcard", "/tcs/vtcs_getXcgi", 404, "Not found*");
        row("longest target", state + "?M=" + QByteArray(2028, 'x'), 200, "State=Ok\n*");
        row("target too long", state + "?M=" + QByteArray(2029, 'x'), 414, "Request refused*");
        row("delay", state, 200, fresh);
        row("never", state, 0, "");
        row("hangup", state, 0, "");
        row("close", state, 200, fresh.left(fresh.size() / 2));
        row("http500", state, 500, "Internal Server Error\n");
        row("empty", state, 200, "");
        row("garbage", state, 200, "*512");
        row("oversized", state, 200, "State=Ok\n*2097152");
        row("oversized-stream", state, 200, "State=Ok\n*2097152");
        row("command, not ready", "/tcs/vtcs_send.cgi?Cmd=Stop", 200,
            "TCS not ready: Stop not executed\nState=NotReady*");
        row("notok", state, 200, "State=NotReady (TCS in maintenance)\n" + fresh.mid(9));
    }
    void http()
    {
        const SimFault fault = fault_from_name(QTest::currentDataTag()).value_or(SimFault::None);
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, want);
        sim.set_fault(SimScript::All, SimFault::StateNotOk);
        sim.set_fault(SimScript::State, fault, 200);
        QVERIFY(sim.fault(SimScript::State) == fault &&
                sim.fault(SimScript::All) == SimFault::StateNotOk);
        const std::unique_ptr<QNetworkReply> reply(nam.get(
            QNetworkRequest(QUrl::fromEncoded("http://" + sim.host_text().toLatin1() + target))));
        // "never" holds its answer back for ever: stop waiting once the host says so.
        QTRY_VERIFY(reply->isFinished() || (fault == SimFault::NeverAnswer && !log.isEmpty()));
        QTEST(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), "status");
        const QByteArray body = reply->readAll(), start = want.left(want.indexOf('*'));
        const QByteArray size = want.endsWith('*') ? "" : QByteArray::number(body.size());
        QCOMPARE(want.contains('*') ? body.left(start.size()) + '*' + size : body, want);
        // The streamed answer has no length; "close" cuts its body short.
        QCOMPARE(body.size() == reply->rawHeader("Content-Length").toInt(),
                 fault != SimFault::OversizedStreamed && fault != SimFault::CloseConnection);
        // The client asks again once when the host hangs up.
        QCOMPARE(sim.received_targets(),
                 QList<QByteArray>(fault == SimFault::Hangup ? 2 : 1, target));
    }
    // Requests as they come on the wire: a body split across writes that looks like a
    // request line, a request line and headers split, one byte, a blank line, a body of one
    // byte, two in one write.
    void wire()
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, sim.port());
        for (const char *piece :
             {"POST /tcs/vtcs_send.cgi HTTP/1.1\r\nContent-Length:12\r\nHost: x\r\n\r\nGET /bo",
              "gus\r\nGET /tcs/vtcs_", "g", "et.cgi?a=%41 HTTP/1.1\r\nHo",
              "st: x\r\n\r\n\r\nGET /tcs/velto_users_all.cgi HTTP/1.0\r\nContent-Length: 1\r\n\r\n "
              "GET /tcs/x HTTP/1.0\r\n\r\n"}) {
            socket.write(piece);
            QVERIFY(socket.waitForBytesWritten(5000));
            QTest::qWait(50);
        }
        QTRY_COMPARE(log.join('|'), "POST /tcs/vtcs_send.cgi 405|GET /tcs/vtcs_get.cgi?a=%41 200|"
                                    "GET /tcs/velto_users_all.cgi 200|GET /tcs/x 404");
        QCOMPARE(sim.received_targets().join(' '), "/tcs/vtcs_send.cgi /tcs/vtcs_get.cgi?a=%41 "
                                                   "/tcs/velto_users_all.cgi /tcs/x");
    }
    void programRefuses_data()
    {
        // Options and what the simulator says ("* ": its name).
        QTest::addColumn<QString>("err");
        auto row = [](const char *args, const char *err) { QTest::newRow(args) << QString(err); };
        row("--users /nowhere/users", "* cannot read /nowhere/users: No such file or directory\n");
        row("--horizon-dir /dev/null",
            "* /dev/null: a profile holds 1 to 360 points, this one 0\n");
        row("--fault users=boom --fault state=none=1",
            "* --fault users=boom: expected SCRIPT=FAULT, see --help\n* --fault state=none=1: "
            "expected SCRIPT=FAULT, see --help\n");
        row("--port 65535 --speed nan", "* --speed must be a number of 0 or more\n");
        row("--speed -1 --fault-delay -1", "* --speed must be a number of 0 or more\n* "
                                           "--fault-delay must be milliseconds, 0 or more\n");
        row("--port 65536", "* --port takes 0 to 65535, --address an IP address\n");
        row("--port PORT",
            "* cannot listen on 127.0.0.1:PORT: The bound address is already in use\n");
        row("--port PORT --address 0.0.0.0 --speed 0 --fault-delay 0 --fault all=none --fault "
            "users=http500",
            "* cannot listen on 0.0.0.0:PORT: The bound address is already in use\n");
    }
    // A file it cannot use or a wrong option: the simulator says why and ends
    // with code 2; a port it cannot listen on ends it with code 1.
    void programRefuses()
    {
        QFETCH(QString, err);
        const QString port = QString::number(sim.port());
        err.replace("PORT", port).replace("* ", "velto_tcs_sim: ");
        QProcess run;
        run.start(VELTO_SIM, QString(QTest::currentDataTag()).replace("PORT", port).split(' '));
        QVERIFY(run.waitForFinished(10000));
        QCOMPARE(run.exitCode(), err.contains("cannot listen") ? 1 : 2);
        QCOMPARE(QString(run.readAllStandardError()), err);
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
