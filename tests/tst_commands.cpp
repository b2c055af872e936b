#include "command_session.h"
#include "log_capture.h"
#include "modal_closer.h"

#include <QStatusBar>
#include <QtTest>

// The telescope commands of the main window against the TCS simulator.
class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(session.start(), qPrintable(session.sim.error_text())); }
    void init() { session.open_window(); }
    void cleanup() { session.close_window(); }
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

private:
    CommandSession session;
};

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
    MainWindowProbe probe = session.probe();
    auto &f = probe.form();
    probe.setPasswd(passwd);
    f.velto_obj_edt->setText(fields[0]);
    f.velto_ra_edt->setText(fields[1]);
    f.velto_decl_edt->setText(fields[2]);
    f.velto_epoch_edt->setText(fields[3]);
    f.velto_offha_edt->setText(fields[4]);
    f.velto_offdec_edt->setText(fields[5]);
    session.window->statusBar()->clearMessage();

    LogCapture log;
    const QByteArray slot = "on_" + button.toLatin1() + "_clicked";
    session.call(slot.constData());

    if (target.isEmpty()) {
        QVERIFY(!probe.commandReplyPending());
        QCOMPARE(session.window->statusBar()->currentMessage(), status);
        QCOMPARE(log.err, QStringList{errorLine});
        session.sentinel_poll();
        QCOMPARE(session.command_targets(), QList<QByteArray>());
    } else {
        QVERIFY(probe.commandReplyPending());
        QVERIFY(log.err.isEmpty());
        QTRY_COMPARE(session.command_targets(), QList<QByteArray>{target});
    }
}

void TestCommands::refusalsLeaveTheFormAlone()
{
    MainWindowProbe probe = session.probe();
    auto &f = probe.form();
    f.velto_obj_edt->setText(" M  31 ");
    f.velto_ra_edt->setText("12 30 00");
    f.velto_epoch_edt->setText("J2000");
    f.velto_offha_edt->setText("abc");
    LogCapture log;
    session.call("on_velto_send_btn_clicked");
    session.call("on_velto_set_offset_btn_clicked");
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
    MainWindowProbe probe = session.probe();
    probe.setHost(QString());
    probe.pollTimer()->start(60000);
    probe.setStateText("Track");
    LogCapture log;
    for (const char *slot : {"on_velto_send_btn_clicked", "on_velto_slew_btn_clicked",
                             "on_velto_stop_btn_clicked", "on_velto_set_offset_btn_clicked"})
        session.call(slot);
    session.window->velto_send_corr("0.50", "0.0");
    QVERIFY(!probe.commandReplyPending());
    QVERIFY(log.err.isEmpty());
    QCOMPARE(probe.pollTimer()->interval(), 60000);
    probe.setHost(session.sim.host_text());
    session.sentinel_poll();
    QCOMPARE(session.command_targets(), QList<QByteArray>());
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
    MainWindowProbe probe = session.probe();
    session.sim.set_canned_body(SimScript::Command, answer);
    probe.setStateOk(okBefore);
    probe.setPendingMessage("an older message");

    LogCapture log;
    session.send_and_wait([this] { session.call("on_velto_stop_btn_clicked"); });
    QCOMPARE(session.window->statusBar()->currentMessage(), firstLine);
    QCOMPARE(probe.pendingMessage(), pending);
    QCOMPARE(probe.stateOk(), okAfter);
    QCOMPARE(log.out, echo);
    QVERIFY(probe.statusTimer()->isActive());
    QCOMPARE(probe.statusTimer()->interval(), 5000);
}

// The first line stays 5 s, the second 3 s, then the bar is cleared. The
// rotation timer's slot is called as the timer would call it.
void TestCommands::secondMessageRotates()
{
    MainWindowProbe probe = session.probe();
    session.sim.set_canned_body(SimScript::Command,
                                QByteArray("Object accepted\nSlewing in 5 s\n"));
    session.send_and_wait([this] { session.call("on_velto_stop_btn_clicked"); });
    QCOMPARE(session.window->statusBar()->currentMessage(), "Object accepted");
    QCOMPARE(probe.statusTimer()->interval(), 5000);
    session.call("velto_show_stat_msg");
    QCOMPARE(session.window->statusBar()->currentMessage(), "Slewing in 5 s");
    QVERIFY(probe.statusTimer()->isActive());
    QCOMPARE(probe.statusTimer()->interval(), 3000);
    session.call("velto_show_stat_msg");
    QCOMPARE(session.window->statusBar()->currentMessage(), QString());

    session.sim.set_canned_body(SimScript::Command, QByteArray("Object accepted\nState=Ok\n"));
    session.send_and_wait([this] { session.call("on_velto_stop_btn_clicked"); });
    QCOMPARE(session.window->statusBar()->currentMessage(), "Object accepted");
    session.call("velto_show_stat_msg");
    QCOMPARE(session.window->statusBar()->currentMessage(), QString());

    session.sim.set_canned_body(SimScript::Command, QByteArray());
    session.window->statusBar()->showMessage("kept");
    probe.statusTimer()->stop();
    session.send_and_wait([this] { session.call("on_velto_stop_btn_clicked"); });
    QCOMPARE(session.window->statusBar()->currentMessage(), "kept");
    QVERIFY(!probe.statusTimer()->isActive());
}

