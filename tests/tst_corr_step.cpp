#include "corr/corr_step.h"

#include <QtTest>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(Move)

// Degrees to arcseconds, the unit of the telescope's declination.
static double deg(double degrees)
{
    return degrees * 3600.0;
}

class TestCorrStep : public QObject
{
    Q_OBJECT

private slots:
    void haStep_data();
    void haStep();
    void decStep_data();
    void decStep();
    void poleGuard_data();
    void poleGuard();
    void sliderTexts_data();
    void sliderTexts();
};

void TestCorrStep::haStep_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Move>("move");
    QTest::addColumn<bool>("divide");
    QTest::addColumn<double>("dec");
    QTest::addColumn<QString>("text");

    QTest::newRow("plus step") << "0.5" << Move::Plus << false << 0.0 << "0.50";
    QTest::newRow("minus step") << "0.5" << Move::Minus << false << 0.0 << "-0.50";
    QTest::newRow("axis not moving") << "0.5" << Move::None << true << deg(60) << "0.0";
    QTest::newRow("typed negative used by magnitude")
        << "-0.5" << Move::Plus << false << 0.0 << "0.50";
    QTest::newRow("typed negative, minus") << "-0.5" << Move::Minus << false << 0.0 << "-0.50";
    QTest::newRow("blanks around the value") << "  0.2 " << Move::Plus << false << 0.0 << "0.20";
    QTest::newRow("unreadable value") << "abc" << Move::Plus << false << 0.0 << "0.00";
    QTest::newRow("unreadable value, minus") << "abc" << Move::Minus << false << 0.0 << "0.00";
    QTest::newRow("empty value") << "" << Move::Plus << false << 0.0 << "0.00";
    QTest::newRow("comma is no decimal point") << "0,5" << Move::Plus << false << 0.0 << "0.00";
    QTest::newRow("nan is not a number") << "nan" << Move::Plus << true << 0.0 << "0.00";
    QTest::newRow("inf is not a number") << "inf" << Move::Plus << false << 0.0 << "0.00";
    QTest::newRow("overflow is not a number") << "1e999" << Move::Plus << false << 0.0 << "0.00";
    QTest::newRow("0.004 s rounds to nothing") << "0.004" << Move::Plus << false << 0.0 << "0.00";
    QTest::newRow("two decimals") << "0.125" << Move::Plus << false << 0.0 << "0.13";
    QTest::newRow("slider's largest step") << "4.00" << Move::Plus << false << 0.0 << "4.00";
    QTest::newRow("no limit without the division")
        << "100" << Move::Plus << false << deg(89.9) << "100.00";
    QTest::newRow("divided at +60 degrees") << "0.5" << Move::Plus << true << deg(60) << "1.00";
    QTest::newRow("divided at -60 degrees") << "0.5" << Move::Plus << true << deg(-60) << "1.00";
    QTest::newRow("divided, minus") << "0.5" << Move::Minus << true << deg(60) << "-1.00";
    QTest::newRow("divided at the equator") << "0.5" << Move::Plus << true << 0.0 << "0.50";
    QTest::newRow("not divided at +60 degrees")
        << "0.5" << Move::Plus << false << deg(60) << "0.50";
    QTest::newRow("zero step divided at the pole")
        << "0" << Move::Plus << true << deg(90) << "0.00";
    QTest::newRow("divided beyond 90 degrees keeps the direction")
        << "0.5" << Move::Plus << true << deg(120) << "1.00";
}

void TestCorrStep::haStep()
{
    QFETCH(QString, typed);
    QFETCH(Move, move);
    QFETCH(bool, divide);
    QFETCH(double, dec);
    QFETCH(QString, text);
    QCOMPARE(ha_step_text(typed, move, divide, dec), text);
}

void TestCorrStep::decStep_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Move>("move");
    QTest::addColumn<QString>("text");

    QTest::newRow("plus step") << "7.5" << Move::Plus << "7.5";
    QTest::newRow("minus step") << "7.5" << Move::Minus << "-7.5";
    QTest::newRow("axis not moving") << "7.5" << Move::None << "0.0";
    QTest::newRow("typed negative used by magnitude") << "-3" << Move::Plus << "3.0";
    QTest::newRow("one decimal") << "0.25" << Move::Minus << "-0.3";
    QTest::newRow("unreadable value") << "abc" << Move::Minus << "0.0";
    QTest::newRow("empty value") << "" << Move::Plus << "0.0";
    QTest::newRow("inf is not a number") << "-inf" << Move::Plus << "0.0";
    QTest::newRow("no upper limit") << "600" << Move::Plus << "600.0";
}

void TestCorrStep::decStep()
{
    QFETCH(QString, typed);
    QFETCH(Move, move);
    QFETCH(QString, text);
    QCOMPARE(dec_step_text(typed, move), text);
}

// Near the pole the divided step grows without bound; beyond the limit the
// text is empty so the command check refuses it.
void TestCorrStep::poleGuard_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("dec");
    QTest::addColumn<QString>("text");

    QTest::newRow("at the north pole") << "0.02" << deg(90) << "";
    QTest::newRow("at the south pole") << "0.02" << deg(-90) << "";
    QTest::newRow("1 s at 89.99 degrees") << "1.0" << deg(89.99) << "";
    QTest::newRow("4 s at 86.5 degrees") << "4.00" << deg(86.5) << "";
    QTest::newRow("1 s at 89 degrees stays below the limit") << "1.0" << deg(89) << "57.30";
    QTest::newRow("exactly the limit") << "30" << deg(60) << "60.00";
    QTest::newRow("just above the limit") << "30.01" << deg(60) << "";
    QTest::newRow("unknown declination") << "0.5" << std::numeric_limits<double>::quiet_NaN() << "";
}

void TestCorrStep::poleGuard()
{
    QFETCH(QString, typed);
    QFETCH(double, dec);
    QFETCH(QString, text);
    QCOMPARE(ha_step_text(typed, Move::Plus, true, dec), text);
    QCOMPARE(ha_step_text(typed, Move::Minus, true, dec),
             text.isEmpty() ? text : QLatin1Char('-') + text);
}

void TestCorrStep::sliderTexts_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("ha");
    QTest::addColumn<QString>("dec");

    QTest::newRow("left end") << 1 << "0.01"
                              << "0.1";
    QTest::newRow("middle") << 37 << "0.37"
                            << "3.7";
    QTest::newRow("hour-angle right end") << 400 << "4.00"
                                          << "40.0";
    QTest::newRow("declination right end") << 600 << "6.00"
                                           << "60.0";
}

void TestCorrStep::sliderTexts()
{
    QFETCH(int, position);
    QFETCH(QString, ha);
    QFETCH(QString, dec);
    QCOMPARE(ha_slider_text(position), ha);
    QCOMPARE(dec_slider_text(position), dec);
}

QTEST_APPLESS_MAIN(TestCorrStep)
#include "tst_corr_step.moc"
