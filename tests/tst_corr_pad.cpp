#include "command_session.h"
#include "coords/coord_text.h"
#include "corr_probe.h"
#include "log_capture.h"
#include "sim/sim_clock.h"

#include <QStatusBar>
#include <QtTest>
#include <cmath>

// The corrections pad and an operator's session against the TCS simulator.
class TestCorrPad : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(session.start(), qPrintable(session.sim.error_text())); }
    void init() { session.open_window(); }
    void cleanup() { session.close_window(); }
    void pad_data();
    void pad();
    void padPoleGuard_data();
    void padPoleGuard();
    void endToEnd();

private:
    CommandSession session;
};

void TestCorrPad::pad_data()
{
    QTest::addColumn<QString>("setup"); // radio button, or "dha_val=..." / "ddec_val=..."
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("divide");
    QTest::addColumn<double>("decDeg");
    QTest::addColumn<QByteArray>("steps"); // "dHA=..&dDec=.." or empty: refused

    QTest::newRow("+HA with 0.5 s") << "dha_rb2"
                                    << "add_ha" << false << 0.0 << QByteArray("dHA=0.50&dDec=0.0");
    QTest::newRow("-HA with 0.5 s") << "dha_rb2"
                                    << "sub_ha" << false << 0.0 << QByteArray("dHA=-0.50&dDec=0.0");
    QTest::newRow("+Dec with 15\"") << "ddec_rb1"
                                    << "add_dec" << false << 0.0 << QByteArray("dHA=0.0&dDec=15.0");
    QTest::newRow("-Dec with 7.5\"")
        << "ddec_rb2"
        << "sub_dec" << false << 0.0 << QByteArray("dHA=0.0&dDec=-7.5");
    QTest::newRow("+HA +Dec with 1 s")
        << "dha_rb1"
        << "add_ha_dec" << false << 0.0 << QByteArray("dHA=1.00&dDec=0.3");
    QTest::newRow("-HA -Dec with 0.2 s")
        << "dha_rb3"
        << "sub_ha_dec" << false << 0.0 << QByteArray("dHA=-0.20&dDec=-0.3");
    QTest::newRow("+HA -Dec with 3\"")
        << "ddec_rb3"
        << "add_ha_sub_dec" << false << 0.0 << QByteArray("dHA=0.02&dDec=-3.0");
    QTest::newRow("-HA +Dec with 0.04 s")
        << "dha_rb5"
        << "sub_ha_add_dec" << false << 0.0 << QByteArray("dHA=-0.04&dDec=0.3");
    QTest::newRow("+HA with 0.08 s") << "dha_rb4"
                                     << "add_ha" << false << 0.0 << QByteArray("dHA=0.08&dDec=0.0");
    QTest::newRow("+Dec with 1.2\"") << "ddec_rb4"
                                     << "add_dec" << false << 0.0 << QByteArray("dHA=0.0&dDec=1.2");
    QTest::newRow("+Dec with 0.6\"") << "ddec_rb5"
                                     << "add_dec" << false << 0.0 << QByteArray("dHA=0.0&dDec=0.6");
    QTest::newRow("+HA with 0.02 s") << "dha_rb6"
                                     << "add_ha" << false << 0.0 << QByteArray("dHA=0.02&dDec=0.0");
    QTest::newRow("-Dec with 0.3\"")
        << "ddec_rb6"
        << "sub_dec" << false << 0.0 << QByteArray("dHA=0.0&dDec=-0.3");
    QTest::newRow("hour-angle slider at its right end")
        << "dha_slide=400"
        << "add_ha" << false << 0.0 << QByteArray("dHA=4.00&dDec=0.0");
    QTest::newRow("hour-angle slider at its left end")
        << "dha_slide=1"
        << "sub_ha" << false << 0.0 << QByteArray("dHA=-0.01&dDec=0.0");
    QTest::newRow("declination slider at its right end")
        << "ddec_slide=600"
        << "add_dec" << false << 0.0 << QByteArray("dHA=0.0&dDec=60.0");
    QTest::newRow("declination slider at its left end")
        << "ddec_slide=1"
        << "sub_dec" << false << 0.0 << QByteArray("dHA=0.0&dDec=-0.1");
    QTest::newRow("typed negative value")
        << "dha_val=-0.5"
        << "add_ha" << false << 0.0 << QByteArray("dHA=0.50&dDec=0.0");
    QTest::newRow("unreadable value refused") << "dha_val=abc"
                                              << "add_ha" << false << 0.0 << QByteArray();
    QTest::newRow("unreadable value with a declination step")
        << "dha_val=abc"
        << "add_ha_dec" << false << 0.0 << QByteArray("dHA=0.00&dDec=0.3");
    QTest::newRow("0.004 s step refused") << "dha_val=0.004"
                                          << "add_ha" << false << 0.0 << QByteArray();
    QTest::newRow("/cos(Dec) at +60 degrees")
        << "dha_rb2"
        << "add_ha" << true << 60.0 << QByteArray("dHA=1.00&dDec=0.0");
    QTest::newRow("/cos(Dec) at -60 degrees")
        << "dha_rb2"
        << "sub_ha" << true << -60.0 << QByteArray("dHA=-1.00&dDec=0.0");
    QTest::newRow("unticked at +60 degrees")
        << "dha_rb2"
        << "add_ha" << false << 60.0 << QByteArray("dHA=0.50&dDec=0.0");
    QTest::newRow("/cos(Dec) before any state reply")
        << "dha_rb2"
        << "add_ha" << true << 0.0 << QByteArray("dHA=0.50&dDec=0.0");
    QTest::newRow("/cos(Dec) leaves the declination step alone")
        << "dha_rb2"
        << "add_ha_dec" << true << 60.0 << QByteArray("dHA=1.00&dDec=0.3");
}

