#include "tcs/poll_interval.h"

#include <QtTest>

// The adaptive poll period, reply after reply.
class TestPollInterval : public QObject
{
    Q_OBJECT

private slots:
    void idleGrowsThenDrops();
    void steadyRanges_data();
    void steadyRanges();
    void changeOfStateAsksAgainSoon();
    void movingNeedsRates();
};

void TestPollInterval::idleGrowsThenDrops()
{
    int ms = 5000;
    QList<int> seen;
    for (int i = 0; i < 60; ++i) {
        ms = next_poll_interval(ms, QStringLiteral("Stop"), QStringLiteral("Stop"), true, 0, 0);
        seen << ms;
    }
    QCOMPARE(seen.first(), 5200);
    QCOMPARE(seen.at(49), 15000);
    QCOMPARE(seen.at(50), 10000); // past 15000 it drops back
    QCOMPARE(seen.at(51), 10200);
}

void TestPollInterval::steadyRanges_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<double>("vha");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::newRow("idle") << "Stop" << 0.0 << 10000 << 15000;
    QTest::newRow("tracking") << "Track" << 1.0 << 3000 << 5000;
    QTest::newRow("slewing") << "Slew" << 30.0 << 1000 << 2000;
    QTest::newRow("moving") << "Moving" << 2.0 << 1000 << 2000;
    QTest::newRow("moving without rates is idle") << "Moving" << 0.0 << 10000 << 15000;
}

void TestPollInterval::steadyRanges()
{
    QFETCH(QString, state);
    QFETCH(double, vha);
    QFETCH(int, low);
    QFETCH(int, high);
    int ms = 60000;
    for (int i = 0; i < 40; ++i)
        ms = next_poll_interval(ms, state, state, true, vha, 0);
    for (int i = 0; i < 100; ++i) {
        ms = next_poll_interval(ms, state, state, true, vha, 0);
        QVERIFY2(ms >= low && ms <= high, qPrintable(QString::number(ms)));
    }
}

void TestPollInterval::changeOfStateAsksAgainSoon()
{
    QCOMPARE(next_poll_interval(12000, QStringLiteral("Track"), QStringLiteral("Slew"), true, 1, 0),
             1000);
    // Not Ok: the change is not trusted.
    QCOMPARE(
        next_poll_interval(12000, QStringLiteral("Track"), QStringLiteral("Slew"), false, 1, 0),
        3000);
    QCOMPARE(next_poll_interval(600, QStringLiteral("Stop"), QStringLiteral("Stop"), true, 0, 0),
             1000);
}

void TestPollInterval::movingNeedsRates()
{
    QCOMPARE(next_poll_interval(5000, "Moving", "Moving", true, 0.0, 0.2), 1000);
    QCOMPARE(next_poll_interval(5000, "Moving", "Moving", true, 0.01, 0.1), 5200);
}

QTEST_APPLESS_MAIN(TestPollInterval)
#include "tst_poll_interval.moc"
