#include "coords/coord_text.h"
#include "coords/number_text.h"
#include "coords/sky_transform.h"
#include "coords/velto_object.h"

#include <QTimeZone>
#include <QtTest>
#include <clocale>
#include <cmath>

// Coordinates: numbers and coordinate texts from outside, the written formats,
// the sidereal time and the horizontal position of an object.
class TestCoords : public QObject
{
    Q_OBJECT

private slots:
    void readText_data();
    void readText();
    void writeText_data();
    void writeText();
    void decimalCommaLocaleChangesNothing();
    void siderealTime_data();
    void siderealTime();
    void horizontal_data();
    void horizontal();
    void rates();
};

enum class Reader { Number, Ra, Dec };
Q_DECLARE_METATYPE(Reader)

void TestCoords::readText_data()
{
    QTest::addColumn<Reader>("reader");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value"); // a number that is refused reads 0
    auto row = [](const char *name, Reader reader, const QString &text, double value) {
        QTest::newRow(name) << reader << text << value;
    };
    row("number, blanks around", Reader::Number, " \t2.5 ", 2.5);
    row("number, one leading plus", Reader::Number, "+5", 5);
    row("number, plus then minus", Reader::Number, "+-5", 0);
    row("number, two plus signs", Reader::Number, "++5", 0);
    row("number, decimal comma", Reader::Number, "1,5", 0);
    row("number, trailing word", Reader::Number, "12abc", 0);
    row("number, nan", Reader::Number, "nan", 0);
    row("number, infinity", Reader::Number, "-inf", 0);
    row("number, overflow", Reader::Number, "1e999", 0);
    row("number, non-ASCII digit", Reader::Number, QStringLiteral("\u0665"), 0);
    row("number, long text", Reader::Number, QString(70, QLatin1Char('0')) + "7", 7);
    row("number, long overflow", Reader::Number, "1" + QString(400, QLatin1Char('0')), 0);
    row("ra, full", Reader::Ra, "12:34:56.7", 45296.7);
    row("ra, empty minutes piece", Reader::Ra, "12::30", 43230);
    row("ra, nan piece counts 0", Reader::Ra, "nan:10:00", 600);
    row("ra, pieces past any double", Reader::Ra, "1e305:1e4", 0);
    row("dec, sign of the text at 0 degrees", Reader::Dec, "-00:30:00", -1800);
    row("dec, sign for the minutes too", Reader::Dec, " -10:30:00", -37800);
    row("dec, sign sequence", Reader::Dec, "+-5:10:00", 600);
}

void TestCoords::readText()
{
    QFETCH(Reader, reader);
    QFETCH(QString, text);
    QFETCH(double, value);
    bool ok = false;
    const double read = reader == Reader::Number ? read_number(text, &ok)
                        : reader == Reader::Ra   ? ra_to_sec(text)
                                                 : dec_to_sec(text);
    QCOMPARE(read, value);
    if (reader == Reader::Number)
        QCOMPARE(ok, value != 0);
}

void TestCoords::writeText_data()
{
    QTest::addColumn<bool>("dec");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text"); // empty: any text of 1 to 19 characters
    QTest::newRow("ra") << false << 45296.7 << "12:34:56.70";
    QTest::newRow("ra, negative wraps") << false << -1.0 << "23:59:59.00";
    QTest::newRow("ra, more than a day") << false << 90000.0 << "01:00:00.00";
    QTest::newRow("ra, seconds below 60") << false << 3599.999 << "00:59:59.99";
    QTest::newRow("dec, south") << true << -1800.0 << "-00:30:00.0";
    QTest::newRow("dec, negative zero") << true << -0.0 << "+00:00:00.0";
    QTest::newRow("dec, seconds below 60") << true << 59.96 << "+00:00:59.9";
    QTest::newRow("dec, modulo 360") << true << 370.0 * 3600 << "+10:00:00.0";
    for (const double huge : {1e300, -1.7e308, qInf(), -qInf(), qQNaN()}) {
        QTest::newRow(qPrintable("ra " + QString::number(huge))) << false << huge << QString();
        QTest::newRow(qPrintable("dec " + QString::number(huge))) << true << huge << QString();
    }
}

