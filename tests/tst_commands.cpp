#include "coords/coord_text.h"
#include "corr_probe.h"
#include "log_capture.h"
#include "main_window_probe.h"
#include "modal_closer.h"
#include "sim/sim_clock.h"
#include "sim/tcs_sim_server.h"
#include "tcs/tcs_host.h"

#include <QMessageBox>
#include <QStatusBar>
#include <QtTest>
#include <cmath>
#include <functional>

namespace
{

const QByteArray send_script = "/tcs/vtcs_send.cgi";

// The command requests the simulator received, in order.
QList<QByteArray> command_targets(const TcsSimServer &sim)
{
    QList<QByteArray> targets;
    for (const QByteArray &target : sim.received_targets())
        if (target.startsWith(send_script))
            targets << target;
    return targets;
}

// Standard output without the simulator's own log line of each request.
QStringList answer_echo(const QStringList &out)
{
    QStringList lines;
    for (const QString &line : out)
        if (!line.startsWith(QLatin1String("GET /")))
            lines << line;
    return lines;
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void objectAndOffsetCommands_data();
    void objectAndOffsetCommands();
    void refusalsLeaveTheFormAlone();
    void emptyHostSendsNothing();
    void answerLines_data();
    void answerLines();
    void secondMessageRotates();
    void commandInFlightDropsTheNext();
    void transportError_data();
    void transportError();
    void finishWhileTheBoxIsOpen();
    void pad_data();
    void pad();
    void padPoleGuard_data();
    void padPoleGuard();
    void endToEnd();

private:
    void sendAndWait(const std::function<void()> &press);
    void sentinelPoll();

    TcsSimServer *sim = nullptr;
    Velto_Obj_List *window = nullptr;
};

void TestCommands::initTestCase()
{
    sim = new TcsSimServer(this);
    QVERIFY2(sim->start(), qPrintable(sim->error_text()));
    set_default_tcs_host(sim->host_text());
    sim->clock().set_speed(0);
}

// A fresh main window logged in as the guest, with polling off.
void TestCommands::init()
{
    sim->set_fault(SimScript::All, SimFault::None);
    sim->set_canned_body(SimScript::Command, std::nullopt);
    window = new Velto_Obj_List;
    // The users request is answered before anything else is tested.
    QTRY_VERIFY(MainWindowProbe(*window).form().velto_user_cb->count() > 0);
    sim->clear_received();
}

void TestCommands::cleanup()
{
    QTRY_VERIFY(!MainWindowProbe(*window).commandReplyPending());
    delete window;
    window = nullptr;
}

// A state request goes out after whatever the test did; once it arrived,
// a command issued before it would have arrived too.
void TestCommands::sentinelPoll()
{
    MainWindowProbe probe(*window);
    const int before = sim->received_targets().size();
    probe.form().velto_get_btn->click();
    QTRY_VERIFY(sim->received_targets().size() > before &&
                sim->received_targets().last().startsWith("/tcs/vtcs_get.cgi"));
    QTRY_VERIFY(!probe.stateReplyPending());
}

void TestCommands::sendAndWait(const std::function<void()> &press)
{
    press();
    QTRY_VERIFY(!MainWindowProbe(*window).commandReplyPending());
}

void TestCommands::objectAndOffsetCommands_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("passwd");
    QTest::addColumn<QStringList>("fields"); // object, RA, Dec, epoch, offHA, offDec
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("errorLine");
    QTest::addColumn<QByteArray>("target"); // empty: nothing sent

    const QStringList object = {"M 31", "00:42:44.3", "+41:16:09", "2000.0", "0.0", "0.0"};
    const auto with = [&object](int index, const QString &text) {
        QStringList fields = object;
        fields[index] = text;
        return fields;
    };
    const QByteArray login = "/tcs/vtcs_send.cgi?User=guest&Pass=kelpo";

