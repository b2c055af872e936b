#include "coords/coord_text.h"
#include "coords/number_text.h"
#include "coords/sky_transform.h"
#include "coords/velto_object.h"

#include <QTimeZone>
#include <QtTest>
#include <clocale>
#include <cmath>
#include <limits>

// Coordinates: numbers and coordinate texts from outside, the fixed written
// formats, the sidereal time and the horizontal position of the chart.
class TestCoords : public QObject
{
    Q_OBJECT

private slots:
    void readNumber_data();
    void readNumber();
    void readCoordinate_data();
    void readCoordinate();
    void writeCoordinate_data();
    void writeCoordinate();
    void decimalCommaLocaleChangesNothing();
    void siderealTime_data();
    void siderealTime();
    void horizontal_data();
    void horizontal();
    void rates_data();
    void rates();
    void shortSetObjectFillsTheDefaults();
};

void TestCoords::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("blanks around") << " \t2.5 " << true << 2.5;
    QTest::newRow("one leading plus") << "+5" << true << 5.0;
    QTest::newRow("negative") << "-0.25" << true << -0.25;
    QTest::newRow("exponent") << "1.5e3" << true << 1500.0;
    QTest::newRow("plus then minus") << "+-5" << false << 0.0;
    QTest::newRow("two plus signs") << "++5" << false << 0.0;
    QTest::newRow("plus alone") << "+" << false << 0.0;
    QTest::newRow("decimal comma") << "1,5" << false << 0.0;
    QTest::newRow("trailing word") << "12abc" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("nan") << "nan" << false << 0.0;
    QTest::newRow("infinity") << "-inf" << false << 0.0;
    QTest::newRow("overflow") << "1e999" << false << 0.0;
    QTest::newRow("non-ASCII digit") << QString::fromUtf8("\u0665") << false << 0.0;
    QTest::newRow("long text overflowing") << "1" + QString(400, QLatin1Char('0')) << false << 0.0;
    QTest::newRow("long text") << QString(70, QLatin1Char('0')) + "7" << true << 7.0;
}

void TestCoords::readNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    bool read = !ok;
    QCOMPARE(read_number(text, &read), value);
    QCOMPARE(read, ok);
}

void TestCoords::readCoordinate_data()
{
    QTest::addColumn<bool>("dec");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("ra full") << false << "12:34:56.7" << 45296.7;
    QTest::newRow("ra hours and minutes") << false << "12:30" << 45000.0;
    QTest::newRow("ra empty minutes piece") << false << "12::30" << 43230.0;
    QTest::newRow("ra blanks instead of colons") << false << "12 34 56" << 0.0;
    QTest::newRow("ra fourth piece ignored") << false << "1:2:3:4" << 3723.0;
    QTest::newRow("ra nan piece counts 0") << false << "nan:10:00" << 600.0;
    QTest::newRow("ra pieces adding past any double") << false << "1e305:1e4" << 0.0;
    QTest::newRow("dec positive") << true << "+45:23:32.3" << 163412.3;
    QTest::newRow("dec sign of the text, zero degrees") << true << "-00:30:00" << -1800.0;
    QTest::newRow("dec sign applies to minutes") << true << "-10:30:00" << -37800.0;
    QTest::newRow("dec blank before minus") << true << "  -00:00:30" << -30.0;
    QTest::newRow("dec sign sequence") << true << "+-5:10:00" << 600.0;
    QTest::newRow("dec empty") << true << "" << 0.0;
    QTest::newRow("dec past any double") << true << "-1e305:00:00" << 0.0;
}

void TestCoords::readCoordinate()
{
    QFETCH(bool, dec);
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(dec ? dec_to_sec(text) : ra_to_sec(text), value);
}