void TestCoords::writeText()
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
    const QString ra = sec_to_ra(45296.7), dec = sec_to_dec(-1800.5);
    const double read = read_number(u"2.5");
    std::setlocale(LC_NUMERIC, "C");
    QCOMPARE(ra + ' ' + dec, QStringLiteral("12:34:56.70 -00:30:00.5"));
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
}

void TestCoords::siderealTime()
{
    QFETCH(QDateTime, instant);
    QFETCH(double, stime);
    QCOMPARE(sidereal_time_at(instant), stime);
}

void TestCoords::horizontal_data()
{
    // hour angle in seconds of time (-1: no sidereal time yet); arcseconds
    QTest::addColumn<double>("ha");
    QTest::addColumn<double>("dec");
    QTest::addColumn<double>("azimuth");
    QTest::addColumn<double>("zenith");
    QTest::addColumn<double>("tolerance"); // infinite: only the ranges are checked
    QTest::newRow("sidereal time unset") << -1.0 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("meridian, equator") << 0.0 << 0.0 << 0.0 << 157152.7 << 0.1;
    QTest::newRow("north of the zenith") << 0.0 << 3e5 << 648000.0 << 142847.3 << 0.1;
    QTest::newRow("six hours west") << 21600.0 << 0.0 << 324000.0 << 324000.0 << 0.01;
    QTest::newRow("six hours east") << 64800.0 << 0.0 << -324000.0 << 324000.0 << 0.01;
    QTest::newRow("south pole") << 0.0 << -324000.0 << 0.0 << 481152.7 << 0.1;
    for (int hours = 0; hours < 24; hours += 3)
        QTest::newRow(qPrintable(QStringLiteral("pole at %1 h").arg(hours)))
            << hours * 3600.0 << 324000.0 << 648000.0 << 166847.3 << 0.1;
    QTest::newRow("huge right ascension") << 3e307 << 0.0 << 0.0 << 0.0 << qInf();
    QTest::newRow("huge declination") << 1000.0 << 1e308 << 0.0 << 0.0 << qInf();
}

void TestCoords::horizontal()
{
    QFETCH(double, ha);
    QFETCH(double, dec);
    QFETCH(double, azimuth);
    QFETCH(double, zenith);
    QFETCH(double, tolerance);
    sidereal_time = ha < 0 ? -1 : 100; // the object's ra follows from its hour angle
    double a = qQNaN(), z = qQNaN();
    radec_to_az(100 - ha, dec, a, z);
    const QString got = QStringLiteral("A %1 Z %2").arg(a, 0, 'f', 2).arg(z, 0, 'f', 2);
    QVERIFY2(a > -648000 && a <= 648000 && z >= 0 && z <= 648000, qPrintable(got));
    QVERIFY2(std::fabs(a - azimuth) <= tolerance && std::fabs(z - zenith) <= tolerance,
             qPrintable(got));
}

void TestCoords::rates()
{
    Velto_object object; // 30 degrees from the zenith, on the equator
    object.set_object(QStringLiteral("0"), QStringLiteral("0")); // the shortest form
    object.zenith_dist = 108000;
    QCOMPARE(object.name + ' ' + object.epoch_str, QStringLiteral("Unknown 2000.0"));
    double va = 0, vz = 0;
    object.hadec_rates_to_az(1, 0, 0, va, vz); // hour angle alone, pa 0
    QVERIFY(std::fabs(va - 30) < 1e-9 && std::fabs(vz) < 1e-9);
    object.hadec_rates_to_az(0, 1, 90, va, vz);
    QVERIFY(std::fabs(va - 2) < 1e-9 && std::fabs(vz) < 1e-9);
    object.zenith_dist = 0; // at the zenith the azimuth rate stays finite
    object.hadec_rates_to_az(0, 1, 90, va, vz);
    QCOMPARE(va, 1e4);
}

QTEST_GUILESS_MAIN(TestCoords)
#include "tst_coords.moc"