// Presses a pad button of the corrections window while the telescope tracks.
void TestCorrPad::pad()
{
    QFETCH(QString, setup);
    QFETCH(QString, button);
    QFETCH(bool, divide);
    QFETCH(double, decDeg);
    QFETCH(QByteArray, steps);
    MainWindowProbe probe = session.probe();
    Velto_corr &corr = *probe.corrWindow();
    auto &f = CorrProbe(corr).form();
    f.dha_val->setText("0.02");
    f.ddec_val->setText("0.3");
    f.div_ha->setChecked(divide);
    probe.setStateText("Track");
    probe.own().dec_sec = decDeg * 3600.0;
    const QStringList assignment = setup.split('=');
    if (assignment.size() == 1)
        corr.findChild<QAbstractButton *>(setup)->click();
    else if (auto *slider = corr.findChild<QSlider *>(assignment[0])) {
        slider->setValue(assignment[1] == "1" ? 2 : 1);
        slider->setValue(assignment[1].toInt());
    } else
        corr.findChild<QLineEdit *>(assignment[0])->setText(assignment[1]);

    LogCapture log;
    corr.findChild<QPushButton *>(button)->click();
    if (steps.isEmpty()) {
        QVERIFY(!probe.commandReplyPending());
        QCOMPARE(session.window->statusBar()->currentMessage(), "Wrong or Empty Corrections");
        QCOMPARE(log.err, QStringList{"Wrong or Empty Corrections"});
        session.sentinel_poll();
        QCOMPARE(session.command_targets(), QList<QByteArray>());
    } else {
        QTRY_COMPARE(session.command_targets(),
                     QList<QByteArray>{CommandSession::send_script + "?User=guest&Pass=kelpo&" +
                                       steps + "&Cmd=AdCorr"});
    }
}

void TestCorrPad::padPoleGuard_data()
{
    QTest::addColumn<double>("decDeg");
    QTest::addColumn<QString>("step");
    QTest::newRow("at the pole") << 90.0 << "0.02";
    QTest::newRow("at the south pole") << -90.0 << "0.02";
    QTest::newRow("1 s at 89.99 degrees") << 89.99 << "1.0";
    QTest::newRow("unknown declination") << qQNaN() << "0.5";
}

// Near the pole the divided step is refused with a declination step too:
// nothing huge or infinite reaches the telescope.
void TestCorrPad::padPoleGuard()
{
    QFETCH(double, decDeg);
    QFETCH(QString, step);
    MainWindowProbe probe = session.probe();
    Velto_corr &corr = *probe.corrWindow();
    auto &f = CorrProbe(corr).form();
    f.dha_val->setText(step);
    f.ddec_val->setText("3.0");
    f.div_ha->setChecked(true);
    probe.setStateText("Track");
    probe.own().dec_sec = decDeg * 3600.0;

    LogCapture log;
    for (QPushButton *pad : {f.add_ha, f.sub_ha_dec, f.add_ha_sub_dec})
        pad->click();
    QCOMPARE(log.err, QStringList(3, "Wrong or Empty Corrections"));
    QCOMPARE(session.window->statusBar()->currentMessage(), "Wrong or Empty Corrections");

    // The declination alone still moves.
    f.add_dec->click();
    QTRY_COMPARE(session.command_targets(),
                 QList<QByteArray>{CommandSession::send_script +
                                   "?User=guest&Pass=kelpo&dHA=0.0&dDec=3.0&Cmd=AdCorr"});
}