void TestCoords::writeCoordinate_data()
{
    QTest::addColumn<bool>("dec");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text"); // empty: any text of at most 19 characters
    constexpr double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("ra") << false << 45296.7 << "12:34:56.70";
    QTest::newRow("ra negative wraps once") << false << -1.0 << "23:59:59.00";
    QTest::newRow("ra more than a day") << false << 90000.0 << "01:00:00.00";
    QTest::newRow("ra seconds capped below 60") << false << 3599.999 << "00:59:59.99";
    QTest::newRow("dec south") << true << -1800.0 << "-00:30:00.0";
    QTest::newRow("dec negative zero is plus") << true << -0.0 << "+00:00:00.0";
    QTest::newRow("dec seconds capped below 60") << true << 59.96 << "+00:00:59.9";
    QTest::newRow("dec degrees modulo 360") << true << 370.0 * 3600 << "+10:00:00.0";
    for (const double huge : {1e300, -std::numeric_limits<double>::max(), inf, -inf, double(NAN)}) {
        const QByteArray name = QByteArray::number(huge);
        QTest::newRow("ra " + name) << false << huge << QString();
        QTest::newRow("dec " + name) << true << huge << QString();
    }
}

void TestCoords::writeCoordinate()
{
    QFETCH(bool, dec);
    QFETCH(double, value);
    QFETCH(QString, text);
    const QString written = dec ? sec_to_dec(value) : sec_to_ra(value);
    QVERIFY2(!written.isEmpty() && written.size() <= 19, qPrintable(written));
    if (!text.isEmpty())
        QCOMPARE(written, text);
}

void TestCoords::decimalCommaLocaleChangesNothing()
{
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        QSKIP("de_DE.UTF-8 is not installed");
    char probe[8];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    QCOMPARE(QByteArray(probe), QByteArray("1,5"));
    const QString ra = sec_to_ra(45296.7), dec = sec_to_dec(-1800.5);
    const double read = read_number(u"2.5");
    std::setlocale(LC_NUMERIC, "C");
    QCOMPARE(ra, QStringLiteral("12:34:56.70"));
    QCOMPARE(dec, QStringLiteral("-00:30:00.5"));
    QCOMPARE(read, 2.5);
}

void TestCoords::siderealTime_data()
{
    QTest::addColumn<QDateTime>("instant");
    QTest::addColumn<double>("stime");
    // New Year 2025 at the site, in UTC+3.
    const QDateTime site(QDate(2025, 1, 1), QTime(0, 0), QTimeZone(3 * 3600));
    QTest::newRow("new year at the site") << site << 23332.0;
    QTest::newRow("one solar day later") << site.addDays(1) << 23568.0;
    QTest::newRow("fraction of a second dropped") << site.addMSecs(999) << 23332.0;
    QTest::newRow("one second before") << site.addSecs(-1) << 23331.0;
    QTest::newRow("wraps below a day") << site.addSecs(62896) << 0.0;
    QTest::newRow("seen from New York")
        << site.toTimeZone(QTimeZone("America/New_York")) << 23332.0;
    QTest::newRow("seen from Tokyo") << site.toTimeZone(QTimeZone("Asia/Tokyo")) << 23332.0;
    QTest::newRow("seen in UTC") << site.toUTC() << 23332.0;
}

void TestCoords::siderealTime()
{
    QFETCH(QDateTime, instant);
    QFETCH(double, stime);
    QCOMPARE(sidereal_time_at(instant), stime);
}

void TestCoords::horizontal_data()
{
    // lst and ra in seconds of time, dec, azimuth and zenith distance in arcseconds
    QTest::addColumn<double>("lst");
    QTest::addColumn<double>("ra");
    QTest::addColumn<double>("dec");
    QTest::addColumn<double>("azimuth");
    QTest::addColumn<double>("zenith");
    QTest::addColumn<double>("tolerance"); // infinite: only the ranges are checked
    constexpr double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("sidereal time unset") << -1.0 << 0.0 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("meridian, equator") << 40000.0 << 40000.0 << 0.0 << 0.0 << 157152.7 << 0.1;
    QTest::newRow("meridian north of the zenith")
        << 40000.0 << 40000.0 << 300000.0 << 648000.0 << 142847.3 << 1.0;
    QTest::newRow("six hours west") << 61600.0 << 40000.0 << 0.0 << 324000.0 << 324000.0 << 0.01;
    QTest::newRow("six hours east") << 18400.0 << 40000.0 << 0.0 << -324000.0 << 324000.0 << 0.01;
    QTest::newRow("below the horizon") << 40000.0 << 40000.0 << -324000.0 << 0.0 << 481152.7 << 0.1;
    for (int hours = 0; hours < 24; hours += 3)
        QTest::newRow(qPrintable(QStringLiteral("pole, hour angle %1 h").arg(hours)))
            << (hours * 3600.0 + 100.0) << 100.0 << 324000.0 << 648000.0 << 166847.3 << 0.1;
    QTest::newRow("huge right ascension") << 1000.0 << -1.7e308 << 0.0 << 0.0 << 0.0 << inf;
    QTest::newRow("huge declination") << 1000.0 << 3661.0 << 1e308 << 0.0 << 0.0 << inf;
}

