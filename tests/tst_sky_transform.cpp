#include "coords/sky_transform.h"
#include "coords/velto_object.h"

#include <QtTest>
#include <cmath>

// Sidereal time at the site and the equatorial-to-horizontal transform.
class TestSkyTransform : public QObject
{
    Q_OBJECT

private slots:
    void init() { sidereal_time = 40000; }
    void unsetSiderealTimeGivesZero_data();
    void unsetSiderealTimeGivesZero();
    void horizontalPosition_data();
    void horizontalPosition();
    void poleIsNorthForEveryHourAngle();
    void azimuthStaysInRange();
    void hugeCoordinatesGiveFinitePositions_data();
    void hugeCoordinatesGiveFinitePositions();
    void rates_data();
    void rates();
    void ratesNearZenithStayFinite();
    void siderealTime_data();
    void siderealTime();
    void siderealTimeIgnoresTheComputerTimeZone();
    void calcSiderealTimeUsesTheClock();
};

void TestSkyTransform::unsetSiderealTimeGivesZero_data()
{
    QTest::addColumn<double>("stime");
    QTest::newRow("-1 at start") << -1.0;
    QTest::newRow("any negative") << -5400.0;
}

void TestSkyTransform::unsetSiderealTimeGivesZero()
{
    QFETCH(double, stime);
    sidereal_time = stime;
    double a = 1, z = 1;
    radec_to_az(12345, 67890, a, z);
    QCOMPARE(a, 0.0);
    QCOMPARE(z, 0.0);
}

void TestSkyTransform::horizontalPosition_data()
{
    // hour angle in seconds of time (sidereal time - ra), dec in arcseconds
    QTest::addColumn<double>("hourAngle");
    QTest::addColumn<double>("dec");
    QTest::addColumn<double>("azimuth");
    QTest::addColumn<double>("zenith");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("meridian, equator: south at the colatitude")
        << 0.0 << 0.0 << 0.0 << 157152.7 << 0.1;
    QTest::newRow("meridian above the latitude: north")
        << 0.0 << 300000.0 << 648000.0 << 300000.0 - 157152.7 << 1.0;
    QTest::newRow("pole") << 0.0 << 324000.0 << 648000.0 << 166847.3 << 0.1;
    QTest::newRow("six hours west on the equator")
        << 21600.0 << 0.0 << 324000.0 << 324000.0 << 0.01;
    QTest::newRow("six hours east on the equator")
        << -21600.0 << 0.0 << -324000.0 << 324000.0 << 0.01;
    // Nearly at the zenith, so the azimuth is not checked (-1).
    QTest::newRow("at the latitude on the meridian: 1.8 arcseconds")
        << 0.0 << 157152.7 << -1.0 << 1.8 << 0.1;
}

void TestSkyTransform::horizontalPosition()
{
    QFETCH(double, hourAngle);
    QFETCH(double, dec);
    QFETCH(double, azimuth);
    QFETCH(double, zenith);
    QFETCH(double, tolerance);
    const double ra = 40000 - hourAngle;
    double a = 0, z = 0;
    radec_to_az(ra, dec, a, z);
    const bool nearZenith = azimuth < 0;
    if (!nearZenith) // due south may come out as +0 or -0
        QVERIFY2(std::fabs(std::fabs(a) - std::fabs(azimuth)) <= tolerance &&
                     (a >= 0) == (azimuth >= 0 || std::fabs(a) < 1e-9),
                 qPrintable(QString::number(a, 'f', 4)));
    QVERIFY2(std::fabs(z - zenith) <= tolerance, qPrintable(QString::number(z, 'f', 4)));
}

void TestSkyTransform::poleIsNorthForEveryHourAngle()
{
    for (int minutes = 0; minutes < 24 * 60; minutes += 7) {
        double a = 0, z = 0;
        radec_to_az(40000 - minutes * 60.0, 324000, a, z);
        QCOMPARE(a, 648000.0);
        QVERIFY(std::fabs(z - 166847.3) < 0.1);
    }
}

void TestSkyTransform::azimuthStaysInRange()
{
    for (double dec = -324000; dec <= 324000; dec += 36000) {
        for (double ra = 0; ra < 86400; ra += 1800) {
            double a = 0, z = 0;
            radec_to_az(ra, dec, a, z);
            QVERIFY(a > -648000 && a <= 648000);
            QVERIFY(z >= 0 && z <= 648000);
        }
    }
}

void TestSkyTransform::hugeCoordinatesGiveFinitePositions_data()
{
    QTest::addColumn<double>("ra");
    QTest::addColumn<double>("dec");
    QTest::newRow("list field 1e304 hours") << 3.6e307 << 3.6e307;
    QTest::newRow("negative huge right ascension") << -1.7e308 << 0.0;
    QTest::newRow("huge declination") << 1000.0 << -1e300;
    QTest::newRow("declination times pi past any double") << 3661.0 << 1e308;
}