    QTest::newRow("send with every item")
        << "velto_send_btn"
        << "kelpo" << object << ""
        << ""
        << login + "&RA=00:42:44.3&Dec=+41:16:09&Epoch=2000.0&Name=M%2031"
                   "&Mess=from%20Velto_Obj_List&Cmd=Send";
    QTest::newRow("slew with every item")
        << "velto_slew_btn"
        << "kelpo" << object << ""
        << ""
        << login + "&RA=00:42:44.3&Dec=+41:16:09&Epoch=2000.0&Name=M%2031"
                   "&Mess=from%20Velto_Obj_List&Cmd=Slew";
    QTest::newRow("empty password") << "velto_send_btn"
                                    << "" << object << "Empty Velto password!"
                                    << "Empty Velto password!" << QByteArray();
    QTest::newRow("stop with an empty password") << "velto_stop_btn"
                                                 << "" << object << "Empty Velto password!"
                                                 << "Empty Velto password!" << QByteArray();
    QTest::newRow("RA 12:30 refused") << "velto_send_btn"
                                      << "kelpo" << with(1, "12:30") << "Wrong or Empty R.A.!"
                                      << "Wrong or Empty R.A. <12:30>" << QByteArray();
    QTest::newRow("RA 12 30 00 refused") << "velto_slew_btn"
                                         << "kelpo" << with(1, "12 30 00") << "Wrong or Empty R.A.!"
                                         << "Wrong or Empty R.A. <12 30 00>" << QByteArray();
    QTest::newRow("RA 1:2:3 sent") << "velto_send_btn"
                                   << "kelpo" << with(1, "1:2:3") << ""
                                   << ""
                                   << login + "&RA=1:2:3&Dec=+41:16:09&Epoch=2000.0&Name=M%2031"
                                              "&Mess=from%20Velto_Obj_List&Cmd=Send";
    QTest::newRow("RA 12:30:00.0.5 sent")
        << "velto_send_btn"
        << "kelpo" << with(1, "12:30:00.0.5") << ""
        << ""
        << login + "&RA=12:30:00.0.5&Dec=+41:16:09&Epoch=2000.0&Name=M%2031"
                   "&Mess=from%20Velto_Obj_List&Cmd=Send";
    QTest::newRow("Dec 45:00 refused") << "velto_send_btn"
                                       << "kelpo" << with(2, "45:00") << "Wrong or Empty Decl."
                                       << "Wrong or Empty Decl. <45:00>" << QByteArray();
    QTest::newRow("Dec +-5:10:00 sent")
        << "velto_send_btn"
        << "kelpo" << with(2, "+-5:10:00") << ""
        << ""
        << login + "&RA=00:42:44.3&Dec=+-5:10:00&Epoch=2000.0&Name=M%2031"
                   "&Mess=from%20Velto_Obj_List&Cmd=Send";
    QTest::newRow("Dec -05:10:00 sent")
        << "velto_send_btn"
        << "kelpo" << with(2, "-05:10:00") << ""
        << ""
        << login + "&RA=00:42:44.3&Dec=-05:10:00&Epoch=2000.0&Name=M%2031"
                   "&Mess=from%20Velto_Obj_List&Cmd=Send";
    QTest::newRow("epoch 2000 sent")
        << "velto_send_btn"
        << "kelpo" << with(3, "2000") << ""
        << ""
        << login + "&RA=00:42:44.3&Dec=+41:16:09&Epoch=2000&Name=M%2031"
                   "&Mess=from%20Velto_Obj_List&Cmd=Send";
    QTest::newRow("epoch 1950.0 sent")
        << "velto_send_btn"
        << "kelpo" << with(3, "1950.0") << ""
        << ""
        << login + "&RA=00:42:44.3&Dec=+41:16:09&Epoch=1950.0&Name=M%2031"
                   "&Mess=from%20Velto_Obj_List&Cmd=Send";
    for (const char *epoch : {"2099.0", "1949.9", "J2000", "200", ""})
        QTest::addRow("epoch \"%s\" left out", epoch)
            << "velto_send_btn"
            << "kelpo" << with(3, epoch) << ""
            << ""
            << login + "&RA=00:42:44.3&Dec=+41:16:09&Name=M%2031"
                       "&Mess=from%20Velto_Obj_List&Cmd=Send";
    QTest::newRow("empty name left out")
        << "velto_send_btn"
        << "kelpo" << with(0, "") << ""
        << ""
        << login + "&RA=00:42:44.3&Dec=+41:16:09&Epoch=2000.0&Mess=from%20Velto_Obj_List&Cmd=Send";
    QTest::newRow("name with query characters encoded")
        << "velto_send_btn"
        << "kelpo" << with(0, "a&b=c+d") << ""
        << ""
        << login + "&RA=00:42:44.3&Dec=+41:16:09&Epoch=2000.0&Name=a%26b%3Dc+d"
                   "&Mess=from%20Velto_Obj_List&Cmd=Send";
    QStringList offsets = object;
    offsets[4] = "0.01";
    offsets[5] = "0";
    QTest::newRow("offsets 0.01 and 0 sent") << "velto_set_offset_btn"
                                             << "kelpo" << offsets << ""
                                             << "" << login + "&offHA=0.01&offDec=0&Cmd=Corr";
    offsets[4] = "0";
    offsets[5] = "0.1";
    QTest::newRow("offsets 0 and 0.1 sent") << "velto_set_offset_btn"
                                            << "kelpo" << offsets << ""
                                            << "" << login + "&offHA=0&offDec=0.1&Cmd=Corr";
    offsets[5] = "0.05";
    QTest::newRow("offsets 0 and 0.05 refused") << "velto_set_offset_btn"
                                                << "kelpo" << offsets << "Wrong or Empty Offsets"
                                                << "Wrong or Empty Offsets" << QByteArray();
    QTest::newRow("offsets 0.0 and 0.0 refused") << "velto_set_offset_btn"
                                                 << "kelpo" << object << "Wrong or Empty Offsets"
                                                 << "Wrong or Empty Offsets" << QByteArray();
    offsets[4] = "abc";
    offsets[5] = "1";
    QTest::newRow("offsets abc and 1 refused") << "velto_set_offset_btn"
                                               << "kelpo" << offsets << "Wrong or Empty Offsets"
                                               << "Wrong or Empty Offsets" << QByteArray();
    QTest::newRow("stop sent whatever the form holds") << "velto_stop_btn"
                                                       << "kelpo" << with(1, "") << ""
                                                       << "" << login + "&Cmd=Stop";
}