void TestCommands::commandInFlightDropsTheNext()
{
    MainWindowProbe probe = session.probe();
    session.sim.set_fault(SimScript::Command, SimFault::Delay, 1500);
    probe.pollTimer()->start(60000);
    probe.setStateText("Track");
    LogCapture log;
    session.call("on_velto_send_btn_clicked");
    QTRY_COMPARE(session.command_targets().size(), 1);
    QVERIFY(probe.commandReplyPending());
    QCOMPARE(probe.pollTimer()->interval(), 1000);

    for (const char *slot : {"on_velto_stop_btn_clicked", "on_velto_slew_btn_clicked",
                             "on_velto_set_offset_btn_clicked"}) {
        probe.pollTimer()->start(60000);
        session.call(slot);
        QVERIFY(probe.pollTimer()->isActive());
        QCOMPARE(probe.pollTimer()->interval(), 1000);
    }
    probe.pollTimer()->start(60000);
    session.window->velto_send_corr("0.50", "0.0");
    QCOMPARE(probe.pollTimer()->interval(), 1000);
    QVERIFY(log.err.isEmpty());
    QCOMPARE(session.window->statusBar()->currentMessage(), QString());

    QTRY_VERIFY_WITH_TIMEOUT(!probe.commandReplyPending(), 10000);
    session.sentinel_poll();
    QCOMPARE(session.command_targets().size(), 1);
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
    MainWindowProbe probe = session.probe();
    probe.setPasswd("secret-word");
    probe.setStateOk(true);
    if (polling)
        probe.pollTimer()->start(10000);
    session.sim.set_fault(SimScript::Command, SimFault::ServerError);

    LogCapture log;
    bool timer_while_open = true;
    ModalCloser boxes([&] { timer_while_open = probe.pollTimer()->isActive(); });
    session.call("on_velto_stop_btn_clicked");
    QTRY_COMPARE(boxes.closed(), 1);
    QTRY_VERIFY(!probe.commandReplyPending());

    QCOMPARE(boxes.titles(), QStringList{session.sim.host_text() + " HTTP error"});
    const QString text = boxes.texts().value(0);
    QVERIFY(!text.isEmpty());
    // Qt's text quotes the request's URL; its password is hidden.
    QVERIFY(text.contains("/tcs/vtcs_send.cgi?User=guest&Pass="));
    QVERIFY(!text.contains("secret-word"));
    QCOMPARE(log.err.size(), 1);
    QVERIFY(log.err[0].startsWith("Velto read error "));
    QVERIFY(log.err[0].endsWith(' ' + text));
    QCOMPARE(session.window->statusBar()->currentMessage(), text);
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
    session.sim.set_fault(SimScript::Command, SimFault::None);
    session.sim.set_canned_body(SimScript::Command, QByteArray("Stopped\nState=Ok\n"));
    session.send_and_wait([this] { session.call("on_velto_stop_btn_clicked"); });
    QCOMPARE(session.window->statusBar()->currentMessage(), "Stopped");
    QCOMPARE(session.command_targets().size(), 2);
}

// The completion of the failed reply runs while the box is open, and a new
// command is sent meanwhile: the error handler must not release it.
void TestCommands::finishWhileTheBoxIsOpen()
{
    MainWindowProbe probe = session.probe();
    session.sim.set_fault(SimScript::Command, SimFault::ServerError);
    bool released_in_box = false;
    ModalCloser boxes([&] {
        if (QNetworkReply *failed = probe.commandReply())
            emit failed->finished();
        released_in_box = !probe.commandReplyPending();
        session.sim.set_fault(SimScript::Command, SimFault::Delay, 300);
        session.sim.set_canned_body(SimScript::Command, QByteArray("Second command\n"));
        session.call("on_velto_stop_btn_clicked");
    });
    session.call("on_velto_stop_btn_clicked");
    QTRY_COMPARE(boxes.closed(), 1);
    QVERIFY(released_in_box);
    QVERIFY(probe.commandReplyPending());
    QTRY_COMPARE(session.window->statusBar()->currentMessage(), "Second command");
    QCOMPARE(session.command_targets().size(), 2);
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
