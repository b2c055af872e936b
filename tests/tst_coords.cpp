#include "coords/coord_text.h"
#include "coords/night_log.h"
#include "coords/number_text.h"
#include "coords/observing_times.h"
#include "coords/sky_transform.h"
#include "coords/velto_object.h"

#include <QtTest>
#include <clocale>
#include <cmath>

// What a row does with its text or value: read it, write it, take the sidereal time at the instant
// the text names, or name the night log of the local time yyyyMMddHHmmss in the value (a night runs
// from noon to noon), or a Value's difference from the expected one within the limit in the text.
enum class Text { Number, Ra, Dec, WrittenRa, WrittenDec, SiderealTime, NightFile, Value };
Q_DECLARE_METATYPE(Text)

// Coordinates: texts from outside and written, times, places on the sky.
class TestCoords : public QObject
{
    Q_OBJECT

private slots:
    // A decimal comma in the C library's locale must change no text read or written.
    void initTestCase() { QVERIFY(std::setlocale(LC_NUMERIC, "de_DE.UTF-8")); }
    void text_data()
    {
        QTest::addColumn<Text>("kind");
        QTest::addColumn<QString>("text"); // written: empty for any text of 1 to 19 characters
        QTest::addColumn<double>("value"); // a number that is refused reads 0
        const auto row = [](const QString &name, Text kind, const QString &text, double value) {
            QTest::newRow(qPrintable(name)) << kind << text << value;
        };
        const Text number = Text::Number, ra = Text::WrittenRa, dec = Text::WrittenDec;
        row("number, blanks around", number, " \t2.5 ", 2.5);
        row("number, one leading plus", number, "+5", 5);
        row("number, plus then minus", number, "+-5", 0);
        row("number, decimal comma", number, "1,5", 0);
        row("number, trailing word", number, "12abc", 0);
        row("number, infinity", number, "-inf", 0);
        row("number, overflow", number, "1e999", 0);
        row("number, non-ASCII digit", number, QStringLiteral("\u0665"), 0);
        row("number, long text", number, QString(70, QLatin1Char('0')) + "7", 7);
        row("number, long overflow", number, "1" + QString(400, QLatin1Char('0')), 0);
        row("ra, hours only", Text::Ra, "5", 18000);
        row("ra, hours and minutes", Text::Ra, "1:30", 5400);
        row("ra, full", Text::Ra, "12:34:56.7", 45296.7);
        row("ra, empty minutes piece", Text::Ra, "12::30", 43230);
        row("ra, pieces past any double", Text::Ra, "1e305:1e4", 0);
        row("dec, sign of the text at 0 degrees", Text::Dec, "-00:30:00", -1800);
        row("dec, sign for the minutes too", Text::Dec, " -10:30:00", -37800);
        row("dec, sign sequence", Text::Dec, "+-5:10:00", 600);
        row("written ra", ra, "12:34:56.70", 45296.7);
        row("written ra, negative wraps", ra, "23:59:59.00", -1);
        row("written ra, more than a day", ra, "01:00:00.00", 90000);
        row("written ra, seconds below 60", ra, "00:59:59.99", 3599.999);
        row("written dec, south", dec, "-00:30:00.5", -1800.5);
        row("written dec, negative zero", dec, "+00:00:00.0", -0.0);
        row("written dec, seconds below 60", dec, "+00:00:59.9", 59.96);
        row("written dec, modulo 360", dec, "+10:00:00.0", 370.0 * 3600);
        const Text stime = Text::SiderealTime; // New Year 2025 at the site is in UTC+3
        row("sidereal time, new year at the site", stime, "2025-01-01T00:00:00+03:00", 23332);
        row("sidereal time, one solar day later", stime, "2025-01-02T00:00:00+03:00", 23568);
        row("sidereal time, fraction dropped", stime, "2025-01-01T00:00:00.999+03:00", 23332);
        row("sidereal time, one second before", stime, "2024-12-31T23:59:59+03:00", 23331);
        row("sidereal time, wraps below a day", stime, "2025-01-01T17:28:16+03:00", 0);
        row("night, evening", Text::NightFile, "night-2026-12-06.log", 20261206200000);
        row("night, after midnight", Text::NightFile, "night-2026-12-06.log", 20261207030000);
        row("night, a second before noon", Text::NightFile, "night-2026-12-06.log", 20261207115959);
        row("night, noon begins the next", Text::NightFile, "night-2026-12-07.log", 20261207120000);
        row("night, new year's morning", Text::NightFile, "night-2026-12-31.log", 20270101050000);
        for (const double huge : {1e300, -1.7e308, qInf(), -qInf(), qQNaN()}) {
            row("written ra " + QString::number(huge), ra, QString(), huge);
            row("written dec " + QString::number(huge), dec, QString(), huge);
        }
        // Observing times (seconds), a horizon of three points given out of order
        // (degrees), horizontal places and rates.
        const auto near = [](const char *tag, double value, double expected, double within = 1e-6) {
            QTest::newRow(tag) << Text::Value << QString::number(within) << value - expected;
        };
        near("hour angle, 12 h west counts east", hour_angle_at(43200, 0), -43200);
        near("hour angle, a second less", hour_angle_at(43199, 0), 43199);
        near("hour angle, a day apart", hour_angle_at(86500, 100), 0);
        near("sidereal an hour before wraps", sidereal_after(0, -3600), 82790.14352633714);
        near("sidereal of a whole day", sidereal_after(86400, 0), 0);
        near("transit a second past", seconds_to_transit(101, 100), 86163.09326126655);
        near("transit, ra past a day", seconds_to_transit(0, 90000), 3590.170438784703);
        const HorizonLimit wall({{100, 70}, {10, 80}, {350, 60}}), flat;
        near("horizon at a point", wall.zenith_dist_at(10), 80);
        near("horizon between points", wall.zenith_dist_at(55), 75);
        near("horizon across north, 0", wall.zenith_dist_at(0), 70);
        near("horizon across north, 355", wall.zenith_dist_at(355), 65);
        near("horizon, negative azimuth", wall.zenith_dist_at(-5), 65);
        near("horizon, past a turn", wall.zenith_dist_at(725), 75);
        near("horizon, none", flat.zenith_dist_at(123) + flat.lowest_zenith_dist(), 180);
        near("on the horizon is down", wall.is_up(55 * 3600.0, 75 * 3600.0), 0);
        near("a hair above it is up", wall.is_up(55 * 3600.0, 75 * 3600.0 - 0.01), 1);
        // Azimuth and zenith distance of a place `ha` seconds of time west of the
        // meridian (the sidereal time unset for a negative one), in range.
        const auto place = [](double ha, double dec) {
            sidereal_time = ha < 0 ? -1 : 100;
            double a = qQNaN(), z = qQNaN();
            radec_to_az(100 - ha, dec, a, z);
            return a > -648000 && a <= 648000 && z >= 0 && z <= 648000 ? QPointF(a, z) : QPointF();
        };
        const auto places = [&](const QString &tag, QPointF at, double a, double z) {
            near(qPrintable(tag + ", A"), at.x(), a, 0.1);
            near(qPrintable(tag + ", Z"), at.y(), z, 0.1);
        };
        places("sidereal time unset", place(-1, 0), 0, 0);
        places("meridian, equator", place(0, 0), 0, 157152.7);
        places("six hours east", place(64800, 0), -324000, 324000);
        places("pole at 15 h: due north", place(54000, 324000), 648000, 166847.3);
        near("huge right ascension in range", !place(3e307, 0).isNull(), 1, 0);
        near("huge declination in range", !place(1000, 1e308).isNull(), 1, 0);
        Velto_object star; // 30 degrees from the zenith; rates in arcseconds per second
        star.set_object(QStringLiteral("0"), QStringLiteral("60")); // the shortest form
        star.zenith_dist = 108000;
        double va = 0, vz = 0;
        star.hadec_rates_to_az(1, 0, 0, va, vz); // hour angle alone, pa 0
        near("hour angle rate in azimuth", va, 15);
        near("hour angle rate in zenith distance", vz, 0);
        star.hadec_rates_to_az(0, 1, 90, va, vz);
        near("declination rate at pa 90 in azimuth", va, 2);
        star.hadec_rates_to_az(0, 1, 0, va, vz);
        near("declination rate at pa 0 in zenith distance", vz, -1);
        star.zenith_dist = 0;
        star.hadec_rates_to_az(0, 1, 90, va, vz);
        near("azimuth rate at the zenith stays finite", va, 1e4);
        const auto late = [](double t) { return t >= 86450; }; // past a day, unseen
        near("no change within a day", first_change(late, 1000), -1, 0);
    }
    void text()
    {
        QFETCH(Text, kind);
        QFETCH(QString, text);
        QFETCH(double, value);
        if (kind == Text::Value) {
            QVERIFY2(std::fabs(value) <= text.toDouble(), qPrintable(QString::number(value)));
        } else if (kind == Text::NightFile) {
            const auto local =
                QDateTime::fromString(QString::number(value, 'f', 0), "yyyyMMddHHmmss");
            QCOMPARE(QFileInfo(night_log_path(local)).fileName(), text);
        } else if (kind == Text::SiderealTime) {
            QCOMPARE(sidereal_time_at(QDateTime::fromString(text, Qt::ISODate)), value);
        } else if (kind == Text::WrittenRa || kind == Text::WrittenDec) {
            const QString written = kind == Text::WrittenDec ? sec_to_dec(value) : sec_to_ra(value);
            QVERIFY2(!written.isEmpty() && written.size() <= 19, qPrintable(written));
            QVERIFY2(text.isEmpty() || written == text, qPrintable(written));
        } else if (kind == Text::Number) {
            bool ok = false;
            QCOMPARE(read_number(text, &ok), value);
            QCOMPARE(ok, value != 0);
        } else {
            QCOMPARE(kind == Text::Ra ? ra_to_sec(text) : dec_to_sec(text), value);
        }
    }
};

QTEST_GUILESS_MAIN(TestCoords)
#include "tst_coords.moc"
