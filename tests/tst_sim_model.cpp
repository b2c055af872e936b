#include "coords/velto_object.h"
#include "sim/tcs_scripts.h"
#include "sim/telescope_model.h"

#include <QtTest>
#include <cmath>

// The simulated telescope, stepped through time without sleeping.
class TestSimModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void slewReachesTargetAndTracks();
    void slewAcrossTheSkyTakesTensOfSeconds();
    void programExtrapolationFollowsTheSlew_data();
    void programExtrapolationFollowsTheSlew();
    void stopHoldsAzimuthAndZenithDistance();
    void trackingHourAngleGrowsWithSiderealTime();
    void offsetsMoveTheTrackedPosition();
    void correctionsAddToTheOffsets();
    void correctionsOnlyWhileTracking();
    void refusedPointings_data();
    void refusedPointings();
    void refusedSlewLeavesTheTelescopeAlone();
    void flipRule_data();
    void flipRule();
    void flipKeptThroughTheMeridianUntilTheLimit();
    void trackingStopsWhenTheObjectSets();
    void parallacticAngle_data();
    void parallacticAngle();
    void clockSpeedAndSteps();

private:
    SkyTarget at_hour_angle(double ha_hours, double dec_deg, const QString &name = "T") const;
    void slew_and_settle(const SkyTarget &target);

    SimClock clock;
    HorizonProfiles horizons;
    std::unique_ptr<TelescopeModel> model;
};

void TestSimModel::init()
{
    clock.set_speed(0);
    clock.set_time(QDateTime(QDate(2026, 3, 1), QTime(22, 0), Qt::UTC));
    model = std::make_unique<TelescopeModel>(clock, horizons);
}

SkyTarget TestSimModel::at_hour_angle(double ha_hours, double dec_deg, const QString &name) const
{
    const double lst = site_sidereal_seconds(clock.seconds()) / 3600.0;
    SkyTarget t;
    t.name = name;
    t.ra_hours = std::fmod(lst - ha_hours + 48.0, 24.0);
    t.dec_deg = dec_deg;
    t.epoch = "2000.0";
    return t;
}

void TestSimModel::slew_and_settle(const SkyTarget &target)
{
    QVERIFY2(model->slew(&target).accepted, "slew refused");
    for (int i = 0; i < 300 && model->mode() == TelMode::Slew; ++i)
        clock.advance(1.0);
    QCOMPARE(model->mode(), TelMode::Track);
}

void TestSimModel::slewReachesTargetAndTracks()
{
    const SkyTarget target = at_hour_angle(2.0, 30.0, "M3");
    const CommandOutcome outcome = model->slew(&target);
    QVERIFY(outcome.accepted);
    QCOMPARE(outcome.message, QStringLiteral("Slewing to M3"));
    clock.advance(1.0);
    TelescopeReading r = model->reading();
    QCOMPARE(r.mode, TelMode::Slew);
    // Fast enough for the program's between-poll extrapolation.
    QVERIFY(std::fabs(r.vha) > 1.1 || std::fabs(r.vdec) > 10.0);
    clock.advance(120.0);
    r = model->reading();
    QCOMPARE(r.mode, TelMode::Track);
    QVERIFY(std::fabs(r.ra_hours - target.ra_hours) < 1e-6);
    QVERIFY(std::fabs(r.dec_deg - 30.0) < 1e-9);
    QCOMPARE(r.object.name, QStringLiteral("M3"));
    QVERIFY(std::fabs(r.vha - TelescopeModel::sidereal_rate) < 1e-9);
    QCOMPARE(r.vdec, 0.0);
}

void TestSimModel::slewAcrossTheSkyTakesTensOfSeconds()
{
    slew_and_settle(at_hour_angle(-4.5, 20.0));
    const SkyTarget west = at_hour_angle(4.5, 20.0);
    QVERIFY(model->slew(&west).accepted);
    int seconds = 0;
    while (model->mode() == TelMode::Slew && seconds < 1000) {
        clock.advance(1.0);
        ++seconds;
    }
    QVERIFY2(seconds >= 20 && seconds <= 120, qPrintable(QString::number(seconds)));
}