// The form slots are called as the buttons would call them: the buttons
// themselves are enabled only by an operator's state replies.
void TestCommands::objectAndOffsetCommands()
{
    QFETCH(QString, button);
    QFETCH(QString, passwd);
    QFETCH(QStringList, fields);
    QFETCH(QString, status);
    QFETCH(QString, errorLine);
    QFETCH(QByteArray, target);
    MainWindowProbe probe(*window);
    auto &f = probe.form();
    probe.setPasswd(passwd);
    f.velto_obj_edt->setText(fields[0]);
    f.velto_ra_edt->setText(fields[1]);
    f.velto_decl_edt->setText(fields[2]);
    f.velto_epoch_edt->setText(fields[3]);
    f.velto_offha_edt->setText(fields[4]);
    f.velto_offdec_edt->setText(fields[5]);
    window->statusBar()->clearMessage();

    LogCapture log;
    const QByteArray slot = "on_" + button.toLatin1() + "_clicked";
    QVERIFY(QMetaObject::invokeMethod(window, slot.constData()));

    if (target.isEmpty()) {
        QVERIFY(!probe.commandReplyPending());
        QCOMPARE(window->statusBar()->currentMessage(), status);
        QCOMPARE(log.err, QStringList{errorLine});
        sentinelPoll();
        QCOMPARE(command_targets(*sim), QList<QByteArray>());
    } else {
        QVERIFY(probe.commandReplyPending());
        QVERIFY(log.err.isEmpty());
        QTRY_COMPARE(command_targets(*sim), QList<QByteArray>{target});
    }
}

