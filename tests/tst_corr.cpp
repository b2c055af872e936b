#include "corr/corr_step.h"
#include "corr/velto_corr.h"
#include "local_tcs.h"
#include "main_window_probe.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

template <typename Widget> Widget &child(QObject &parent, const char *name)
{
    return *parent.findChild<Widget *>(QLatin1String(name));
}

// The corrections window: the step texts it computes and what reaches the TCS.
class TestCorr : public QObject
{
    Q_OBJECT

private slots:
    // Typed text, move (+, - or 0), divided (/ or ,), the telescope's declination in degrees: the
    // dHA and dDec texts, both read from the same typed text; an empty text is a refused step.
    void steps_data()
    {
        QTest::addColumn<QString>("step");
        QTest::newRow("plus") << "0.5 + , 0: 0.50 0.5";
        QTest::newRow("minus, typed sign ignored") << "-0.5 - , 0: -0.50 -0.5";
        QTest::newRow("axis not moving") << "1e300 0 / 90: 0.0 0.0";
        QTest::newRow("no number at all") << "abc + , 0: 0.00 0.0";
        QTest::newRow("60 and 60 sent") << "60 + , 0: 60.00 60.0";
        QTest::newRow("61 s refused") << "61 - , 0:  -61.0";
        QTest::newRow("900\" sent") << "900 - , 0:  -900.0";
        QTest::newRow("901\" refused") << "901 + , 0:  ";
        QTest::newRow("inf refused") << "inf + , 0:  ";
        QTest::newRow("divided at -60 degrees") << "0.5 - / -60: -1.00 -0.5";
        QTest::newRow("divided up to the bound") << "30 + / 60: 60.00 30.0";
        QTest::newRow("divided beyond the bound") << "30.1 + / 60:  30.1";
        QTest::newRow("beyond 90 degrees: the sign pressed") << "0.5 + / 120: 1.00 0.5";
        QTest::newRow("1 s at 89.99 degrees") << "1 + / 89.99:  1.0";
        QTest::newRow("not divided there") << "1 + , 89.99: 1.00 1.0";
        QTest::newRow("at the south pole") << "0.02 + / -90:  0.0";
        QTest::newRow("unknown declination") << "0.5 + / nan:  0.5";
    }
    void steps()
    {
        QFETCH(QString, step);
        const QStringList f = step.section(':', 0, 0).split(' ');
        const Move move = f[1] == "+" ? Move::Plus : f[1] == "-" ? Move::Minus : Move::None;
        const double dec = f[3].toDouble() * 3600.0;
        QCOMPARE(ha_step_text(f[0], move, f[2] == "/", dec) + ' ' + dec_step_text(f[0], move),
                 step.section(": ", 1));
    }
    // Each button of the pad announces one correction with its own signs; the hour-angle step is
    // divided by the cosine of the main window's declination. The second presets: 0.5 s and 7.5";
    // the six of each row name the same angle pairwise; a slider step is 0.01 s or 0.1".
    void padAndPresets()
    {
        Velto_corr corr;
        Velto_object telescope;
        QSignalSpy spy(&corr, &Velto_corr::correction);
        child<QRadioButton>(corr, "dha_rb2").click();
        child<QRadioButton>(corr, "ddec_rb2").click();
        const QStringList buttons{"add_ha",     "sub_ha",     "add_dec",        "sub_dec",
                                  "add_ha_dec", "sub_ha_dec", "add_ha_sub_dec", "sub_ha_add_dec"};
        const auto press_all = [&] {
            for (const QString &button : buttons)
                child<QPushButton>(corr, qPrintable(button)).click();
        };
        press_all(); // no main window yet
        QCOMPARE(spy.count(), 0);
        corr.set_main_window(&telescope);
        telescope.dec_sec = 60 * 3600.0; // divided only when ticked
        press_all();
        child<QCheckBox>(corr, "div_ha").setChecked(true);
        press_all();
        QStringList announced;
        for (const QVariantList &signal : spy)
            announced << signal[0].toString() + ' ' + signal[1].toString();
        QCOMPARE(announced.join(','), "0.50 0.0,-0.50 0.0,0.0 7.5,0.0 -7.5,0.50 7.5,-0.50 -7.5,"
                                      "0.50 -7.5,-0.50 7.5,1.00 0.0,-1.00 0.0,0.0 7.5,0.0 -7.5,"
                                      "1.00 7.5,-1.00 -7.5,1.00 -7.5,-1.00 7.5");
        QStringList shown;
        const auto values = [&] {
            shown << child<QLineEdit>(corr, "dha_val").text() + ' ' +
                         child<QLineEdit>(corr, "ddec_val").text();
        };
        for (int row = 1; row <= 6; ++row) {
            for (const char *axis : {"dha_rb", "ddec_rb"})
                child<QRadioButton>(corr, qPrintable(axis + QString::number(row))).click();
            values();
        }
        child<QSlider>(corr, "dha_slide").setValue(397);
        child<QSlider>(corr, "ddec_slide").setValue(7);
        values();
        QCOMPARE(shown.join(','), "1.0 15.0,0.5 7.5,0.2 3.0,0.08 1.2,0.04 0.6,0.02 0.3,3.97 0.7");
    }
    // A press reaches the main window, which sends "AdCorr" to the TCS while it tracks.
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
        const QByteArray sent =
            "/tcs/vtcs_send.cgi?User=guest&Pass=kelpo&dHA=0.50&dDec=-7.5&Cmd=AdCorr";
        QTRY_COMPARE(tcs.sim.received_targets(), QList{sent});
        QTRY_VERIFY(!probe.commandReplyPending());
    }

private:
    LocalTcs tcs;
};

QTEST_MAIN(TestCorr)
#include "tst_corr.moc"
