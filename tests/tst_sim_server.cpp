#include "coords/coord_text.h"
#include "log_capture.h"
#include "sim/tcs_sim_server.h"
#include "sim_reply_readers.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QtTest>
#include <cmath>

// The simulator's four scripts through a real HTTP client, in-process.
class TestSimServer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void usersListParses();
    void stateReplyParses_data();
    void stateReplyParses();
    void slewShowsInTheStateAndSettlesIntoTrack();
    void horizonProfilesParse_data();
    void horizonProfilesParse();
    void rawTargetsAreObservable_data();
    void rawTargetsAreObservable();
    void oneLogLinePerRequest();
    void refusedRequests_data();
    void refusedRequests();
    void badPercentEncoding();
    void answerFaults_data();
    void answerFaults();
    void delayedAnswer();
    void neverAnswerKeepsTheServerAlive();
    void clientGoneBeforeADelayedAnswer();
    void streamedOversizedAnswerCanBeAbandoned();
    void hostileBytesLeaveTheServerWorking_data();
    void hostileBytesLeaveTheServerWorking();
    void serverStopsWithAnswersHeld();
    void pipelinedRequestsAreEachRecordedOnce();
    void requestSentInPiecesIsRecordedOnce();
    void faultForAllScripts();
    void cannedBody();

private:
    QNetworkReply *get(const QByteArray &encoded_path);
    QByteArray body_of(const QByteArray &encoded_path);
    // What the server answers to a request line no URL class would send.
    QByteArray raw_answer(const QByteArray &target);

    std::unique_ptr<TcsSimServer> sim;
    std::unique_ptr<QNetworkAccessManager> nam;
};

void TestSimServer::init()
{
    sim = std::make_unique<TcsSimServer>();
    QVERIFY2(sim->start(), qPrintable(sim->error_text()));
    QVERIFY(sim->port() != 0);
    sim->clock().set_speed(0);
    sim->clock().set_time(QDateTime(QDate(2026, 3, 1), QTime(22, 0), Qt::UTC));
    nam = std::make_unique<QNetworkAccessManager>();
}

void TestSimServer::cleanup()
{
    nam.reset();
    sim.reset();
}

QNetworkReply *TestSimServer::get(const QByteArray &encoded_path)
{
    const QUrl url =
        QUrl::fromEncoded("http://" + sim->host_text().toLatin1() + encoded_path, QUrl::StrictMode);
    return nam->get(QNetworkRequest(url));
}

QByteArray TestSimServer::body_of(const QByteArray &encoded_path)
{
    std::unique_ptr<QNetworkReply> reply(get(encoded_path));
    if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 5000))
        return "(no answer)";
    if (reply->error() != QNetworkReply::NoError)
        return "(error) " + reply->errorString().toUtf8();
    return reply->readAll();
}

QByteArray TestSimServer::raw_answer(const QByteArray &target)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, sim->port());
    if (!socket.waitForConnected(5000))
        return "(no connection)";
    socket.write("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    // The server keeps connections open: the answer ends with its length.
    QByteArray answer;
    auto complete = [&] {
        answer += socket.readAll();
        const int head = answer.indexOf("\r\n\r\n");
        const QRegularExpression length("Content-Length: (\\d+)",
                                        QRegularExpression::CaseInsensitiveOption);
        const auto m = length.match(QString::fromLatin1(answer.left(head)));
        return head >= 0 && m.hasMatch() && answer.size() - head - 4 >= m.captured(1).toInt();
    };
    return QTest::qWaitFor(complete, 5000) ? answer : "(incomplete) " + answer;
}

void TestSimServer::usersListParses()
{
    const UsersView users = read_users(body_of("/tcs/velto_users_all.cgi"));
    QCOMPARE(users.entries, QStringList({"guest (Guest account)", "obs1 (First Observer)",
                                         "oper (Night Operator)", "admin (TCS Administrator)"}));
    QCOMPARE(users.guest_index, 0);
}

void TestSimServer::stateReplyParses_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QString>("user");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("permiss");
    QTest::newRow("operator") << QByteArray("?User=oper&Pass=dome3") << "oper" << 3 << false;
    QTest::newRow("observer") << QByteArray("?User=obs1&Pass=star1") << "obs1" << 2 << false;
    QTest::newRow("wrong password") << QByteArray("?User=obs1&Pass=nope") << "guest" << 1 << true;
    QTest::newRow("no credentials") << QByteArray() << "guest" << 1 << true;
}