void TestSimModel::programExtrapolationFollowsTheSlew_data()
{
    QTest::addColumn<double>("fromHourAngle");
    QTest::addColumn<double>("toHourAngle");
    QTest::addColumn<double>("toDec");
    QTest::addColumn<bool>("flipped");
    QTest::newRow("flipped, east and north") << -1.0 << -4.0 << 50.0 << true;
    QTest::newRow("direct, west and south") << 1.0 << 4.0 << -5.0 << false;
}

// Between polls the program moves the telescope marker with the reported
// rates (VDec negated when flipped) and parallactic angle: the marker must
// move the way the simulated telescope does.
void TestSimModel::programExtrapolationFollowsTheSlew()
{
    QFETCH(double, fromHourAngle);
    QFETCH(double, toHourAngle);
    QFETCH(double, toDec);
    QFETCH(bool, flipped);
    slew_and_settle(at_hour_angle(fromHourAngle, 20.0));
    const SkyTarget target = at_hour_angle(toHourAngle, toDec);
    QVERIFY(model->slew(&target).accepted);
    clock.advance(2.0);
    const TelescopeReading r1 = model->reading();
    QCOMPARE(r1.flip, flipped);
    QVERIFY(r1.vha != 0 && r1.vdec != 0); // both axes on their way
    QCOMPARE(r1.vdec < 0, flipped == (toDec > 20.0));
    Velto_object telescope;
    telescope.dec_sec = r1.dec_deg * 3600.0;
    telescope.zenith_dist = r1.z_deg * 3600.0;
    double va = 0, vz = 0;
    telescope.hadec_rates_to_az(r1.vha, flipped ? -r1.vdec : r1.vdec, r1.pa_deg, va, vz);
    const double dt = 0.1;
    clock.advance(dt);
    const TelescopeReading r2 = model->reading();
    const double seen_va = (r2.a_deg - r1.a_deg) * 3600.0 / dt;
    const double seen_vz = (r2.z_deg - r1.z_deg) * 3600.0 / dt;
    QVERIFY2(std::fabs(seen_va - va) < 0.05 * std::fabs(va) + 1.0,
             qPrintable(QString("A rate %1, extrapolated %2").arg(seen_va).arg(va)));
    QVERIFY2(std::fabs(seen_vz - vz) < 0.05 * std::fabs(vz) + 1.0,
             qPrintable(QString("Z rate %1, extrapolated %2").arg(seen_vz).arg(vz)));
}

void TestSimModel::stopHoldsAzimuthAndZenithDistance()
{
    slew_and_settle(at_hour_angle(1.0, 40.0));
    QVERIFY(model->stop().accepted);
    const TelescopeReading before = model->reading();
    clock.advance(1800.0);
    const TelescopeReading after = model->reading();
    QCOMPARE(after.mode, TelMode::Stop);
    QCOMPARE(after.a_deg, before.a_deg);
    QCOMPARE(after.z_deg, before.z_deg);
    QCOMPARE(after.ha_hours, before.ha_hours);
    QCOMPARE(after.vha, 0.0);
    // The sky turns under the stopped telescope: half an hour of RA drifts by.
    const double drift = std::fmod(after.ra_hours - before.ra_hours + 24.0, 24.0);
    QVERIFY(std::fabs(drift - 0.5 * TelescopeModel::sidereal_rate) < 1e-3);
}

void TestSimModel::trackingHourAngleGrowsWithSiderealTime()
{
    slew_and_settle(at_hour_angle(-1.0, 50.0));
    const TelescopeReading before = model->reading();
    clock.advance(3600.0);
    const TelescopeReading after = model->reading();
    QCOMPARE(after.mode, TelMode::Track);
    QVERIFY(std::fabs(after.ha_hours - before.ha_hours - TelescopeModel::sidereal_rate) < 1e-3);
    QVERIFY(std::fabs(after.ra_hours - before.ra_hours) < 1e-9);
    QVERIFY(after.a_deg != before.a_deg);
}