void TestCommands::refusalsLeaveTheFormAlone()
{
    MainWindowProbe probe(*window);
    auto &f = probe.form();
    f.velto_obj_edt->setText(" M  31 ");
    f.velto_ra_edt->setText("12 30 00");
    f.velto_epoch_edt->setText("J2000");
    f.velto_offha_edt->setText("abc");
    LogCapture log;
    QMetaObject::invokeMethod(window, "on_velto_send_btn_clicked");
    QMetaObject::invokeMethod(window, "on_velto_set_offset_btn_clicked");
    QCOMPARE(log.err, (QStringList{"Wrong or Empty R.A. <12 30 00>", "Wrong or Empty Offsets"}));
    QCOMPARE(f.velto_obj_edt->text(), " M  31 ");
    QCOMPARE(f.velto_ra_edt->text(), "12 30 00");
    QCOMPARE(f.velto_decl_edt->text(), "+00:00:00.0");
    QCOMPARE(f.velto_epoch_edt->text(), "J2000");
    QCOMPARE(f.velto_offha_edt->text(), "abc");
    QCOMPARE(f.velto_offdec_edt->text(), "0.0");
}

void TestCommands::emptyHostSendsNothing()
{
    MainWindowProbe probe(*window);
    probe.setHost(QString());
    probe.pollTimer()->start(60000);
    probe.setStateText("Track");
    LogCapture log;
    for (const char *slot : {"on_velto_send_btn_clicked", "on_velto_slew_btn_clicked",
                             "on_velto_stop_btn_clicked", "on_velto_set_offset_btn_clicked"})
        QVERIFY(QMetaObject::invokeMethod(window, slot));
    window->velto_send_corr("0.50", "0.0");
    QVERIFY(!probe.commandReplyPending());
    QVERIFY(log.err.isEmpty());
    QCOMPARE(probe.pollTimer()->interval(), 60000);
    probe.setHost(sim->host_text());
    sentinelPoll();
    QCOMPARE(command_targets(*sim), QList<QByteArray>());
}

void TestCommands::answerLines_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("okBefore");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("pending");
    QTest::addColumn<bool>("okAfter");
    QTest::addColumn<QStringList>("echo");

    QTest::newRow("message and a second message")
        << QByteArray("Object accepted\nSlewing in 5 s\n") << false << "Object accepted"
        << "Slewing in 5 s" << false << QStringList{"Object accepted", "Slewing in 5 s"};
    QTest::newRow("State=Ok sets the flag, nothing pending")
        << QByteArray("Object accepted\nState=Ok\n") << false << "Object accepted"
        << "" << true << QStringList{"Object accepted", "State=Ok"};
    QTest::newRow("State line trimmed") << QByteArray("Done\nState=Ok  \r\n") << false << "Done"
                                        << "" << true << QStringList{"Done", "State=Ok  "};
    QTest::newRow("a line with a blank before State is a message")
        << QByteArray("Done\n State=Ok\n") << false << "Done"
        << " State=Ok" << false << QStringList{"Done", " State=Ok"};
    QTest::newRow("State = Ok clears the flag")
        << QByteArray("Done\nState = Ok\n") << true << "Done"
        << "" << false << QStringList{"Done", "State = Ok"};
    QTest::newRow("State= Ok clears the flag") << QByteArray("Done\nState= Ok\n") << true << "Done"
                                               << "" << false << QStringList{"Done", "State= Ok"};
    QTest::newRow("other state clears the flag")
        << QByteArray("Refused\nState=Busy\n") << true << "Refused"
        << "" << false << QStringList{"Refused", "State=Busy"};
    QTest::newRow("the last State line decides")
        << QByteArray("Done\nState=Ok\nmore\nState=Err\n") << false << "Done"
        << "" << false << QStringList{"Done", "State=Ok", "more", "State=Err"};
    QTest::newRow("a later State line decides after a message")
        << QByteArray("Done\nTracking soon\nState=Ok\n") << false << "Done"
        << "Tracking soon" << true << QStringList{"Done", "Tracking soon", "State=Ok"};
    QTest::newRow("a State first line is only shown")
        << QByteArray("State=Ok\n") << false << "State=Ok"
        << "" << false << QStringList{"State=Ok"};
    QTest::newRow("one line without a newline") << QByteArray("Stopped") << true << "Stopped"
                                                << "" << true << QStringList{"Stopped"};
}