void TestSimServer::stateReplyParses()
{
    QFETCH(QByteArray, query);
    QFETCH(QString, user);
    QFETCH(int, level);
    QFETCH(bool, permiss);
    const StateView s = read_state(body_of("/tcs/vtcs_get.cgi" + query));
    QVERIFY(s.ok);
    QCOMPARE(s.user, user);
    QCOMPARE(s.level, level);
    QCOMPARE(s.status.startsWith("Permiss"), permiss);
    QCOMPARE(s.tcs_mode, QStringLiteral("Simul"));
    QCOMPARE(s.tel_mode, QStringLiteral("Stop"));
    const double lst = site_sidereal_seconds(sim->clock().seconds()) / 3600.0;
    QVERIFY(std::fabs(s.stime - lst) < 1e-5);
    QVERIFY(s.stime >= 0 && s.stime < 24);
    QVERIFY(std::fabs(std::fmod(s.stime - s.ra - s.ha + 48.0, 24.0)) < 1e-5);
    QVERIFY(s.z >= 0 && s.z <= 180 && s.a > -180 && s.a <= 180);
    QVERIFY(ra_to_sec(s.ra2000) > 0);
    QVERIFY(!s.pa.isEmpty());
    for (const QString &line : s.unmatched)
        QVERIFY2(line.startsWith("Permiss"), qPrintable(line));
}

void TestSimServer::slewShowsInTheStateAndSettlesIntoTrack()
{
    const double lst = site_sidereal_seconds(sim->clock().seconds());
    const QByteArray ra = sec_to_ra(std::fmod(lst - 2 * 3600.0 + 86400.0, 86400.0)).toLatin1();
    const QByteArray answer =
        body_of("/tcs/vtcs_send.cgi?User=oper&Pass=dome3&RA=" + ra +
                "&Dec=+30:00:00.0&Epoch=2000.0&Name=M%203&Mess=from%20Velto_Obj_List&Cmd=Slew");
    QCOMPARE(answer, QByteArray("Slewing to M 3\nState=Ok\n"));
    sim->clock().advance(2.0);
    StateView s = read_state(body_of("/tcs/vtcs_get.cgi?User=oper&Pass=dome3"));
    QCOMPARE(s.tel_mode, QStringLiteral("Slew"));
    QVERIFY(std::fabs(s.vha) > 1.1 || std::fabs(s.vdec) > 10.0);
    sim->clock().advance(120.0);
    s = read_state(body_of("/tcs/vtcs_get.cgi?User=oper&Pass=dome3"));
    QCOMPARE(s.tel_mode, QStringLiteral("Track"));
    QCOMPARE(s.obj_name, QStringLiteral("M 3"));
    QCOMPARE(s.ra2000.toLatin1(), ra);
    QCOMPARE(s.dec2000, QStringLiteral("+30:00:00.0"));
    QCOMPARE(s.dec, 30.0);
    QVERIFY(std::fabs(s.vha - 1.0027) < 1e-3);
    QVERIFY(!s.flip);
}

void TestSimServer::horizonProfilesParse_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("direct");
    QTest::newRow("dir fills the direct set") << QByteArray("dir") << true;
    QTest::newRow("rev fills the reverse set") << QByteArray("rev") << false;
}

void TestSimServer::horizonProfilesParse()
{
    QFETCH(QByteArray, key);
    QFETCH(bool, direct);
    const HorizonView h = read_horizon(body_of("/tcs/velto_horizon.php?" + key));
    QCOMPARE(h.direct, direct);
    QCOMPARE(h.count, 360);
    for (const auto &p : h.points) {
        QVERIFY(p.first > 0 && p.first <= 360);
        QVERIFY(p.second > 60 && p.second < 90); // a mountain site: 0 to 30 deg up
    }
}

void TestSimServer::rawTargetsAreObservable_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("encoded space, plus and colons kept")
        << QByteArray("/tcs/vtcs_send.cgi?User=obs1&Pass=star1&RA=12:00:00&Dec=+45:00:00"
                      "&Name=NGC%20224&Mess=from%20Velto_Obj_List&Cmd=Send");
    QTest::newRow("encoded equals and ampersand in a value")
        << QByteArray("/tcs/vtcs_get.cgi?User=a%3Db%26c&Pass=x%3Dy");
    QTest::newRow("encoded plus apart from plus")
        << QByteArray("/tcs/vtcs_get.cgi?User=a%2Bb&Pass=a+b");
    QTest::newRow("bare horizon key") << QByteArray("/tcs/velto_horizon.php?rev");
}

