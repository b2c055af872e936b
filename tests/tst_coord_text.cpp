#include "coords/coord_text.h"
#include "coords/number_text.h"

#include <QtTest>
#include <clocale>
#include <cmath>
#include <limits>

// Coordinate texts: reading colon-separated pieces, writing the fixed formats.
class TestCoordText : public QObject
{
    Q_OBJECT

private slots:
    void readNumber_data();
    void readNumber();
    void readRightAscension_data();
    void readRightAscension();
    void readDeclination_data();
    void readDeclination();
    void writeRightAscension_data();
    void writeRightAscension();
    void writeDeclination_data();
    void writeDeclination();
    void formattedTextsStayBounded_data();
    void formattedTextsStayBounded();
    void decimalCommaLocaleChangesNothing();
};

void TestCoordText::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "42" << true << 42.0;
    QTest::newRow("blanks around") << " \t2.5 " << true << 2.5;
    QTest::newRow("leading plus") << "+5" << true << 5.0;
    QTest::newRow("negative") << "-0.25" << true << -0.25;
    QTest::newRow("no leading digit") << ".5" << true << 0.5;
    QTest::newRow("no digit after the point") << "5." << true << 5.0;
    QTest::newRow("exponent") << "1.5e3" << true << 1500.0;
    QTest::newRow("two signs") << "+-5" << false << 0.0;
    QTest::newRow("plus alone") << "+" << false << 0.0;
    QTest::newRow("decimal comma") << "1,5" << false << 0.0;
    QTest::newRow("digit grouping") << "1,000" << false << 0.0;
    QTest::newRow("hexadecimal") << "0x10" << false << 0.0;
    QTest::newRow("trailing word") << "12abc" << false << 0.0;
    QTest::newRow("inner blank") << "1 2" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("nan") << "nan" << false << 0.0;
    QTest::newRow("infinity") << "-inf" << false << 0.0;
    QTest::newRow("overflow") << "1e999" << false << 0.0;
    QTest::newRow("Arabic-Indic digits") << QString::fromUtf8("\u0665") << false << 0.0;
    QTest::newRow("longer than any coordinate")
        << QStringLiteral("0.") + QString(80, QLatin1Char('5')) << true << 0.5555555555555556;
}

void TestCoordText::readNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    bool read = !ok;
    QCOMPARE(read_number(text, &read), value);
    QCOMPARE(read, ok);
}

void TestCoordText::readRightAscension_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("seconds");
    QTest::newRow("full") << "12:34:56.7" << 45296.7;
    QTest::newRow("hours and minutes") << "12:30" << 45000.0;
    QTest::newRow("hours alone") << "5" << 18000.0;
    QTest::newRow("empty minutes piece") << "12::30" << 43230.0;
    QTest::newRow("empty text") << "" << 0.0;
    QTest::newRow("blanks instead of colons") << "12 34 56" << 0.0;
    QTest::newRow("unreadable minutes count 0") << "12:xx:30" << 43230.0;
    QTest::newRow("fourth piece ignored") << "1:2:3:4" << 3723.0;
    QTest::newRow("leading minus makes the hours negative") << "-1:30:00" << -1800.0;
    QTest::newRow("many digits") << "001:0002:0003.5" << 3723.5;
    QTest::newRow("nan is not a number") << "nan:10:00" << 600.0;
    QTest::newRow("inf is not a number") << "1:inf:00" << 3600.0;
    QTest::newRow("overflow is not a number") << "1e999:00:10" << 10.0;
    QTest::newRow("digit grouping refused") << "1,000:00:00" << 0.0;
    QTest::newRow("pieces adding up past any double") << "1e305:1e4" << 0.0;
}

void TestCoordText::readRightAscension()
{
    QFETCH(QString, text);
    QFETCH(double, seconds);
    QCOMPARE(ra_to_sec(text), seconds);
}

void TestCoordText::readDeclination_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("arcseconds");
    QTest::newRow("positive") << "+45:23:32.3" << 163412.3;
    QTest::newRow("sign taken from the text, zero degrees") << "-00:30:00" << -1800.0;
    QTest::newRow("sign applies to minutes too") << "-10:30:00" << -37800.0;
    QTest::newRow("small negative") << "-00:05:00" << -300.0;
    QTest::newRow("no sign") << "05:10:00" << 18600.0;
    QTest::newRow("degrees alone") << "45" << 162000.0;
    QTest::newRow("blank before minus") << "  -00:00:30" << -30.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("sign sequence reads degrees as 0") << "+-5:10:00" << 600.0;
    QTest::newRow("nan degrees") << "-nan:01:00" << -60.0;
    QTest::newRow("degrees past any double") << "-1e305:00:00" << 0.0;
}

