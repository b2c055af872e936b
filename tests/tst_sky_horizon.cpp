#include "coords/velto_object.h"
#include "log_capture.h"
#include "modal_closer.h"
#include "sim/tcs_sim_server.h"
#include "sky_probe.h"
#include "tcs/tcs_host.h"
#include "tcs/tcs_request.h"

#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(SimFault)

// The sky chart's horizon profiles, fetched from the in-process simulator.
class TestSkyHorizon : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void bothProfilesLoadedAtStart();
    void pointsConvertedFromTheHost();
    void headingDecidesTheSet();
    void slowDirectReplyLeavesTheReverseUnloaded();
    void failedRequestWarnsAndKeepsTheSet_data();
    void failedRequestWarnsAndKeepsTheSet();
    void failedReplyReleasedOnce();
    void requestWhilePendingIsRefused();
    void outlineFollowsTheFlip();

private:
    QStringList horizon_targets() const;
    void start_chart();

    std::unique_ptr<TcsSimServer> sim;
    std::unique_ptr<Velto_sky> sky;
    QList<Velto_object *> objects;
    Velto_object telescope;
};

void TestSkyHorizon::init()
{
    sim = std::make_unique<TcsSimServer>();
    QVERIFY(sim->start());
    set_default_tcs_host(sim->host_text());
}

void TestSkyHorizon::cleanup()
{
    sky.reset();
    sim.reset();
    set_tcs_transfer_timeout_ms(15000);
}

QStringList TestSkyHorizon::horizon_targets() const
{
    QStringList targets;
    for (const QByteArray &target : sim->received_targets())
        targets << QString::fromLatin1(target);
    return targets;
}

void TestSkyHorizon::start_chart()
{
    sky = std::make_unique<Velto_sky>(nullptr, &objects, &telescope);
}

void TestSkyHorizon::bothProfilesLoadedAtStart()
{
    LogCapture log;
    start_chart();
    SkyProbe probe(*sky);
    QVERIFY(probe.pendingReply()); // the direct request goes out at once
    QTRY_VERIFY(probe.direct().count > 0 && probe.reverse().count > 0 && !probe.pendingReply());
    QCOMPARE(horizon_targets(),
             QStringList({"/tcs/velto_horizon.php?dir", "/tcs/velto_horizon.php?rev"}));
    const int n_direct = int(sim->horizons().direct.points().size());
    const int n_reverse = int(sim->horizons().reverse.points().size());
    QCOMPARE(probe.direct().count, std::min(n_direct, max_horizon_points));
    QCOMPARE(probe.reverse().count, std::min(n_reverse, max_horizon_points));
    QCOMPARE(
        log.err,
        QStringList(
            {QStringLiteral("Loading %1 'direct' horizon points.").arg(probe.direct().count),
             QStringLiteral("Loading %1 'reverse' horizon points.").arg(probe.reverse().count)}));
}

void TestSkyHorizon::pointsConvertedFromTheHost()
{
    start_chart();
    SkyProbe probe(*sky);
    QTRY_VERIFY(probe.direct().count > 0 && probe.reverse().count > 0 && !probe.pendingReply());
    const HorizonProfile::Point first = sim->horizons().direct.points().first();
    double azimuth = first.azimuth + 180;
    if (azimuth > 360)
        azimuth -= 360;
    QCOMPARE(probe.direct().points[0].azimuth, azimuth);
    QCOMPARE(probe.direct().points[0].zenith_dist, 90 - first.altitude);
}

void TestSkyHorizon::headingDecidesTheSet()
{
    // The host answers the direct request with a reverse profile.
    sim->set_canned_body(SimScript::Horizon, "# reverse\n0 10\n90 5\n180 20\n");
    LogCapture log;
    start_chart();
    SkyProbe probe(*sky);
    QTRY_COMPARE(horizon_targets().size(), 2);
    QTRY_VERIFY(!probe.pendingReply());
    QCOMPARE(probe.direct().count, 0);
    QCOMPARE(probe.reverse().count, 3);
    QCOMPARE(probe.reverse().points[1].azimuth, 270.0);
    QCOMPARE(log.err.count(QStringLiteral("Loading 3 'reverse' horizon points.")), 2);
}