void TestCommands::answerLines()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, okBefore);
    QFETCH(QString, firstLine);
    QFETCH(QString, pending);
    QFETCH(bool, okAfter);
    QFETCH(QStringList, echo);
    MainWindowProbe probe(*window);
    sim->set_canned_body(SimScript::Command, answer);
    probe.setStateOk(okBefore);
    probe.setPendingMessage("an older message");

    LogCapture log;
    sendAndWait([this] { QMetaObject::invokeMethod(window, "on_velto_stop_btn_clicked"); });
    QCOMPARE(window->statusBar()->currentMessage(), firstLine);
    QCOMPARE(probe.pendingMessage(), pending);
    QCOMPARE(probe.stateOk(), okAfter);
    QCOMPARE(answer_echo(log.out), echo);
    QVERIFY(probe.statusTimer()->isActive());
    QCOMPARE(probe.statusTimer()->interval(), 5000);
}

// The first line stays 5 s, the second 3 s, then the bar is cleared. The
// rotation timer's slot is called as the timer would call it.
void TestCommands::secondMessageRotates()
{
    MainWindowProbe probe(*window);
    sim->set_canned_body(SimScript::Command, QByteArray("Object accepted\nSlewing in 5 s\n"));
    sendAndWait([this] { QMetaObject::invokeMethod(window, "on_velto_stop_btn_clicked"); });
    QCOMPARE(window->statusBar()->currentMessage(), "Object accepted");
    QCOMPARE(probe.statusTimer()->interval(), 5000);
    QMetaObject::invokeMethod(window, "velto_show_stat_msg");
    QCOMPARE(window->statusBar()->currentMessage(), "Slewing in 5 s");
    QVERIFY(probe.statusTimer()->isActive());
    QCOMPARE(probe.statusTimer()->interval(), 3000);
    QMetaObject::invokeMethod(window, "velto_show_stat_msg");
    QCOMPARE(window->statusBar()->currentMessage(), QString());

    sim->set_canned_body(SimScript::Command, QByteArray("Object accepted\nState=Ok\n"));
    sendAndWait([this] { QMetaObject::invokeMethod(window, "on_velto_stop_btn_clicked"); });
    QCOMPARE(window->statusBar()->currentMessage(), "Object accepted");
    QMetaObject::invokeMethod(window, "velto_show_stat_msg");
    QCOMPARE(window->statusBar()->currentMessage(), QString());

    sim->set_canned_body(SimScript::Command, QByteArray());
    window->statusBar()->showMessage("kept");
    probe.statusTimer()->stop();
    sendAndWait([this] { QMetaObject::invokeMethod(window, "on_velto_stop_btn_clicked"); });
    QCOMPARE(window->statusBar()->currentMessage(), "kept");
    QVERIFY(!probe.statusTimer()->isActive());
}

void TestCommands::commandInFlightDropsTheNext()
{
    MainWindowProbe probe(*window);
    sim->set_fault(SimScript::Command, SimFault::Delay, 1500);
    probe.pollTimer()->start(60000);
    probe.setStateText("Track");
    LogCapture log;
    QMetaObject::invokeMethod(window, "on_velto_send_btn_clicked");
    QTRY_COMPARE(command_targets(*sim).size(), 1);
    QVERIFY(probe.commandReplyPending());
    QCOMPARE(probe.pollTimer()->interval(), 1000);

    for (const char *slot : {"on_velto_stop_btn_clicked", "on_velto_slew_btn_clicked",
                             "on_velto_set_offset_btn_clicked"}) {
        probe.pollTimer()->start(60000);
        QMetaObject::invokeMethod(window, slot);
        QVERIFY(probe.pollTimer()->isActive());
        QCOMPARE(probe.pollTimer()->interval(), 1000);
    }
    probe.pollTimer()->start(60000);
    window->velto_send_corr("0.50", "0.0");
    QCOMPARE(probe.pollTimer()->interval(), 1000);
    QVERIFY(log.err.isEmpty());
    QCOMPARE(window->statusBar()->currentMessage(), QString());

    QTRY_VERIFY_WITH_TIMEOUT(!probe.commandReplyPending(), 10000);
    sentinelPoll();
    QCOMPARE(command_targets(*sim).size(), 1);
}