// Whatever finite numbers a list file holds, the chart gets a finite position
// in range.
void TestSkyTransform::hugeCoordinatesGiveFinitePositions()
{
    QFETCH(double, ra);
    QFETCH(double, dec);
    double a = 0, z = 0;
    radec_to_az(ra, dec, a, z);
    QVERIFY2(a > -648000 && a <= 648000, qPrintable(QString::number(a)));
    QVERIFY2(z >= 0 && z <= 648000, qPrintable(QString::number(z)));
}

void TestSkyTransform::rates_data()
{
    QTest::addColumn<double>("vha");
    QTest::addColumn<double>("vdec");
    QTest::addColumn<double>("pa");
    QTest::addColumn<double>("va");
    QTest::addColumn<double>("vz");
    const double sinZ = std::sin(3.141592653589793 * 108000 / 648000);
    QTest::newRow("declination rate, pa 0") << 0.0 << 1.0 << 0.0 << 0.0 << -1.0;
    QTest::newRow("declination rate, pa 90") << 0.0 << 1.0 << 90.0 << 1.0 / sinZ << 0.0;
    QTest::newRow("hour-angle rate on the equator, pa 0")
        << 1.0 << 0.0 << 0.0 << 15.0 / sinZ << 0.0;
    QTest::newRow("hour-angle rate, pa 90") << 1.0 << 0.0 << 90.0 << 0.0 << 15.0;
}

void TestSkyTransform::rates()
{
    QFETCH(double, vha);
    QFETCH(double, vdec);
    QFETCH(double, pa);
    QFETCH(double, va);
    QFETCH(double, vz);
    Velto_object object;
    object.dec_sec = 0;
    object.zenith_dist = 108000; // 30 degrees
    double gotA = 99, gotZ = 99;
    object.hadec_rates_to_az(vha, vdec, pa, gotA, gotZ);
    QVERIFY2(std::fabs(gotA - va) < 1e-9, qPrintable(QString::number(gotA)));
    QVERIFY2(std::fabs(gotZ - vz) < 1e-9, qPrintable(QString::number(gotZ)));
}

void TestSkyTransform::ratesNearZenithStayFinite()
{
    Velto_object object;
    object.zenith_dist = 0;
    double va = 0, vz = 0;
    object.hadec_rates_to_az(0, 1, 90, va, vz);
    QCOMPARE(va, 1.0 / 0.0001);
    QVERIFY(std::isfinite(vz));
}

void TestSkyTransform::siderealTime_data()
{
    QTest::addColumn<QDateTime>("instant");
    QTest::addColumn<double>("stime");
    const QDateTime reference(QDate(2024, 12, 31), QTime(21, 0), QTimeZone::utc());
    QTest::newRow("reference instant") << reference << 23332.0;
    QTest::newRow("one solar day later") << reference.addDays(1) << 23568.0;
    QTest::newRow("fraction of a second truncated") << reference.addMSecs(999) << 23332.0;
    QTest::newRow("one second before, sign of the dividend") << reference.addSecs(-1) << 23331.0;
    QTest::newRow("wraps below 86400") << reference.addSecs(62896) << 0.0;
}

void TestSkyTransform::siderealTime()
{
    QFETCH(QDateTime, instant);
    QFETCH(double, stime);
    QCOMPARE(sidereal_time_at(instant), stime);
}

void TestSkyTransform::siderealTimeIgnoresTheComputerTimeZone()
{
    const QDateTime reference(QDate(2024, 12, 31), QTime(21, 0), QTimeZone::utc());
    const QDateTime newYork = reference.toTimeZone(QTimeZone("America/New_York"));
    const QDateTime tokyo = reference.toTimeZone(QTimeZone("Asia/Tokyo"));
    QCOMPARE(sidereal_time_at(newYork), 23332.0);
    QCOMPARE(sidereal_time_at(tokyo), 23332.0);
    QCOMPARE(sidereal_time_at(reference.toLocalTime()), 23332.0);
}

void TestSkyTransform::calcSiderealTimeUsesTheClock()
{
    sidereal_time = -1;
    const double before = sidereal_time_at(QDateTime::currentDateTimeUtc());
    calc_sidereal_time();
    const double after = sidereal_time_at(QDateTime::currentDateTimeUtc());
    QVERIFY(sidereal_time >= 0 && sidereal_time < 86400);
    QVERIFY(sidereal_time == before || sidereal_time == after);
    QCOMPARE(sidereal_time, std::floor(sidereal_time));
}

QTEST_APPLESS_MAIN(TestSkyTransform)
#include "tst_sky_transform.moc"