void TestSimModel::offsetsMoveTheTrackedPosition()
{
    slew_and_settle(at_hour_angle(2.0, 30.0));
    const TelescopeReading before = model->reading();
    QVERIFY(model->set_offsets(36.0, -90.0).accepted);
    const TelescopeReading after = model->reading();
    QCOMPARE(after.off_ha, 36.0);
    QCOMPARE(after.off_dec, -90.0);
    QVERIFY(std::fabs(after.ha_hours - before.ha_hours - 0.01) < 1e-9);
    QVERIFY(std::fabs(after.dec_deg - before.dec_deg + 0.025) < 1e-9);
    // Setting offsets replaces them rather than adding.
    QVERIFY(model->set_offsets(0.0, 0.0).accepted);
    QVERIFY(std::fabs(model->reading().dec_deg - before.dec_deg) < 1e-9);
}

void TestSimModel::correctionsAddToTheOffsets()
{
    slew_and_settle(at_hour_angle(2.0, 30.0));
    QVERIFY(model->set_offsets(10.0, 20.0).accepted);
    const TelescopeReading before = model->reading();
    QVERIFY(model->add_corrections(1.5, -4.0).accepted);
    QVERIFY(model->add_corrections(1.5, -4.0).accepted);
    const TelescopeReading after = model->reading();
    QCOMPARE(after.off_ha, 13.0);
    QCOMPARE(after.off_dec, 12.0);
    QVERIFY(std::fabs((after.ha_hours - before.ha_hours) * 3600.0 - 3.0) < 1e-6);
    QVERIFY(std::fabs((after.dec_deg - before.dec_deg) * 3600.0 + 8.0) < 1e-6);
    QCOMPARE(after.mode, TelMode::Track);
}

void TestSimModel::correctionsOnlyWhileTracking()
{
    const CommandOutcome stopped = model->add_corrections(1.0, 1.0);
    QVERIFY(!stopped.accepted);
    QVERIFY(stopped.message.contains("not tracking"));
    const SkyTarget target = at_hour_angle(2.0, 30.0);
    QVERIFY(model->slew(&target).accepted);
    QVERIFY(!model->add_corrections(1.0, 1.0).accepted);
    QCOMPARE(model->reading().off_ha, 0.0);
}

void TestSimModel::refusedPointings_data()
{
    QTest::addColumn<double>("hourAngle");
    QTest::addColumn<double>("dec");
    QTest::addColumn<QString>("why");
    QTest::newRow("below the geometric horizon") << 2.0 << -60.0 << "below the horizon";
    // 7 degrees up in the south-east, where the ridge stands higher.
    QTest::newRow("above 0 deg but below the ridge") << -2.5 << -27.0 << "below the horizon";
    QTest::newRow("circumpolar beyond the west limit") << 7.5 << 80.0 << "outside the limits";
    QTest::newRow("circumpolar beyond the east limit") << -7.5 << 80.0 << "outside the limits";
}

void TestSimModel::refusedPointings()
{
    QFETCH(double, hourAngle);
    QFETCH(double, dec);
    QFETCH(QString, why);
    double a = 0, z = 0;
    hadec_to_horizontal(hourAngle, dec, a, z);
    if (why == "below the horizon" && z < 90.0) // the row's premise: above 0 deg
        QVERIFY(90.0 - z < horizons.direct.altitude_at(a + 180.0));
    const SkyTarget target = at_hour_angle(hourAngle, dec);
    const CommandOutcome slew = model->slew(&target);
    QVERIFY(!slew.accepted);
    QVERIFY2(slew.message.contains(why), qPrintable(slew.message));
    const CommandOutcome send = model->send(target);
    QVERIFY(!send.accepted);
    QVERIFY(!model->reading().has_object);
}

