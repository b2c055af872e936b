#include "corr/corr_step.h"
#include "corr/velto_corr.h"
#include "local_tcs.h"
#include "main_window_probe.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(Move)

template <typename Widget> Widget &child(QObject &parent, const char *name)
{
    return *parent.findChild<Widget *>(QLatin1String(name));
}

// The corrections window: the step texts it computes and what reaches the TCS.
class TestCorr : public QObject
{
    Q_OBJECT

private slots:
    // Both axes read the same typed text; an empty text is a refused step.
    void steps_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Move>("move");
        QTest::addColumn<bool>("divide");
        QTest::addColumn<double>("decDeg");     // the telescope's declination
        QTest::addColumn<QStringList>("texts"); // dHA, dDec

        const auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };
        const Move plus = Move::Plus, minus = Move::Minus;
        row("plus") << "0.5" << plus << false << 0.0 << QStringList{"0.50", "0.5"};
        row("minus, typed sign ignored")
            << "-0.5" << minus << false << 0.0 << QStringList{"-0.50", "-0.5"};
        row("axis not moving") << "1e300" << Move::None << true << 90.0
                               << QStringList{"0.0", "0.0"};
        row("no number at all") << "abc" << plus << false << 0.0 << QStringList{"0.00", "0.0"};
        row("60 and 60 sent") << "60" << plus << false << 0.0 << QStringList{"60.00", "60.0"};
        row("61 s refused") << "61" << minus << false << 0.0 << QStringList{"", "-61.0"};
        row("900\" sent") << "900" << minus << false << 0.0 << QStringList{"", "-900.0"};
        row("901\" refused") << "901" << plus << false << 0.0 << QStringList{"", ""};
        row("1e300 refused") << "1e300" << plus << false << 0.0 << QStringList{"", ""};
        row("inf refused") << "inf" << plus << false << 0.0 << QStringList{"", ""};
        row("divided at +60 degrees")
            << "0.5" << plus << true << 60.0 << QStringList{"1.00", "0.5"};
        row("divided at -60 degrees")
            << "0.5" << minus << true << -60.0 << QStringList{"-1.00", "-0.5"};
        row("divided up to the bound")
            << "30" << plus << true << 60.0 << QStringList{"60.00", "30.0"};
        row("divided beyond the bound")
            << "30.1" << plus << true << 60.0 << QStringList{"", "30.1"};
        row("beyond 90 degrees: the sign pressed")
            << "0.5" << plus << true << 120.0 << QStringList{"1.00", "0.5"};
        row("1 s at 89.99 degrees") << "1" << plus << true << 89.99 << QStringList{"", "1.0"};
        row("not divided there") << "1" << plus << false << 89.99 << QStringList{"1.00", "1.0"};
        row("at the south pole") << "0.02" << plus << true << -90.0 << QStringList{"", "0.0"};
        row("unknown declination") << "0.5" << plus << true << qQNaN() << QStringList{"", "0.5"};
    }
    void steps()
    {
        QFETCH(QString, typed);
        QFETCH(Move, move);
        QFETCH(bool, divide);
        QFETCH(double, decDeg);
        QFETCH(QStringList, texts);
        QCOMPARE(ha_step_text(typed, move, divide, decDeg * 3600.0), texts[0]);
        QCOMPARE(dec_step_text(typed, move), texts[1]);
    }
    void pad_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("announced"); // dHA, dDec

        QTest::newRow("+HA") << "add_ha" << QStringList{"0.50", "0.0"};
        QTest::newRow("-HA") << "sub_ha" << QStringList{"-0.50", "0.0"};
        QTest::newRow("+Dec") << "add_dec" << QStringList{"0.0", "7.5"};
        QTest::newRow("-Dec") << "sub_dec" << QStringList{"0.0", "-7.5"};
        QTest::newRow("+HA +Dec") << "add_ha_dec" << QStringList{"0.50", "7.5"};
        QTest::newRow("-HA -Dec") << "sub_ha_dec" << QStringList{"-0.50", "-7.5"};
        QTest::newRow("+HA -Dec") << "add_ha_sub_dec" << QStringList{"0.50", "-7.5"};
        QTest::newRow("-HA +Dec") << "sub_ha_add_dec" << QStringList{"-0.50", "7.5"};
    }
    // Each button of the pad announces one correction with its own signs; the
    // hour-angle step is divided by the cosine of the main window's declination.
    void pad()
    {
        QFETCH(QString, button);
        Velto_corr corr;
        Velto_object telescope;
        QSignalSpy spy(&corr, &Velto_corr::correction);
        QPushButton &pad = child<QPushButton>(corr, qPrintable(button));
        pad.click();
        QCOMPARE(spy.count(), 0); // no main window yet

        corr.set_main_window(&telescope);
        child<QRadioButton>(corr, "dha_rb2").click();
        child<QRadioButton>(corr, "ddec_rb2").click();
        pad.click();
        child<QCheckBox>(corr, "div_ha").setChecked(true);
        telescope.dec_sec = 60 * 3600.0;
        pad.click();

        QCOMPARE(spy.count(), 2);
        QFETCH(QStringList, announced);
        QCOMPARE(spy.at(0), (QVariantList{announced[0], announced[1]}));
        const QString divided = QString(announced[0]).replace("0.50", "1.00");
        QCOMPARE(spy.at(1), (QVariantList{divided, announced[1]}));
    }
    // A press reaches the main window, which sends "AdCorr" to the TCS while it
    // tracks.
    void sentToTcs()
    {
        Velto_Obj_List window;
        MainWindowProbe probe(window);
        QTRY_VERIFY(probe.form().velto_user_cb->count() > 0);
        probe.pollTimer()->stop();
        QTRY_VERIFY(!probe.stateReplyPending());
        Velto_corr &corr = *probe.corrWindow();
        child<QLineEdit>(corr, "dha_val").setText("0.5");
        child<QLineEdit>(corr, "ddec_val").setText("7.5");
        probe.setStateText("Track");
        tcs.sim.clear_received();

        child<QPushButton>(corr, "add_ha_sub_dec").click();
        QTRY_COMPARE(
            tcs.sim.received_targets(),
            QList<QByteArray>{"/tcs/vtcs_send.cgi?User=guest&Pass=kelpo&dHA=0.50&dDec=-7.5&"
                              "Cmd=AdCorr"});
        QTRY_VERIFY(!probe.commandReplyPending());
    }

private:
    LocalTcs tcs;
};

QTEST_MAIN(TestCorr)
#include "tst_corr.moc"
