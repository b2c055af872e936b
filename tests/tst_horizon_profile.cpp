#include "sky/horizon_profile.h"

#include <QBuffer>
#include <QtTest>

Q_DECLARE_METATYPE(HorizonKind)

// Reading the horizon replies of the TCS web host.
class TestHorizonProfile : public QObject
{
    Q_OBJECT

private slots:
    void routing_data();
    void routing();
    void pointConversion_data();
    void pointConversion();
    void capAt360Points();
    void loadingLine_data();
    void loadingLine();
};

namespace
{

HorizonReading read_text(const QByteArray &text)
{
    QByteArray data = text;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return read_horizon(buffer);
}

} // namespace

void TestHorizonProfile::routing_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<HorizonKind>("target");
    QTest::addColumn<int>("count");
    QTest::newRow("direct heading before the points")
        << QByteArray("# direct horizon\n0 10\n90 5\n180 3\n") << HorizonKind::Direct << 3;
    QTest::newRow("reverse heading before the points")
        << QByteArray("#reverse\n0 10\n90 5\n") << HorizonKind::Reverse << 2;
    QTest::newRow("no heading fills the direct set, whatever was asked")
        << QByteArray("0 10\n90 5\n") << HorizonKind::Direct << 2;
    QTest::newRow("heading after the first point is ignored")
        << QByteArray("0 10\n# reverse\n90 5\n") << HorizonKind::Direct << 2;
    QTest::newRow("later heading before any point wins")
        << QByteArray("# direct\n# reverse\n0 10\n") << HorizonKind::Reverse << 1;
    QTest::newRow("other heading keeps the target")
        << QByteArray("# reverse\n# site Velto\n0 10\n") << HorizonKind::Reverse << 1;
    QTest::newRow("direct wins over reverse in one heading")
        << QByteArray("# reverse of direct\n0 10\n") << HorizonKind::Direct << 1;
    QTest::newRow("the word must follow the hash")
        << QByteArray("#\n0 10\n") << HorizonKind::Direct << 1;
    QTest::newRow("a heading line is not a point")
        << QByteArray("# x\n#reverse\n") << HorizonKind::Reverse << 0;
    QTest::newRow("empty reply") << QByteArray() << HorizonKind::Direct << 0;
    QTest::newRow("empty line is a point")
        << QByteArray("0 10\n\n90 5\n") << HorizonKind::Direct << 3;
    QTest::newRow("last line without newline")
        << QByteArray("0 10\r\n90 5") << HorizonKind::Direct << 2;
}

void TestHorizonProfile::routing()
{
    QFETCH(QByteArray, reply);
    QFETCH(HorizonKind, target);
    QFETCH(int, count);
    const HorizonReading reading = read_text(reply);
    QCOMPARE(reading.target, target);
    QCOMPARE(reading.points.size(), count);
}

void TestHorizonProfile::pointConversion_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<double>("azimuth"); // from the south toward the west
    QTest::addColumn<double>("zenith");
    QTest::newRow("north at 10 deg") << QByteArray("0 10") << 180.0 << 80.0;
    QTest::newRow("west on the horizon") << QByteArray("270 0") << 90.0 << 90.0;
    QTest::newRow("south is 360, not reduced") << QByteArray("180 20") << 360.0 << 70.0;
    QTest::newRow("east reduced below 360") << QByteArray("190 20") << 10.0 << 70.0;
    QTest::newRow("whitespace simplified") << QByteArray("  \t45.5   12.25  x\r") << 225.5 << 77.75;
    QTest::newRow("empty line: northern horizon") << QByteArray("") << 180.0 << 90.0;
    QTest::newRow("azimuth only") << QByteArray("90") << 270.0 << 90.0;
    QTest::newRow("unreadable numbers count 0") << QByteArray("abc def") << 180.0 << 90.0;
    QTest::newRow("not-a-number counts 0") << QByteArray("nan inf") << 180.0 << 90.0;
    QTest::newRow("negative altitude below the horizon") << QByteArray("0 -5") << 180.0 << 95.0;
}

void TestHorizonProfile::pointConversion()
{
    QFETCH(QByteArray, line);
    QFETCH(double, azimuth);
    QFETCH(double, zenith);
    const HorizonReading reading = read_text(line + '\n');
    QCOMPARE(reading.points.size(), 1);
    QCOMPARE(reading.points.first().azimuth, azimuth);
    QCOMPARE(reading.points.first().zenith_dist, zenith);
}

void TestHorizonProfile::capAt360Points()
{
    QByteArray reply("# direct\n");
    for (int i = 0; i < 400; ++i)
        reply += QByteArray::number(i % 360) + ' ' + QByteArray::number(i < 360 ? 10 : 50) + '\n';
    const HorizonReading reading = read_text(reply);
    QCOMPARE(reading.points.size(), max_horizon_points);
    QCOMPARE(reading.points.last().zenith_dist, 80.0); // the 360th line, not a later one
}

void TestHorizonProfile::loadingLine_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("line");
    QTest::newRow("direct") << QByteArray("# direct\n0 1\n2 3\n4 5\n")
                            << "Loading 3 'direct' horizon points.";
    QTest::newRow("reverse") << QByteArray("#reverse\n0 1\n")
                             << "Loading 1 'reverse' horizon points.";
    QTest::newRow("nothing") << QByteArray() << "Loading 0 'direct' horizon points.";
}

void TestHorizonProfile::loadingLine()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, line);
    QCOMPARE(horizon_loading_line(read_text(reply)), line);
}

QTEST_APPLESS_MAIN(TestHorizonProfile)
#include "tst_horizon_profile.moc"