void TestSimServer::rawTargetsAreObservable()
{
    QFETCH(QByteArray, target);
    QSignalSpy arrived(sim.get(), &TcsSimServer::request_received);
    body_of("/tcs/velto_users_all.cgi");
    body_of(target);
    QCOMPARE(sim->received_targets(), QList<QByteArray>({"/tcs/velto_users_all.cgi", target}));
    QCOMPARE(arrived.size(), 2);
    QCOMPARE(arrived.at(1).at(0).toByteArray(), QByteArray("GET"));
    QCOMPARE(arrived.at(1).at(1).toByteArray(), target);
}

void TestSimServer::oneLogLinePerRequest()
{
    QList<QByteArray> log;
    sim->set_request_log([&log](const QByteArray &line) { log << line; });
    body_of("/tcs/vtcs_get.cgi?User=oper&Pass=dome3");
    body_of("/tcs/nothing.cgi");
    QCOMPARE(log, QList<QByteArray>({"GET /tcs/vtcs_get.cgi?User=oper&Pass=dome3 200",
                                     "GET /tcs/nothing.cgi 404"}));
}

void TestSimServer::refusedRequests_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("explanation");
    QTest::newRow("unknown script") << QByteArray("/tcs/vtcs_put.cgi") << 404 << "Not found";
    QTest::newRow("dot of the path is no wildcard")
        << QByteArray("/tcs/vtcs_getXcgi") << 404 << "Not found";
    QTest::newRow("script path with a tail")
        << QByteArray("/tcs/vtcs_get.cgi/x") << 404 << "Not found";
    QTest::newRow("script path under a prefix")
        << QByteArray("/x/tcs/vtcs_get.cgi") << 404 << "Not found";
    QTest::newRow("horizon without a key") << QByteArray("/tcs/velto_horizon.php") << 400 << "dir";
    QTest::newRow("horizon with another key")
        << QByteArray("/tcs/velto_horizon.php?dir=1") << 400 << "rev";
    QTest::newRow("over-long query")
        << QByteArray("/tcs/vtcs_get.cgi?User=" + QByteArray(3000, 'u') + "&Pass=xx") << 414
        << "at most 2048 bytes";
    QTest::newRow("line break in a value")
        << QByteArray("/tcs/vtcs_send.cgi?User=oper&Pass=dome3&Name=a%0AState%3DOk&Cmd=Send") << 400
        << "control characters";
}

void TestSimServer::refusedRequests()
{
    QFETCH(QByteArray, target);
    QFETCH(int, status);
    QFETCH(QString, explanation);
    std::unique_ptr<QNetworkReply> reply(get(target));
    QTRY_VERIFY(reply->isFinished());
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), status);
    QCOMPARE(reply->header(QNetworkRequest::ContentTypeHeader).toString(),
             QStringLiteral("text/plain; charset=utf-8"));
    const QString text = QString::fromUtf8(reply->readAll());
    QVERIFY2(text.contains(explanation), qPrintable(text));
    // The server goes on answering.
    QVERIFY(read_state(body_of("/tcs/vtcs_get.cgi")).ok);
}

void TestSimServer::badPercentEncoding()
{
    const QByteArray answer = raw_answer("/tcs/vtcs_get.cgi?User=%zz&Pass=kelpo");
    QVERIFY2(answer.startsWith("HTTP/1.1 400"), answer.constData());
    QVERIFY(answer.contains("malformed percent-encoding in \"User=%zz\""));
    QCOMPARE(sim->received_targets().last(), QByteArray("/tcs/vtcs_get.cgi?User=%zz&Pass=kelpo"));
}

void TestSimServer::answerFaults_data()
{
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<QNetworkReply::NetworkError>("error");
    QTest::addColumn<int>("bodySize"); // -1: not checked
    QTest::addColumn<bool>("stateOk");
    QTest::newRow("close mid-reply")
        << SimFault::CloseConnection << QNetworkReply::RemoteHostClosedError << -1 << false;
    QTest::newRow("HTTP 500") << SimFault::ServerError << QNetworkReply::InternalServerError << -1
                              << false;
    QTest::newRow("empty body") << SimFault::EmptyBody << QNetworkReply::NoError << 0 << false;
    QTest::newRow("garbage") << SimFault::Garbage << QNetworkReply::NoError << -1 << false;
    QTest::newRow("oversized at once")
        << SimFault::Oversized << QNetworkReply::NoError << TcsSimServer::oversized_bytes << true;
    QTest::newRow("state not Ok") << SimFault::StateNotOk << QNetworkReply::NoError << -1 << false;
}