void TestSimModel::refusedSlewLeavesTheTelescopeAlone()
{
    slew_and_settle(at_hour_angle(1.0, 30.0, "Good"));
    const SkyTarget low = at_hour_angle(2.0, -70.0, "Low");
    QVERIFY(!model->slew(&low).accepted);
    const TelescopeReading r = model->reading();
    QCOMPARE(r.mode, TelMode::Track);
    QCOMPARE(r.object.name, QStringLiteral("Good"));
}

void TestSimModel::flipRule_data()
{
    QTest::addColumn<double>("hourAngle");
    QTest::addColumn<bool>("flipped");
    QTest::newRow("east of the meridian: flipped") << -2.0 << true;
    QTest::newRow("west of the meridian: direct") << 2.0 << false;
    QTest::newRow("just west of the meridian: direct") << 0.01 << false;
    QTest::newRow("just east of the meridian: flipped") << -0.01 << true;
}

void TestSimModel::flipRule()
{
    QFETCH(double, hourAngle);
    QFETCH(bool, flipped);
    slew_and_settle(at_hour_angle(hourAngle, 45.0));
    QCOMPARE(model->reading().flip, flipped);
    QVERIFY(model->stop().accepted);
    clock.advance(3600.0);
    QCOMPARE(model->reading().flip, flipped);
}

void TestSimModel::flipKeptThroughTheMeridianUntilTheLimit()
{
    slew_and_settle(at_hour_angle(-0.5, 45.0));
    clock.advance(3600.0); // now half an hour west of the meridian
    TelescopeReading r = model->reading();
    QCOMPARE(r.mode, TelMode::Track);
    QVERIFY(r.ha_hours > 0);
    QVERIFY(r.flip);
    clock.advance(3600.0); // past the flipped side's limit of +1 h
    r = model->reading();
    QCOMPARE(r.mode, TelMode::Stop);
    QVERIFY(model->last_event().contains("outside the limits"));
}

void TestSimModel::trackingStopsWhenTheObjectSets()
{
    slew_and_settle(at_hour_angle(3.0, -20.0));
    clock.advance(4 * 3600.0);
    QCOMPARE(model->mode(), TelMode::Stop);
    QVERIFY(model->last_event().startsWith("Tracking stopped: "));
}

void TestSimModel::parallacticAngle_data()
{
    QTest::addColumn<double>("hourAngle");
    QTest::addColumn<double>("dec");
    QTest::addColumn<double>("pa");
    QTest::newRow("meridian south of the zenith") << 0.0 << 10.0 << 0.0;
    QTest::newRow("meridian north of the zenith") << 0.0 << 70.0 << 180.0;
    QTest::newRow("equator six hours west") << 6.0 << 0.0 << 90.0 - 43.6535277;
    QTest::newRow("equator six hours east") << -6.0 << 0.0 << -(90.0 - 43.6535277);
}

void TestSimModel::parallacticAngle()
{
    QFETCH(double, hourAngle);
    QFETCH(double, dec);
    QFETCH(double, pa);
    QVERIFY(std::fabs(parallactic_angle(hourAngle, dec) - pa) < 1e-4);
}

void TestSimModel::clockSpeedAndSteps()
{
    const QDateTime start = clock.now();
    clock.advance(90.5);
    QCOMPARE(start.msecsTo(clock.now()), 90500);
    QVERIFY(!clock.set_speed(-1));
    QVERIFY(!clock.set_speed(std::nan("")));
    QVERIFY(clock.set_speed(1000));
    QTRY_VERIFY(start.msecsTo(clock.now()) > 95000); // 5 simulated s in ~5 real ms
    // Sidereal time runs about 4 minutes a day faster than the clock; the
    // site's clock counts whole sidereal seconds.
    QVERIFY(clock.set_speed(0));
    const double lst0 = site_sidereal_seconds(clock.seconds());
    clock.advance(3600.0);
    const double lst1 = site_sidereal_seconds(clock.seconds());
    QVERIFY(std::fabs(std::fmod(lst1 - lst0 + 86400.0, 86400.0) - 3609.856) <= 1.0);
}

QTEST_GUILESS_MAIN(TestSimModel)
#include "tst_sim_model.moc"