void TestCommands::transportError_data()
{
    QTest::addColumn<bool>("polling");
    QTest::newRow("while polling") << true;
    QTest::newRow("polling off") << false;
}

void TestCommands::transportError()
{
    QFETCH(bool, polling);
    MainWindowProbe probe(*window);
    probe.setPasswd("secret-word");
    probe.setStateOk(true);
    if (polling)
        probe.pollTimer()->start(10000);
    sim->set_fault(SimScript::Command, SimFault::ServerError);

    LogCapture log;
    bool timer_while_open = true;
    ModalCloser boxes([&] { timer_while_open = probe.pollTimer()->isActive(); });
    QMetaObject::invokeMethod(window, "on_velto_stop_btn_clicked");
    QTRY_COMPARE(boxes.closed(), 1);
    QTRY_VERIFY(!probe.commandReplyPending());

    QCOMPARE(boxes.titles(), QStringList{sim->host_text() + " HTTP error"});
    const QString text = boxes.texts().value(0);
    QVERIFY(!text.isEmpty());
    QVERIFY(!text.contains("secret-word"));
    QCOMPARE(log.err.size(), 1);
    QVERIFY(log.err[0].startsWith("Velto read error "));
    QVERIFY(log.err[0].endsWith(' ' + text));
    QCOMPARE(window->statusBar()->currentMessage(), text);
    QVERIFY(!probe.stateOk());
    QCOMPARE(probe.form().vtcs_connect_lab->text(), "Off");
    QCOMPARE(probe.form().velto_tcs_lab->text(), "Unknown");
    QCOMPARE(probe.form().velto_state_lab->text(), "Unknown");
    QCOMPARE(probe.form().velto_state_lab->palette().color(QPalette::Window), QColor("Lightgray"));
    QVERIFY(!timer_while_open);
    QCOMPARE(probe.pollTimer()->isActive(), polling);
    if (polling)
        QCOMPARE(probe.pollTimer()->interval(), 60000);

    // Released once: the next command goes out and is answered.
    sim->set_fault(SimScript::Command, SimFault::None);
    sim->set_canned_body(SimScript::Command, QByteArray("Stopped\nState=Ok\n"));
    sendAndWait([this] { QMetaObject::invokeMethod(window, "on_velto_stop_btn_clicked"); });
    QCOMPARE(window->statusBar()->currentMessage(), "Stopped");
    QCOMPARE(command_targets(*sim).size(), 2);
}

// The completion of the failed reply runs while the box is open, and a new
// command is sent meanwhile: the error handler must not release it.
void TestCommands::finishWhileTheBoxIsOpen()
{
    MainWindowProbe probe(*window);
    sim->set_fault(SimScript::Command, SimFault::ServerError);
    bool released_in_box = false;
    ModalCloser boxes([&] {
        if (QNetworkReply *failed = probe.commandReply())
            emit failed->finished();
        released_in_box = !probe.commandReplyPending();
        sim->set_fault(SimScript::Command, SimFault::Delay, 300);
        sim->set_canned_body(SimScript::Command, QByteArray("Second command\n"));
        QMetaObject::invokeMethod(window, "on_velto_stop_btn_clicked");
    });
    QMetaObject::invokeMethod(window, "on_velto_stop_btn_clicked");
    QTRY_COMPARE(boxes.closed(), 1);
    QVERIFY(released_in_box);
    QVERIFY(probe.commandReplyPending());
    QTRY_COMPARE(window->statusBar()->currentMessage(), "Second command");
    QCOMPARE(command_targets(*sim).size(), 2);
}

void TestCommands::pad_data()
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
    QTest::newRow("/cos(Dec) before any state reply")
        << "dha_rb2"
        << "add_ha" << true << 0.0 << QByteArray("dHA=0.50&dDec=0.0");
    QTest::newRow("/cos(Dec) leaves the declination step alone")
        << "dha_rb2"
        << "add_ha_dec" << true << 60.0 << QByteArray("dHA=1.00&dDec=0.3");
}