void TestSimServer::answerFaults()
{
    QFETCH(SimFault, fault);
    QFETCH(QNetworkReply::NetworkError, error);
    QFETCH(int, bodySize);
    QFETCH(bool, stateOk);
    sim->set_fault(SimScript::State, fault);
    QCOMPARE(sim->fault(SimScript::State), fault);
    std::unique_ptr<QNetworkReply> reply(get("/tcs/vtcs_get.cgi?User=oper&Pass=dome3"));
    QTRY_VERIFY(reply->isFinished());
    QCOMPARE(reply->error(), error);
    const QByteArray body = reply->readAll();
    if (bodySize >= 0)
        QCOMPARE(body.size(), bodySize);
    if (fault == SimFault::Garbage)
        QVERIFY(body.contains('\0'));
    QCOMPARE(error == QNetworkReply::NoError && read_state(body).ok, stateOk);
    // Only the state script fails; the others answer as before.
    QVERIFY(read_users(body_of("/tcs/velto_users_all.cgi")).entries.size() == 4);
    sim->set_fault(SimScript::State, SimFault::None);
    QVERIFY(read_state(body_of("/tcs/vtcs_get.cgi")).ok);
}

void TestSimServer::delayedAnswer()
{
    sim->set_fault(SimScript::Users, SimFault::Delay, 300);
    QElapsedTimer waited;
    waited.start();
    std::unique_ptr<QNetworkReply> reply(get("/tcs/velto_users_all.cgi"));
    QTRY_VERIFY(reply->isFinished());
    QVERIFY(waited.elapsed() >= 300);
    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QCOMPARE(read_users(reply->readAll()).entries.size(), 4);
}

void TestSimServer::neverAnswerKeepsTheServerAlive()
{
    sim->set_fault(SimScript::Command, SimFault::NeverAnswer);
    QSignalSpy answered(sim.get(), &TcsSimServer::request_answered);
    std::unique_ptr<QNetworkReply> reply(get("/tcs/vtcs_send.cgi?User=oper&Pass=dome3&Cmd=Stop"));
    QTRY_COMPARE(answered.size(), 1);
    QCOMPARE(answered.at(0).at(1).toInt(), -1);
    QVERIFY(!reply->isFinished());
    reply->abort();
    QCOMPARE(reply->error(), QNetworkReply::OperationCanceledError);
    QVERIFY(read_state(body_of("/tcs/vtcs_get.cgi")).ok);
}

void TestSimServer::clientGoneBeforeADelayedAnswer()
{
    sim->set_fault(SimScript::State, SimFault::Delay, 200);
    QSignalSpy arrived(sim.get(), &TcsSimServer::request_received);
    std::unique_ptr<QNetworkReply> gone(get("/tcs/vtcs_get.cgi"));
    QTRY_COMPARE(arrived.size(), 1);
    gone->abort();
    // A later delayed answer comes after the abandoned one's timer has fired.
    std::unique_ptr<QNetworkReply> later(get("/tcs/vtcs_get.cgi"));
    QTRY_VERIFY(later->isFinished());
    QCOMPARE(later->error(), QNetworkReply::NoError);
    QVERIFY(read_state(later->readAll()).ok);
}

void TestSimServer::streamedOversizedAnswerCanBeAbandoned()
{
    sim->set_fault(SimScript::Horizon, SimFault::OversizedStreamed);
    std::unique_ptr<QNetworkReply> reply(get("/tcs/velto_horizon.php?dir"));
    qint64 received = 0;
    connect(reply.get(), &QNetworkReply::downloadProgress, this, [&](qint64 bytes, qint64) {
        received = bytes;
        if (bytes > 1024 * 1024)
            reply->abort();
    });
    QTRY_VERIFY(reply->isFinished());
    QCOMPARE(reply->error(), QNetworkReply::OperationCanceledError);
    QVERIFY(received > 1024 * 1024);
    QVERIFY(!reply->header(QNetworkRequest::ContentLengthHeader).isValid());
    sim->set_fault(SimScript::Horizon, SimFault::None);
    QCOMPARE(read_horizon(body_of("/tcs/velto_horizon.php?dir")).count, 360);
}

void TestSimServer::hostileBytesLeaveTheServerWorking_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe\r\n\r\n\x01GET", 11);
    QTest::newRow("request cut off") << QByteArray("GET /tcs/vtcs_send.cgi?User=oper&Pa");
    QTest::newRow("headers never ended")
        << QByteArray("GET /tcs/vtcs_send.cgi?Cmd=Stop HTTP/1.1\r\nHost: x\r\n");
    QTest::newRow("huge header") << "GET /tcs/vtcs_get.cgi HTTP/1.1\r\nX: " +
                                        QByteArray(200000, 'x') + "\r\n\r\n";
    QTest::newRow("lying length") << QByteArray(
        "GET /tcs/vtcs_get.cgi HTTP/1.1\r\nContent-Length: 99999999\r\n\r\nab");
}