void TestSkyHorizon::slowDirectReplyLeavesTheReverseUnloaded()
{
    sim->set_fault(SimScript::Horizon, SimFault::Delay, 1000);
    LogCapture log;
    start_chart();
    SkyProbe probe(*sky);
    QTRY_VERIFY(log.err.contains(QStringLiteral("velto_horizon.rev read error ")));
    QVERIFY(probe.pendingReply()); // the direct one, still waiting
    QTRY_VERIFY(probe.direct().count > 0);
    QVERIFY(!probe.pendingReply());
    QCOMPARE(probe.reverse().count, 0);
    QCOMPARE(horizon_targets(), QStringList({"/tcs/velto_horizon.php?dir"}));
    QCOMPARE(log.err.first(), QStringLiteral("velto_horizon.rev read error "));
}

void TestSkyHorizon::failedRequestWarnsAndKeepsTheSet_data()
{
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<int>("code");
    QTest::newRow("HTTP 500") << SimFault::ServerError << int(QNetworkReply::InternalServerError);
    QTest::newRow("no answer: the time-out")
        << SimFault::NeverAnswer << int(QNetworkReply::OperationCanceledError);
    QTest::newRow("over 1 MiB, streamed")
        << SimFault::OversizedStreamed << int(QNetworkReply::OperationCanceledError);
}

void TestSkyHorizon::failedRequestWarnsAndKeepsTheSet()
{
    QFETCH(SimFault, fault);
    QFETCH(int, code);
    set_tcs_transfer_timeout_ms(300);
    sim->set_fault(SimScript::Horizon, fault);
    LogCapture log;
    ModalCloser closer;
    start_chart();
    SkyProbe probe(*sky);
    QTRY_VERIFY(closer.closed() >= 1);
    QTRY_VERIFY(!probe.pendingReply());
    const QString prefix = QStringLiteral("Velto horizon read error %1 ").arg(code);
    QVERIFY2(log.err.first().startsWith(prefix), qPrintable(log.err.first()));
    QCOMPARE(closer.titles().first(), sim->host_text() + QStringLiteral(" HTTP error"));
    QCOMPARE(closer.texts().first(), log.err.first().mid(prefix.size()));
    QCOMPARE(probe.direct().count, 0);
}

void TestSkyHorizon::failedReplyReleasedOnce()
{
    // Qt delivers the finished notification while the error box is open: the
    // finish handler and the error handler both see this reply.
    sim->set_fault(SimScript::Horizon, SimFault::ServerError);
    ModalCloser closer;
    start_chart();
    QNetworkReply *reply = SkyProbe(*sky).pendingReply();
    QVERIFY(reply);
    int destroyed = 0;
    connect(reply, &QObject::destroyed, this, [&] { ++destroyed; });
    QTRY_VERIFY(closer.closed() >= 1);
    QTRY_COMPARE(destroyed, 1);
    QVERIFY(SkyProbe(*sky).pendingReply() != reply);
}

void TestSkyHorizon::requestWhilePendingIsRefused()
{
    LogCapture log;
    start_chart();
    sky->request_horizon(true);
    QCOMPARE(log.err, QStringList({"velto_horizon.dir read error "}));
    QTRY_VERIFY(SkyProbe(*sky).reverse().count > 0);
    QCOMPARE(horizon_targets().size(), 2);
}

void TestSkyHorizon::outlineFollowsTheFlip()
{
    start_chart();
    SkyProbe probe(*sky);
    QTRY_VERIFY(probe.direct().count > 0 && probe.reverse().count > 0 && !probe.pendingReply());
    sky->resize(550, 550);
    sky->set_tcs_ok(true);
    telescope.is_comment = true; // no telescope marker in the picture
    const QImage direct = probe.render();
    sky->set_tel_flip(true);
    const QImage reverse = probe.render();
    QVERIFY(direct != reverse);
    // Each outline passes through its own set's first point.
    QCOMPARE(reverse.pixelColor(probe.reverse().points[0].x, probe.reverse().points[0].y),
             QColor(255, 0, 0));
    sky->set_tel_flip(false);
    probe.render();
    QCOMPARE(direct.pixelColor(probe.direct().points[0].x, probe.direct().points[0].y),
             QColor(255, 0, 0));
}

QTEST_MAIN(TestSkyHorizon)
#include "tst_sky_horizon.moc"