void TestCoordText::readDeclination()
{
    QFETCH(QString, text);
    QFETCH(double, arcseconds);
    QCOMPARE(dec_to_sec(text), arcseconds);
}

void TestCoordText::writeRightAscension_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("worked value") << 45296.7 << "12:34:56.70";
    QTest::newRow("negative wraps once") << -1.0 << "23:59:59.00";
    QTest::newRow("a full day") << 86400.0 << "00:00:00.00";
    QTest::newRow("more than a day") << 90000.0 << "01:00:00.00";
    QTest::newRow("seconds capped below 60") << 3599.999 << "00:59:59.99";
    QTest::newRow("59.999 seconds") << 59.999 << "00:00:59.99";
    QTest::newRow("negative zero") << -0.0 << "00:00:00.00";
    QTest::newRow("zero") << 0.0 << "00:00:00.00";
}

void TestCoordText::writeRightAscension()
{
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(sec_to_ra(seconds), text);
}

void TestCoordText::writeDeclination_data()
{
    QTest::addColumn<double>("arcseconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("half a degree south") << -1800.0 << "-00:30:00.0";
    QTest::newRow("worked value") << 163412.34 << "+45:23:32.3";
    QTest::newRow("pole") << 324000.0 << "+90:00:00.0";
    QTest::newRow("negative zero is plus") << -0.0 << "+00:00:00.0";
    QTest::newRow("seconds capped below 60") << 59.96 << "+00:00:59.9";
    QTest::newRow("round trip of -00:05:00") << -300.0 << "-00:05:00.0";
    QTest::newRow("degrees modulo 360") << 370.0 * 3600 << "+10:00:00.0";
}

void TestCoordText::writeDeclination()
{
    QFETCH(double, arcseconds);
    QFETCH(QString, text);
    QCOMPARE(sec_to_dec(arcseconds), text);
}

void TestCoordText::formattedTextsStayBounded_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("1e30") << 1e30;
    QTest::newRow("-1e30") << -1e30;
    QTest::newRow("1e300") << 1e300;
    QTest::newRow("largest double") << std::numeric_limits<double>::max();
    QTest::newRow("lowest double") << std::numeric_limits<double>::lowest();
    QTest::newRow("+inf") << std::numeric_limits<double>::infinity();
    QTest::newRow("-inf") << -std::numeric_limits<double>::infinity();
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("2^31 hours") << 2147483648.0 * 3600;
    QTest::newRow("tiny negative") << -1e-300;
}

void TestCoordText::formattedTextsStayBounded()
{
    QFETCH(double, value);
    QVERIFY(sec_to_ra(value).size() <= 19);
    QVERIFY(sec_to_dec(value).size() <= 19);
    QVERIFY(!sec_to_ra(value).isEmpty());
    QVERIFY(!sec_to_dec(value).isEmpty());
}

void TestCoordText::decimalCommaLocaleChangesNothing()
{
    const char *candidates[] = {"de_DE.UTF-8", "de_DE.utf8", "ru_RU.UTF-8", "ru_RU.utf8"};
    const char *chosen = nullptr;
    for (const char *name : candidates) {
        if (std::setlocale(LC_NUMERIC, name)) {
            chosen = name;
            break;
        }
    }
    if (!chosen)
        QSKIP("no locale with a decimal comma is installed (scripts/test generates de_DE.UTF-8)");
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    QCOMPARE(QByteArray(probe), QByteArray("1,5")); // the runtime really writes a comma
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    QCOMPARE(sec_to_ra(45296.7), QStringLiteral("12:34:56.70"));
    QCOMPARE(sec_to_dec(-1800.5), QStringLiteral("-00:30:00.5"));
    QCOMPARE(ra_to_sec(QStringLiteral("12:34:56.7")), 45296.7);
    QCOMPARE(dec_to_sec(QStringLiteral("+45:23:32.3")), 163412.3);
    QCOMPARE(ra_to_sec(QStringLiteral("0:0:1,5")), 0.0); // a comma is no decimal point

    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
}

QTEST_APPLESS_MAIN(TestCoordText)
#include "tst_coord_text.moc"