void TestCoords::horizontal()
{
    QFETCH(double, lst);
    QFETCH(double, ra);
    QFETCH(double, dec);
    QFETCH(double, azimuth);
    QFETCH(double, zenith);
    QFETCH(double, tolerance);
    sidereal_time = lst;
    double a = NAN, z = NAN;
    radec_to_az(ra, dec, a, z);
    const QString got = QStringLiteral("A %1 Z %2").arg(a, 0, 'f', 2).arg(z, 0, 'f', 2);
    QVERIFY2(a > -648000 && a <= 648000 && z >= 0 && z <= 648000, qPrintable(got));
    QVERIFY2(std::fabs(a - azimuth) <= tolerance && std::fabs(z - zenith) <= tolerance,
             qPrintable(got));
}

void TestCoords::rates_data()
{
    QTest::addColumn<double>("vha");
    QTest::addColumn<double>("vdec");
    QTest::addColumn<double>("pa");
    QTest::addColumn<double>("zenith");
    QTest::addColumn<double>("va");
    QTest::addColumn<double>("vz");
    QTest::newRow("declination rate, pa 0") << 0.0 << 1.0 << 0.0 << 108000.0 << 0.0 << -1.0;
    QTest::newRow("declination rate, pa 90") << 0.0 << 1.0 << 90.0 << 108000.0 << 2.0 << 0.0;
    QTest::newRow("hour-angle rate, pa 0") << 1.0 << 0.0 << 0.0 << 108000.0 << 30.0 << 0.0;
    QTest::newRow("hour-angle rate, pa 90") << 1.0 << 0.0 << 90.0 << 108000.0 << 0.0 << 15.0;
    QTest::newRow("at the zenith stays finite") << 0.0 << 1.0 << 90.0 << 0.0 << 1e4 << 0.0;
}

void TestCoords::rates()
{
    QFETCH(double, vha);
    QFETCH(double, vdec);
    QFETCH(double, pa);
    QFETCH(double, zenith);
    QFETCH(double, va);
    QFETCH(double, vz);
    Velto_object object;
    object.dec_sec = 0;
    object.zenith_dist = zenith;
    double got_a = NAN, got_z = NAN;
    object.hadec_rates_to_az(vha, vdec, pa, got_a, got_z);
    QVERIFY2(std::fabs(got_a - va) < 1e-6 && std::fabs(got_z - vz) < 1e-6,
             qPrintable(QStringLiteral("%1 %2").arg(got_a).arg(got_z)));
}

void TestCoords::shortSetObjectFillsTheDefaults()
{
    sidereal_time = 43200;
    Velto_object object;
    object.set_object(QStringLiteral("12:00:00"), QStringLiteral("-00:30:00"));
    QCOMPARE(object.name, QStringLiteral("Unknown"));
    QCOMPARE(object.epoch_str, QStringLiteral("2000.0"));
    QCOMPARE(object.ra_sec, 43200.0);
    QCOMPARE(object.dec_sec, -1800.0);
    QVERIFY(std::fabs(object.zenith_dist - 158952.7) < 0.1);
}

QTEST_GUILESS_MAIN(TestCoords)
#include "tst_coords.moc"