void TestSimServer::hostileBytesLeaveTheServerWorking()
{
    QFETCH(QByteArray, bytes);
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, sim->port());
        QVERIFY(socket.waitForConnected(5000));
        socket.write(bytes);
        QVERIFY(socket.waitForBytesWritten(5000));
        socket.abort();
    }
    const StateView s = read_state(body_of("/tcs/vtcs_get.cgi?User=oper&Pass=dome3"));
    QVERIFY(s.ok);
    QCOMPARE(s.tel_mode, QStringLiteral("Stop"));
}

void TestSimServer::serverStopsWithAnswersHeld()
{
    sim->set_fault(SimScript::All, SimFault::NeverAnswer);
    QSignalSpy answered(sim.get(), &TcsSimServer::request_answered);
    std::unique_ptr<QNetworkReply> users(get("/tcs/velto_users_all.cgi"));
    std::unique_ptr<QNetworkReply> state(get("/tcs/vtcs_get.cgi"));
    QTRY_COMPARE(answered.size(), 2);
    sim.reset();
    QTRY_VERIFY(users->isFinished() && state->isFinished());
    QVERIFY(users->error() != QNetworkReply::NoError);
    QVERIFY(state->error() != QNetworkReply::NoError);
}

void TestSimServer::pipelinedRequestsAreEachRecordedOnce()
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, sim->port());
    QVERIFY(socket.waitForConnected(5000));
    // All requests in one write: the body of the first must not be taken for
    // a request line, and two equal requests are two requests.
    const QByteArray poll = "GET /tcs/vtcs_get.cgi HTTP/1.1\r\nHost: x\r\n\r\n";
    socket.write("POST /tcs/vtcs_send.cgi?Cmd=Stop HTTP/1.1\r\nHost: x\r\n"
                 "Content-Length: 9\r\n\r\nCmd=Slew\n" +
                 poll + poll);
    QByteArray answer;
    QTRY_VERIFY((answer += socket.readAll()).count("TelMode=Stop") == 2);
    QVERIFY(answer.startsWith("HTTP/1.1 405"));
    QCOMPARE(sim->received_targets(),
             QList<QByteArray>(
                 {"/tcs/vtcs_send.cgi?Cmd=Stop", "/tcs/vtcs_get.cgi", "/tcs/vtcs_get.cgi"}));
}

void TestSimServer::requestSentInPiecesIsRecordedOnce()
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, sim->port());
    QVERIFY(socket.waitForConnected(5000));
    const QByteArray request =
        "GET /tcs/vtcs_get.cgi?User=oper&Pass=dome3 HTTP/1.1\r\nHost: x\r\n\r\n";
    // However the pieces arrive - one by one or run together - the request
    // is one request.
    for (int i = 0; i < request.size(); i += 7) {
        socket.write(request.mid(i, 7));
        QVERIFY(socket.waitForBytesWritten(5000));
        QCoreApplication::processEvents();
    }
    QByteArray answer;
    QTRY_VERIFY((answer += socket.readAll()).contains("TelMode="));
    QVERIFY(answer.contains("\nLevel=3\n"));
    QCOMPARE(sim->received_targets(),
             QList<QByteArray>({"/tcs/vtcs_get.cgi?User=oper&Pass=dome3"}));
}

void TestSimServer::faultForAllScripts()
{
    sim->set_fault(SimScript::All, SimFault::ServerError);
    for (const QByteArray &target :
         {QByteArray("/tcs/velto_users_all.cgi"), QByteArray("/tcs/vtcs_get.cgi"),
          QByteArray("/tcs/vtcs_send.cgi?Cmd=Stop"), QByteArray("/tcs/velto_horizon.php?dir")}) {
        std::unique_ptr<QNetworkReply> reply(get(target));
        QTRY_VERIFY(reply->isFinished());
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 500);
    }
}

void TestSimServer::cannedBody()
{
    const QByteArray canned = "guest Guest account\nobs1\n\nguestobs Second guest\n";
    sim->set_canned_body(SimScript::Users, canned);
    QCOMPARE(body_of("/tcs/velto_users_all.cgi"), canned);
    const UsersView users = read_users(canned);
    QCOMPARE(users.entries.at(1), QStringLiteral("obs1 ()"));
    QCOMPARE(users.guest_index, 3);
    sim->set_canned_body(SimScript::Users, std::nullopt);
    QCOMPARE(read_users(body_of("/tcs/velto_users_all.cgi")).entries.size(), 4);
}

QTEST_GUILESS_MAIN(TestSimServer)
#include "tst_sim_server.moc"