// Presses a pad button of the corrections window while the telescope tracks.
void TestCommands::pad()
{
    QFETCH(QString, setup);
    QFETCH(QString, button);
    QFETCH(bool, divide);
    QFETCH(double, decDeg);
    QFETCH(QByteArray, steps);
    MainWindowProbe probe(*window);
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
        QCOMPARE(window->statusBar()->currentMessage(), "Wrong or Empty Corrections");
        QCOMPARE(log.err, QStringList{"Wrong or Empty Corrections"});
        sentinelPoll();
        QCOMPARE(command_targets(*sim), QList<QByteArray>());
    } else {
        QTRY_COMPARE(
            command_targets(*sim),
            QList<QByteArray>{send_script + "?User=guest&Pass=kelpo&" + steps + "&Cmd=AdCorr"});
    }
}

void TestCommands::padPoleGuard_data()
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
void TestCommands::padPoleGuard()
{
    QFETCH(double, decDeg);
    QFETCH(QString, step);
    MainWindowProbe probe(*window);
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
    QCOMPARE(window->statusBar()->currentMessage(), "Wrong or Empty Corrections");

    // The declination alone still moves.
    f.add_dec->click();
    QTRY_COMPARE(
        command_targets(*sim),
        QList<QByteArray>{send_script + "?User=guest&Pass=kelpo&dHA=0.0&dDec=3.0&Cmd=AdCorr"});
}

// An operator sends an object, slews, watches the slew end in tracking, sets
// offsets and reads them back, nudges the telescope and stops it.
void TestCommands::endToEnd()
{
    MainWindowProbe probe(*window);
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
    const double lst = site_sidereal_seconds(sim->clock().seconds());
    const QString ra = sec_to_ra(std::fmod(lst - 1800.0 + 86400.0, 86400.0));
    f.velto_obj_edt->setText("Test star");
    f.velto_ra_edt->setText(ra);
    f.velto_decl_edt->setText("+45:00:00.0");
    f.velto_epoch_edt->setText("2000.0");

    sendAndWait([&] { f.velto_send_btn->click(); });
    QCOMPARE(probe.pollTimer()->interval(), 1000);
    sendAndWait([&] { f.velto_slew_btn->click(); });
    f.velto_get_btn->click();
    QTRY_COMPARE(f.velto_state_lab->text().left(4), "Slew");
    sim->clock().advance(120);
    f.velto_get_btn->click();
    QTRY_COMPARE(f.velto_state_lab->text().left(5), "Track");
    QTRY_VERIFY(f.velto_set_offset_btn->isEnabled());

    f.velto_offha_edt->setText("1.50");
    f.velto_offdec_edt->setText("-20.0");
    sendAndWait([&] { f.velto_set_offset_btn->click(); });
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
    sendAndWait([&] { c.add_ha_sub_dec->click(); });
    f.velto_get_btn->click();
    QTRY_COMPARE(f.velto_offha_edt->text(), "2.00");
    QCOMPARE(f.velto_offdec_edt->text(), "-27.5");

    sendAndWait([&] { f.velto_stop_btn->click(); });
    f.velto_get_btn->click();
    QTRY_COMPARE(f.velto_state_lab->text().left(4), "Stop");

    const QList<QByteArray> commands = command_targets(*sim);
    QCOMPARE(commands.size(), 5);
    const QByteArray object = "?User=oper&Pass=dome3&RA=" + ra.toLatin1() +
                              "&Dec=+45:00:00.0&Epoch=2000.0&Name=Test%20star"
                              "&Mess=from%20Velto_Obj_List&Cmd=";
    QCOMPARE(commands[0], send_script + object + "Send");
    QCOMPARE(commands[1], send_script + object + "Slew");
    QCOMPARE(commands[2], send_script + "?User=oper&Pass=dome3&offHA=1.50&offDec=-20.0&Cmd=Corr");
    QCOMPARE(commands[3], send_script + "?User=oper&Pass=dome3&dHA=0.50&dDec=-7.5&Cmd=AdCorr");
    QCOMPARE(commands[4], send_script + "?User=oper&Pass=dome3&Cmd=Stop");
    probe.pollTimer()->stop();
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
