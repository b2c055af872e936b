#include "coords/sky_transform.h"
#include "coords/velto_object.h"

#include <QtTest>

namespace
{

// Records which overloads ran, in order, while keeping the base behaviour.
class RecordingObject : public Velto_object
{
public:
    QStringList calls;
    void set_object(const QString &name, const QString &ra, const QString &dec,
                    const QString &epoch) override
    {
        calls << QStringLiteral("4");
        Velto_object::set_object(name, ra, dec, epoch);
    }
    void set_object(const QString &name, const QString &ra, const QString &dec) override
    {
        calls << QStringLiteral("3");
        Velto_object::set_object(name, ra, dec);
    }
    void set_object(const QString &ra, const QString &dec) override
    {
        calls << QStringLiteral("2");
        Velto_object::set_object(ra, dec);
    }
};

} // namespace

class TestVeltoObject : public QObject
{
    Q_OBJECT

private slots:
    void constructionDefaults();
    void constructionMakesCTheDefaultLocale();
    void setObjectStoresTextsAndNumbers();
    void twoArgumentsReachFourThroughThree();
    void setObjectLeavesBookkeepingAlone();
    void horizontalPositionFollowsTheSiderealTime();
};

void TestVeltoObject::constructionDefaults()
{
    Velto_object object;
    QVERIFY(object.is_comment);
    QCOMPARE(object.azimuth, 0.0);
    QCOMPARE(object.zenith_dist, 0.0);
    QCOMPARE(object.num, 0);
    QCOMPARE(object.sky_x, 0);
    QVERIFY(object.name.isNull());
    QVERIFY(object.epoch_str.isNull());
}

void TestVeltoObject::constructionMakesCTheDefaultLocale()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    Velto_object object;
    QCOMPARE(QLocale().language(), QLocale::C);
    QCOMPARE(QLocale().toString(1.5, 'f', 1), QStringLiteral("1.5"));
}

void TestVeltoObject::setObjectStoresTextsAndNumbers()
{
    sidereal_time = -1;
    Velto_object object;
    object.set_object(QStringLiteral("M 31"), QStringLiteral("00:42:44.3"),
                      QStringLiteral("+41:16:09"), QStringLiteral("2000.0"));
    QCOMPARE(object.name, QStringLiteral("M 31"));
    QCOMPARE(object.ra_str, QStringLiteral("00:42:44.3"));
    QCOMPARE(object.dec_str, QStringLiteral("+41:16:09"));
    QCOMPARE(object.epoch_str, QStringLiteral("2000.0"));
    QCOMPARE(object.ra_sec, 2564.3);
    QCOMPARE(object.dec_sec, 148569.0);
    QCOMPARE(object.azimuth, 0.0); // no sidereal time yet
}

void TestVeltoObject::twoArgumentsReachFourThroughThree()
{
    RecordingObject object;
    Velto_object *base = &object;
    base->set_object(QStringLiteral("12:00:00"), QStringLiteral("+10:00:00"));
    QCOMPARE(object.calls, QStringList({"2", "3", "4"}));
    QCOMPARE(object.name, QStringLiteral("Unknown"));
    QCOMPARE(object.epoch_str, QStringLiteral("2000.0"));
    QCOMPARE(object.ra_sec, 43200.0);
    QCOMPARE(object.dec_sec, 36000.0);
}

void TestVeltoObject::setObjectLeavesBookkeepingAlone()
{
    Velto_object object;
    object.num = 7;
    object.sky_x = 12;
    object.sky_y = 34;
    object.hour_angle = 5;
    object.set_object(QStringLiteral("1:00:00"), QStringLiteral("+1:00:00"));
    QVERIFY(object.is_comment);
    QCOMPARE(object.num, 7);
    QCOMPARE(object.sky_x, 12);
    QCOMPARE(object.sky_y, 34);
    QCOMPARE(object.hour_angle, 5.0);
}

void TestVeltoObject::horizontalPositionFollowsTheSiderealTime()
{
    sidereal_time = 43200;
    Velto_object object;
    object.set_object(QStringLiteral("A"), QStringLiteral("12:00:00"), QStringLiteral("+00:00:00"));
    QCOMPARE(object.azimuth, 0.0);
    QVERIFY(qAbs(object.zenith_dist - 157152.7) < 0.1);
    sidereal_time = -1;
}

QTEST_APPLESS_MAIN(TestVeltoObject)
#include "tst_velto_object.moc"