// An operator sends an object, slews, watches the slew end in tracking, sets
// offsets and reads them back, nudges the telescope and stops it.
void TestCorrPad::endToEnd()
{
    MainWindowProbe probe = session.probe();
    auto &f = probe.form();
    const int oper = f.velto_user_cb->findText("oper", Qt::MatchStartsWith);
    QVERIFY(oper >= 0);
    f.velto_user_cb->setCurrentIndex(oper);
    f.velto_passwd_edt->setText("dome3");
    f.velto_passwd_set_btn->click();
    QVERIFY(probe.pollTimer()->isActive());

    // The operator's first state reply enables the command buttons (and
    // fills the form with the TCS's object, which the observer replaces).
    f.velto_get_btn->click();
    QTRY_VERIFY(f.velto_slew_btn->isEnabled());
    QTRY_VERIFY(!probe.stateReplyPending());

    // An object half an hour west of the meridian, high in the sky.
    const double lst = site_sidereal_seconds(session.sim.clock().seconds());
    const QString ra = sec_to_ra(std::fmod(lst - 1800.0 + 86400.0, 86400.0));
    f.velto_obj_edt->setText("Test star");
    f.velto_ra_edt->setText(ra);
    f.velto_decl_edt->setText("+45:00:00.0");
    f.velto_epoch_edt->setText("2000.0");

    session.send_and_wait([&] { f.velto_send_btn->click(); });
    QCOMPARE(probe.pollTimer()->interval(), 1000);
    session.send_and_wait([&] { f.velto_slew_btn->click(); });
    f.velto_get_btn->click();
    QTRY_COMPARE(f.velto_state_lab->text().left(4), "Slew");
    session.sim.clock().advance(120);
    f.velto_get_btn->click();
    QTRY_COMPARE(f.velto_state_lab->text().left(5), "Track");
    QTRY_VERIFY(f.velto_set_offset_btn->isEnabled());

    f.velto_offha_edt->setText("1.50");
    f.velto_offdec_edt->setText("-20.0");
    session.send_and_wait([&] { f.velto_set_offset_btn->click(); });
    f.velto_offha_edt->setText("0.0");
    f.velto_offdec_edt->setText("0.0");
    f.velto_get_offset_btn->click();
    QTRY_COMPARE(f.velto_offha_edt->text(), "1.50");
    QCOMPARE(f.velto_offdec_edt->text(), "-20.0");

    // A nudge while tracking; the next state reply shows the new offsets.
    Velto_corr &corr = *probe.corrWindow();
    auto &c = CorrProbe(corr).form();
    c.dha_rb2->click();
    c.ddec_rb2->click();
    session.send_and_wait([&] { c.add_ha_sub_dec->click(); });
    f.velto_get_btn->click();
    QTRY_COMPARE(f.velto_offha_edt->text(), "2.00");
    QCOMPARE(f.velto_offdec_edt->text(), "-27.5");

    session.send_and_wait([&] { f.velto_stop_btn->click(); });
    f.velto_get_btn->click();
    QTRY_COMPARE(f.velto_state_lab->text().left(4), "Stop");

    const QList<QByteArray> commands = session.command_targets();
    QCOMPARE(commands.size(), 5);
    const QByteArray object = "?User=oper&Pass=dome3&RA=" + ra.toLatin1() +
                              "&Dec=+45:00:00.0&Epoch=2000.0&Name=Test%20star"
                              "&Mess=from%20Velto_Obj_List&Cmd=";
    QCOMPARE(commands[0], CommandSession::send_script + object + "Send");
    QCOMPARE(commands[1], CommandSession::send_script + object + "Slew");
    QCOMPARE(commands[2], CommandSession::send_script +
                              "?User=oper&Pass=dome3&offHA=1.50&offDec=-20.0&Cmd=Corr");
    QCOMPARE(commands[3],
             CommandSession::send_script + "?User=oper&Pass=dome3&dHA=0.50&dDec=-7.5&Cmd=AdCorr");
    QCOMPARE(commands[4], CommandSession::send_script + "?User=oper&Pass=dome3&Cmd=Stop");
    probe.pollTimer()->stop();
}

QTEST_MAIN(TestCorrPad)
#include "tst_corr_pad.moc"
