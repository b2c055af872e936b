#include "app/night_colours.h"
#include "app/velto_help.h"
#include "corr/velto_corr.h"
#include "local_tcs.h"
#include "log_capture.h"
#include "main_window_probe.h"
#include "modal_closer.h"
#include "objlist/velto_list.h"
#include "tcs/command_check.h"
#include "tcs/command_request.h"
#include "tcs/poll_interval.h"
#include "tcs/state_reply.h"
#include "tcs/tcs_request.h"

#include <QStatusBar>
#include <QTcpServer>
#include <QtTest>

// The TCS client against the simulator as a real web host, and every failing host.

const QByteArray send_script = "/tcs/vtcs_send.cgi";

// A host that answers every request with the same bytes, in three pieces
// apart in time: the head cut after 12 bytes, the last 3 bytes alone.
struct RawHost {
    explicit RawHost(const QByteArray &bytes, quint16 port = 0) : answer(bytes)
    {
        server.listen(QHostAddress::LocalHost, port);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            QTcpSocket *socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                if (!(received += socket->readAll()).endsWith("\r\n\r\n"))
                    return;
                const qsizetype cuts[] = {0, 12, answer.size() - 3, answer.size()};
                for (int i = 1; i < 4; ++i)
                    QTimer::singleShot(20 * i, socket, [=] {
                        socket->write(answer.mid(cuts[i - 1], cuts[i] - cuts[i - 1]));
                        if (i == 3)
                            socket->disconnectFromHost();
                    });
            });
        });
    }
    QString host() const // HTTP's own port left out
    {
        const quint16 port = server.serverPort();
        return port == 80 ? "127.0.0.1" : "127.0.0.1:" + QString::number(port);
    }
    QTcpServer server;
    QByteArray answer, received; // what it says, what it was told
};

const QString refusing_host = QStringLiteral("127.0.0.1:1"); // nobody listens

// A fault of the simulator (None: nobody listens); %1: the URL, its password hidden.
struct HostFault {
    SimFault sim_fault;
    int code;
    const char *text;
};

using R = QNetworkReply;
const char *const closed = "Connection closed", *const canceled = "Operation canceled",
                  *const http500 = "Error transferring %1 - server replied: Internal Server Error";
const std::pair<const char *, HostFault> host_faults[] = {
    {"refused", {SimFault::None, R::ConnectionRefusedError, "Connection refused"}},
    {"closed without an answer", {SimFault::Hangup, R::RemoteHostClosedError, closed}},
    {"closed mid-reply", {SimFault::CloseConnection, R::RemoteHostClosedError, closed}},
    {"time-out", {SimFault::NeverAnswer, R::OperationCanceledError, canceled}},
    {"HTTP 500", {SimFault::ServerError, R::InternalServerError, http500}},
    {"oversized with its length", {SimFault::Oversized, R::OperationCanceledError, canceled}},
    {"oversized, streamed", {SimFault::OversizedStreamed, R::OperationCanceledError, canceled}},
};
Q_DECLARE_METATYPE(HostFault)

class TestTcs : public QObject
{
    Q_OBJECT

    LocalTcs tcs;
    TcsSimServer &sim = tcs.sim;
    std::unique_ptr<Velto_Obj_List> window;
    MainWindowProbe probe() const { return MainWindowProbe(*window); }
    // The main window with the operator logged in, a filled form, no polling.
    void openWindow(const QString &state_text = QStringLiteral("Track"))
    {
        window = std::make_unique<Velto_Obj_List>();
        QTRY_VERIFY(!probe().usersReplyPending());
        probe().pollTimer()->stop();
        sim.clear_received();
        probe().setUserAndLevel(QStringLiteral("oper"), 3);
        probe().setPasswd(QStringLiteral("dome3"));
        probe().setStateText(state_text);
        probe().setStateOk(true);
        probe().typeObject(
            {"Вега 5% & Co=1 !$'()*,;@/?~_.-", " 00:42:44.3 ", "+41:16:09", "2000.0"});
        probe().form().velto_offha_edt->setText("-1.5");
        probe().form().velto_offdec_edt->setText("12.0");
    }
    void press(const QString &command)
    {
        const QString button = command == QLatin1String("Corr") ? "set_offset" : command.toLower();
        QMetaObject::invokeMethod(window.get(), qPrintable("on_velto_" + button + "_btn_clicked"));
    }
    void waitState(const QByteArray &body)
    {
        sim.set_canned_body(SimScript::State, body);
        QMetaObject::invokeMethod(window.get(), "on_velto_get_btn_clicked");
        QTRY_VERIFY(!probe().stateReplyPending());
    }

private slots:
    void initTestCase() { sim.clock().set_speed(0); }
    void init()
    {
        set_tcs_transfer_timeout_ms(15000);
        sim.set_fault(SimScript::All, SimFault::None);
        sim.set_canned_body(SimScript::All, std::nullopt);
    }
    void cleanup()
    {
        QTRY_VERIFY(!window || (!probe().commandReplyPending() && !probe().stateReplyPending()));
        window.reset();
    }
    // Without users, after its box and error line every window closes, even those opened since.
    void usersListFailureEndsProgram()
    {
        sim.set_fault(SimScript::Users, SimFault::ServerError);
        LogCapture log;
        ModalCloser closer;
        Velto_Obj_List failed;
        MainWindowProbe p(failed);
        // The about window is modal: the closer would take it for a box.
        const QWidgetList windows{&failed, p.listWindow(), &p.sky(), p.corrWindow(),
                                  p.helpWindow()};
        for (QWidget *shown : windows)
            shown->show();
        QTRY_VERIFY(std::none_of(windows.begin(), windows.end(), std::mem_fn(&QWidget::isVisible)));
        QVERIFY(closer.titles.contains(sim.host_text() + " HTTP error"));
        QCOMPARE(log.err.filter("Velto read error 401 ").size(), 1); // HTTP 500
    }
    void stateReplyGrammar_data()
    {
        // Lines between '|' => the status text|the number of items, the last one's text and number.
        QTest::addColumn<QString>("reply");
        QTest::newRow("after the first '='") << "State=Ok\n|RA=12.5=3\n => State Ok|2 12.5=3 0";
        QTest::newRow("a number, line end removed")
            << "State=Ok\n|HA=-1.25\r\n => State Ok|2 -1.25 -1.25";
        QTest::newRow("trimmed line, untrimmed value") << "State= Ok \n => State  Ok |1  Ok 0";
        QTest::newRow("unknown lines are skipped") << "Hello\n|Nothing=1\n => Hello|0  0";
        // Every key's value is what follows '='; four keys trim the line first.
        for (const QString &key : QString("User Level Stime RA Dec HA A Z VHA VDec offHA offDec "
                                          "ObjName ra2000 dec2000 PA TCSmode TelFlip TelMode State")
                                      .split(' ')) {
            const bool trimmed = QString("ObjName TCSmode TelMode State").contains(key);
            QTest::newRow(qPrintable(key))
                << key + "=5 \n => " + key + " 5 |1 " + (trimmed ? "5 5" : "5  5");
        }
    }
    void stateReplyGrammar()
    {
        QFETCH(QString, reply);
        const StateReply r = parse_state_reply(reply.section(" => ", 0, 0).toUtf8().split('|'));
        const StateItem last = r.items.value(r.items.size() - 1);
        const QString seen =
            r.status_text + '|' + QString::number(r.items.size()) + ' ' + last.text;
        QCOMPARE(seen + ' ' + QString::number(last.number), reply.section(" => ", 1));
    }
    void pollInterval_data()
    {
        // Interval now, state read and shown, if Ok, hour-angle and Dec. rates: the next one.
        QTest::addColumn<QString>("poll");
        QTest::newRow("idle up to 15 s") << "14800 Stop Stop Ok 0 0: 15000";
        QTest::newRow("idle past 15 s starts at 10 s") << "14801 Stop Stop Ok 0 0: 10000";
        QTest::newRow("slewing past 2 s") << "1801 Slew Slew Ok 0 0: 1000";
        QTest::newRow("slewing up to 2 s") << "1800 Slew Slew Ok 0 0: 2000";
        QTest::newRow("tracking past 5 s") << "4801 Track Track Ok 0 0: 3000";
        QTest::newRow("tracking up to 5 s") << "4800 Track Track Ok 0 0: 5000";
        QTest::newRow("moving past 2 s") << "1801 Moving Moving Ok 0.02 0: 1000";
        QTest::newRow("moving fast in declination") << "9000 Moving Moving Ok 0 -0.2: 1000";
        QTest::newRow("moving up to 2 s") << "1800 Moving Moving Ok 0.5 0: 2000";
        QTest::newRow("rates at their limits: still") << "9000 Moving Moving Ok -0.01 0.1: 9200";
        QTest::newRow("state changed") << "9000 Track Slew Ok 0 0: 1000";
        QTest::newRow("state changed, not Ok") << "9000 Track Slew Err 0 0: 3000";
        QTest::newRow("never below a second") << "500 Stop Stop Ok 0 0: 1000";
        QTest::newRow("below a second, not Ok") << "500 Stop Stop Err 0 0: 700";
        QTest::newRow("stopped, rates shown") << "9000 Stop Stop Ok 0.5 0: 9200";
    }
    void pollInterval()
    {
        QFETCH(QString, poll);
        const QStringList f = poll.split(QRegularExpression(":? "));
        QCOMPARE(next_poll_interval(f[0].toInt(), f[1], f[2], f[3] == "Ok", f[4].toDouble(),
                                    f[5].toDouble()),
                 f[6].toInt());
    }
    // The users as listed, the first guest chosen; a password of one character is
    // not taken, one of two goes with a state request at once and starts polling.
    void passwordSet()
    {
        sim.set_canned_body(SimScript::Users, QByteArray("obs1  First  Obs \n guest2 G\nop\n"));
        window = std::make_unique<Velto_Obj_List>();
        QTRY_VERIFY(!probe().usersReplyPending());
        QVERIFY(!probe().form().velto_send_btn->isEnabled()); // no command before a login
        const QComboBox *users = probe().form().velto_user_cb;
        QString entries = users->currentText();
        for (int i = 0; i < users->count(); ++i)
            entries += '|' + users->itemText(i);
        QCOMPARE(entries, "guest2 (G)|obs1 (First Obs)|guest2 (G)|op ()");
        sim.clear_received();
        for (const QString typed : {" x ", " ab "}) {
            probe().form().velto_passwd_edt->setText(typed);
            QMetaObject::invokeMethod(window.get(), "on_velto_passwd_set_btn_clicked");
            QCOMPARE(probe().pollTimer()->isActive(), typed.contains('b'));
        }
        QCOMPARE(probe().pollTimer()->interval(), 5000);
        QTRY_VERIFY(!probe().stateReplyPending());
        QCOMPARE(sim.received_targets().join(' '), "/tcs/vtcs_get.cgi?User=guest2&Pass=ab");
    }
    void commandPress_data()
    {
        // Command|password|R.A. typed|status bar|error line|answer (only for a command
        // not refused)|the answer's second line, shown 5 s after the first|Ok or not.
        QTest::addColumn<QString>("press");
        QTest::newRow("Stop without a password")
            << "Stop|||Empty Velto password!|Empty Velto password!|||Ok";
        QTest::newRow("Send, wrong R.A.")
            << "Send|dome3| 0:42 |Wrong or Empty R.A.!|Wrong or Empty R.A. <0:42>|||Ok";
        QTest::newRow("answer with an Ok state") << "Stop|dome3||Done||Done\nState=Ok\n||Ok";
        QTest::newRow("answer with a state not Ok") << "Stop|dome3||Done||Done\nState=Err\n||";
        QTest::newRow("blanks around '='") << "Stop|dome3||Done||Done\r\nState = Ok\r\n||";
        QTest::newRow("second line")
            << "Stop|dome3||Done||Done\nNow slewing\nState=Ok\n|Now slewing|Ok";
    }
    // A refused command says why and sends nothing; an answer is printed, its
    // first line on the status bar, its last "State" line telling if all is Ok.
    void commandPress()
    {
        QFETCH(QString, press);
        const QStringList p = press.split('|');
        openWindow();
        probe().setPasswd(p[1]);
        QLineEdit *field = probe().form().velto_ra_edt;
        field->setText(p[2]);
        const QString answer = QString(p[5]).remove('\r');
        probe().setStateOk(answer.isEmpty() || p[7] != "Ok"); // a reply must set it
        sim.set_canned_body(SimScript::Command, p[5].toUtf8());
        LogCapture log;
        this->press(p[0]);
        QTRY_VERIFY(!probe().commandReplyPending());
        QCOMPARE(command_targets(sim).size(), answer.isEmpty() ? 0 : 1);
        QCOMPARE(window->statusBar()->currentMessage(), p[3]);
        QCOMPARE(log.err.join('\n'), p[4]);
        QCOMPARE(log.out, answer.split('\n', Qt::SkipEmptyParts));
        QCOMPARE(probe().stateOk(), p[7] == "Ok");
        QCOMPARE(probe().pendingMessage(), p[6]);
        QCOMPARE(field->text(), p[2]);
    }
    void commandCheck_data()
    {
        // Command|R.A.|Decl.|epoch|name|offsets|corrections|TelMode => what follows the
        // credentials ($: "&Mess=from%20Velto_Obj_List&Cmd="), or the refusal and its line.
        QTest::addColumn<QString>("check");
        QTest::newRow("name") << "Send|12:34:56.7|-01:02:03|1950| Az  Za_09~ |||||"
                                 "=> RA=12:34:56.7&Dec=-01:02:03&Epoch=1950&Name=Az%20Za_09~$Send";
        QTest::newRow("last epoch") << "Slew| 1:2:3 |+-1:2:3.|2098.99||||||"
                                       "=> RA=1:2:3&Dec=+-1:2:3.&Epoch=2098.99$Slew";
        QTest::newRow("epoch 2099") << "Send|1:2:3|1:2:3|2099||||||=> RA=1:2:3&Dec=1:2:3$Send";
        QTest::newRow("epoch < 1950") << "Send|1:2:3|1:2:3|1949.99||||||=> RA=1:2:3&Dec=1:2:3$Send";
        QTest::newRow("R.A. 2 fields") << "Send|12:34 |1:2:3|||||||=> Wrong or Empty R.A.! <12:34>";
        QTest::newRow("Decl. letter") << "Send|1:2:3|1:2:x|||||||=> Wrong or Empty Decl. <1:2:x>";
        QTest::newRow("offset in HA") << "Corr||||| 0.01 |0|||=> offHA=0.01&offDec=0&Cmd=Corr";
        QTest::newRow("offset in Dec.") << "Corr|||||-0|-0.1|||=> offHA=-0&offDec=-0.1&Cmd=Corr";
        QTest::newRow("offsets at least") << "Corr|||||-0.009|0.09|||=> Wrong or Empty Offsets";
        QTest::newRow("offset no number") << "Corr|||||x|5|||=> Wrong or Empty Offsets";
        QTest::newRow("dHA") << "AdCorr|||||||-0.01|0|Tracking=> dHA=-0.01&dDec=0&Cmd=AdCorr";
        QTest::newRow("dDec") << "AdCorr|||||||0|0.1|Track=> dHA=0&dDec=0.1&Cmd=AdCorr";
        QTest::newRow("d least") << "AdCorr|||||||0.009|-0.09|Track=> Wrong or Empty Corrections";
        QTest::newRow("step refused") << "AdCorr||||||||5|Track=> Wrong or Empty Corrections";
        QTest::newRow("stopped") << "AdCorr|||||||1|1|Stop=> Not in Tracking mode";
        QTest::newRow("other command") << "Park|1|1||||||||=> Cmd=Park";
    }
    // What each command sends after "User=oper&Pass=pw&", or why it is refused.
    void commandCheck()
    {
        QFETCH(QString, check);
        const QStringList t = check.section("=> ", 0, 0).split('|');
        const CommandCheck c = check_command(
            t[0], {"oper", "pw", t[1], t[2], t[3], t[4], t[5], t[6], t[7], t[8], t[9]});
        const QString line = c.error_line == c.status ? QString() : c.error_line.section('.', -1);
        QCOMPARE(c.refused() ? c.status_text() + line
                             : QString(encode_query(c.items)).remove("User=oper&Pass=pw&"),
                 check.section("=> ", 1).replace('$', "&Mess=from%20Velto_Obj_List&Cmd="));
    }
    void hostFaults_data()
    {
        QTest::addColumn<HostFault>("fault");
        QTest::addColumn<QByteArray>("target"); // a state or command request, password hidden
        const QByteArray login = send_script + "?User=oper&Pass=****&";
        for (const auto &[name, fault] : host_faults) {
            QTest::addRow("state: %s", name)
                << fault << QByteArray("/tcs/vtcs_get.cgi?User=oper&Pass=****");
            QTest::addRow("command: %s", name) << fault << login + "Cmd=Stop";
        }
        // The form's texts, encoded, go once to a host that hangs up.
        const QByteArray object = "RA=00:42:44.3&Dec=+41:16:09&Epoch=2000.0&Name=%D0%92%D0%B5%D0%B3"
                                  "%D0%B0%205%25%20%26%20Co%3D1%20!$'()*,;@/?~_.-&Mess=from%20"
                                  "Velto_Obj_List&Cmd=";
        for (const QByteArray &items :
             {object + "Send", QByteArray("offHA=-1.5&offDec=12.0&Cmd=Corr")})
            QTest::addRow("%s: closed, no answer", items.mid(items.lastIndexOf('=') + 1).data())
                << host_faults[1].second << login + items;
    }
    // A command's own connection fails like the manager's state request: same codes and texts,
    // password hidden, one box, the reply released, sent once, no poll timer armed by it.
    void hostFaults()
    {
        QFETCH(HostFault, fault);
        QFETCH(QByteArray, target);
        const bool refused = fault.code == QNetworkReply::ConnectionRefusedError;
        const bool state = !target.startsWith(send_script);
        const QString host = refused ? refusing_host : sim.host_text();
        set_tcs_transfer_timeout_ms(300);
        LogCapture log;
        ModalCloser closer;
        openWindow();
        probe().setHost(host);
        sim.set_fault(state ? SimScript::State : SimScript::Command, fault.sim_fault);
        probe().setPollInterval(5000); // polling runs
        probe().pollTimer()->start(5000);
        if (state) // the Get button while polling runs once, the timer's request else
            QMetaObject::invokeMethod(window.get(),
                                      refused ? "on_velto_get_btn_clicked" : "velto_get_timer");
        else
            press(target.mid(target.lastIndexOf('=') + 1));
        QPointer<QNetworkReply> reply = state ? probe().stateReply() : probe().commandReply();
        QVERIFY(reply);
        QTRY_VERIFY(!reply);
        const QString shown = QString(fault.text).replace("%1", "http://" + host + target);
        QCOMPARE(log.err.filter("Velto read error "),
                 QStringList{QStringLiteral("Velto read error %1 ").arg(fault.code) + shown});
        QCOMPARE(closer.texts, QStringList{shown});
        QCOMPARE(closer.titles, QStringList{host + " HTTP error"});
        QCOMPARE(command_targets(sim),
                 state || refused ? QList<QByteArray>{} : QList{target.replace("****", "dome3")});
        QCOMPARE(probe().form().velto_state_lab->text(), QStringLiteral("Unknown"));
        QCOMPARE(window->statusBar()->currentMessage(), state ? QString("State=Err") : shown);
        // Polling pauses for a minute after the box; the interval steps on from where it was.
        QCOMPARE(probe().pollTimer()->isActive() ? probe().pollTimer()->interval() : 0, 60000);
        QCOMPARE(probe().pollInterval(), state ? 5000 : 1000);
    }
    void replyLikeQt_data()
    {
        QTest::addColumn<SimFault>("fault");          // SimFault::None: nobody listens
        QTest::addColumn<QByteArray>("answer");       // if not empty, the host's whole answer
        for (const auto &[name, fault] : host_faults) // HTTP 500: among the statuses below
            if (fault.code != R::InternalServerError)
                QTest::newRow(name) << fault.sim_fault << QByteArray();
        // From a digit on, after "HTTP/1.1 "; every answer offers a redirect.
        for (const QByteArray &status :
             QByteArray("200 OK|204 No Content|304 Not Modified|301 Moved Permanently|302 Found|"
                        "307 Temporary Redirect|401 Unauthorized|407 Proxy Authentication Required|"
                        "500 Internal Server Error|599 Odd|Hello|HTTP/1.0|ICY 200 OK|2000 Big|"
                        "HTTP/1.1 404|HTTP/1.1 200 A  B|400 B|403 F|404 N|405 M|409 C|410 G|418 T|"
                        "450 X|501 N|502 B|503 S|HTTP/1.1 OK")
                 .split('|'))
            for (const char *length : {"Content-Length: 6\r\n", ""})
                QTest::addRow("%s, %s", status.constData(), *length ? "sized" : "to the close")
                    << SimFault::None
                    << (status.front() <= '9' ? "HTTP/1.1 " : "") + status +
                           "\r\nLocation: /tcs/moved\r\n" + length +
                           "Connection: close\r\n\r\nMoved\n";
        QTest::newRow("HTTP's own port") << SimFault::None << QByteArray("HTTP/1.0 200 OK\r\n\r\n");
        QTest::newRow("a body longer than its length")
            << SimFault::None << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\nMoved\n");
        // The most a reply may bring, and one byte more.
        for (const qint64 size : {tcs_max_reply_bytes, tcs_max_reply_bytes + 1})
            QTest::addRow("a body of %lld bytes", size)
                << SimFault::None << "HTTP/1.0 200 OK\r\n\r\n" + QByteArray(size, 'x');
    }
    // Whatever the host does, a command's reply gives the code, text and body
    // Qt's own gives, follows no redirect, and sends the plain request.
    void replyLikeQt()
    {
        QFETCH(SimFault, fault);
        QFETCH(QByteArray, answer);
        QTranslator qt_texts;
        QVERIFY(qt_texts.load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        QCoreApplication::installTranslator(&qt_texts); // worded as Qt words it in Russian
        set_tcs_transfer_timeout_ms(300);
        sim.set_fault(SimScript::Command, fault);
        RawHost raw(answer, QTest::currentDataTag() == QByteArray("HTTP's own port") ? 80 : 0);
        QVERIFY(raw.server.isListening());
        const QString host = !answer.isEmpty()         ? raw.host()
                             : fault == SimFault::None ? refusing_host
                                                       : sim.host_text();
        const QUrl url = tcs_url(host, QString::fromLatin1(send_script),
                                 {{"User", "oper"}, {"Pass", "dome3"}, {"Cmd", "Stop"}});
        QNetworkAccessManager manager;
        const std::unique_ptr<QNetworkReply> qt(get_tcs(manager, url));
        CommandReply own(url);
        QTRY_VERIFY(qt->isFinished() && own.isFinished());
        const auto seen = [](QNetworkReply &r) { // what the command's handling reads
            return std::tuple(r.error(), r.errorString(), r.readAll(),
                              r.attribute(QNetworkRequest::HttpStatusCodeAttribute),
                              r.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        };
        QCOMPARE(seen(own), seen(*qt));
        QVERIFY2(!raw.received.contains("/tcs/moved"), raw.received.constData());
        QVERIFY(answer.isEmpty() ||
                raw.received.contains("GET " + send_script +
                                      "?User=oper&Pass=dome3&Cmd=Stop HTTP/1.0\r\nHost: " +
                                      host.toLatin1() + "\r\nConnection: close\r\n\r\n"));
    }
    // A command held by the host holds back neither a Stop, sent at once and
    // once, nor the timer's poll, which re-arms the timer after the Stop fails;
    // the given-up command's answer, had it come, is never shown.
    void commandHeldByHost()
    {
        openWindow();
        sim.set_fault(SimScript::State, SimFault::Delay, 2000);
        sim.set_canned_body(SimScript::Command, QByteArray("Sent\nState=Ok\n"));
        sim.set_fault(SimScript::Command, SimFault::Delay, 1000);
        LogCapture log;
        ModalCloser closer;
        QMetaObject::invokeMethod(window.get(), "velto_get_timer");
        press(QStringLiteral("Send"));
        QTRY_COMPARE(command_targets(sim).size(), 1);
        const QPointer<QNetworkReply> held = probe().commandReply();
        press(QStringLiteral("Slew")); // one command at a time: dropped
        sim.set_fault(SimScript::Command, SimFault::ServerError);
        press(QStringLiteral("Stop"));
        QTRY_VERIFY(!held); // given up at once, its connection closed
        QTRY_COMPARE(closer.closed(), 1);
        QVERIFY(probe().stateReplyPending() && !probe().pollTimer()->isActive());
        QTRY_VERIFY(probe().pollTimer()->isActive());
        QCOMPARE(probe().pollTimer()->interval(), 1000); // the state is new again
        sim.set_fault(SimScript::Command, SimFault::None);
        sim.set_canned_body(SimScript::Command, std::nullopt);
        press(QStringLiteral("Slew"));
        QTRY_VERIFY(QString(command_targets(sim).join(' '))
                        .contains(QRegularExpression("^\\S*Cmd=Send \\S*Cmd=Stop \\S*Cmd=Slew$")));
        QTRY_VERIFY(log.out.contains("State=Ok"));
        QVERIFY(!log.out.contains("Sent"));
        QCOMPARE(closer.closed(), 1);
        QCOMPARE(log.err.filter("Velto read error ").size(), 1);
    }
    void stopKey_data()
    {
        // What holds the keyboard|the level last reported for the user|the refusal (none: a Stop).
        QTest::addColumn<QString>("key");
        const QString low = "Stop not sent: level below 3 or unknown";
        QTest::newRow("error box of a failed read") << "read error|3|";
        QTest::newRow("file dialog") << "actionRead_and_Add_list|3|";
        QTest::newRow("about window") << "actionAbout|5|";
        QTest::newRow("level 2 in the error box") << "read error|2|" + low;
        QTest::newRow("no level reported") << "actionAbout|0|" + low;
        QTest::newRow("another user logged in since") << "login|3|" + low;
        QTest::newRow("no host") << "no host|3|Stop not sent: no Velto Web-host";
    }
    // F12 pressed, then held, in a modal window: the level last reported
    // counts, not the failed read that cleared the display.
    void stopKey()
    {
        QFETCH(QString, key);
        const QString open = key.section('|', 0, 0), refusal = key.section('|', 2);
        openWindow();
        probe().setUserAndLevel(QStringLiteral("oper"), key.section('|', 1, 1).toInt());
        LogCapture log;
        ModalCloser closer([] {
            QWindow *box = QApplication::activeModalWidget()->windowHandle();
            QTest::keyClick(box, Qt::Key_F12);
            QKeyEvent held(QEvent::KeyPress, Qt::Key_F12, Qt::NoModifier, QString(), true);
            QCoreApplication::sendEvent(box, &held);
        });
        if (open == "read error") {
            sim.set_fault(SimScript::State, SimFault::ServerError);
            QMetaObject::invokeMethod(window.get(), "velto_get_timer");
        } else if (open == "no host" || open == "login") { // the guest, no password
            open == "login" ? probe().form().velto_passwd_set_btn->click() : probe().setHost("");
            QMessageBox::information(window.get(), "Box", "Open");
        } else {
            window->findChild<QAction *>(open)->trigger();
        }
        QTRY_COMPARE(closer.closed(), 1);
        QTRY_VERIFY(!probe().commandReplyPending());
        const QString sent =
            command_targets(sim).join(' ') + '|' + log.err.filter("Stop not").join(' ');
        QCOMPARE(sent, refusal.isEmpty() ? send_script + "?User=oper&Pass=dome3&Cmd=Stop|"
                                         : '|' + refusal);
        if (!refusal.isEmpty())
            QCOMPARE(window->statusBar()->currentMessage(), refusal);
    }
    void stateShown_data()
    {
        QTest::addColumn<QByteArrayList>("replies"); // after one not Ok; "Ok": "State=Ok\n"
        // State, mode, connection, level, Send Stop Slew Set offset (!: in the other button's
        // text colour), view timer, status bar; then the lines written on the last reply.
        // ~: Black/Lightgray, L: "User=oper Level=", read: "Velto read Ok! ".
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, const QByteArrayList &replies, QString shown) {
            shown.replace('~', "Black/Lightgray").replace("read", "Velto read Ok! ");
            shown.replace(QRegularExpression("L(?=-?\\d)"), "User=oper Level=");
            QTest::newRow(name) << replies << shown;
        };
        row("level 3 tracking", {"Ok\nUser=obs\nLevel=3\nTCSmode=Hard\nTelMode=Track"},
            "Track Blue/LightGreen|Hard Blue/Cyan|On Blue/LightGreen|User=obs Level=3 |++++|still||"
            "User=obs Level=3,read");
        row("level 2 slewing fast",
            {"Ok\nLevel=2\nUser=obs\nTCSmode=Simul\nTelMode=Slew\nVDec=300\nPA=89\nTelFlip=Yes"},
            "Slew White/Blue|Simul White/Pink|On Blue/LightGreen|L2 |+---|view||L2,read");
        row("level 1, moving", {"Ok\nTelMode=Stop", "Ok\nLevel=1\nTelMode=Mov\nVHA=-1.2"},
            "Mov Blue/LightCyan|Unknown ~|Off ~|L1 |----|view||L1");
        row("level above 5, stopped", {"Ok\nLevel=7\nTelMode=Stop\nVDec=300"},
            "Stop Blue/Yellow|Unknown ~|Off ~|L5 |+++-|still||L7,read");
        row("level below 1, other state", {"Ok\nLevel=-1\nTelMode=Parked\nVHA=1.1\nVDec=-10"},
            "Parked Red/Yellow|Unknown ~|Off ~|L1 |----|still||L-1,read");
        row("no level number, another mode", {"Ok\nLevel=?\nTCSmode=S\nTelMode=TrackOff\nVDec=99"},
            "TrackOff Blue/LightGreen|S ~|Off ~|User=? Level = ? |----|still||read");
        row("the level alone rises",
            {"Ok\nLevel=2\nTelMode=Track", "Ok\nLevel=3\nTelMode=Track\nVDec=-10.5"},
            "Track Blue/LightGreen|Unknown ~|Off ~|L3 |++++|view||L3");
        row("refused after Ok",
            {"Ok\nLevel=3\nTelMode=Track", "State=Err\nPermission=denied\nLevel=3\nUser=x"},
            "Unknown ~|Unknown ~|On Blue/LightGreen|User=? Level = ? |----|still|Permission denied|"
            "stime=,Permission denied");
    }
    // The telescope, the mode, the connection and the level as read: the
    // buttons each level enables, Set offset at level 3 while slewing or tracking.
    void stateShown()
    {
        QFETCH(QByteArrayList, replies);
        openWindow(QString());
        waitState("State=Err\n");
        window->statusBar()->clearMessage();
        LogCapture log;
        const qint64 since_request = QDateTime::currentMSecsSinceEpoch();
        for (const QByteArray &reply : replies) {
            log.out.clear();
            waitState(QByteArray(reply).replace("Ok\n", "State=Ok\n") +
                      "\nRA=1.5\nDec=-20.25\nHA=-2.5\nA=-30\nZ=40.5\n");
        }
        QVERIFY(!probe().pollTimer()->isActive()); // a Get press starts no polling
        const Velto_object &t = probe().telescope();
        QCOMPARE(QList<double>({t.ra_sec, t.dec_sec, t.hour_angle, t.azimuth, t.zenith_dist}),
                 QList<double>({5400, -72900, -9000, -108000, 145800}));
        auto &f = probe().form();
        QStringList shown;
        for (const QLabel *l : {f.velto_state_lab, f.velto_tcs_lab, f.vtcs_connect_lab}) {
            const QStringList day = day_label_colours(l); // the colour names given
            QCOMPARE(l->palette().color(QPalette::WindowText), QColor::fromString(day.value(0)));
            QCOMPARE(l->palette().color(QPalette::Window), QColor::fromString(day.value(1)));
            shown << l->text() + ' ' + day.join('/');
        }
        QString buttons;
        for (const QPushButton *b :
             {f.velto_send_btn, f.velto_stop_btn, f.velto_slew_btn, f.velto_set_offset_btn})
            buttons += QString(b->isEnabled() ? "+" : "-") +
                       (b->styleSheet().contains(b->isEnabled() ? "black" : "gray") ? "" : "!");
        shown << f.velto_level_lab->text() << buttons
              << (probe().viewTimer()->isActive() ? "view" : "still")
              << window->statusBar()->currentMessage()
              << log.out.replaceInStrings(QRegularExpression("^stime=.*"), "stime=").join(',');
        QTEST(shown.join('|'), "shown");
        if (!probe().viewTimer()->isActive() || !replies.last().contains("VDec=300"))
            return;
        // Between replies the chart moves the telescope on at 0.9 of its rate: VDec, turned
        // on a flipped telescope, at a parallactic angle of 89 degrees moves the zenith
        // distance at -VDec cos 89 (slowly) and the azimuth at VDec sin 89 / sin Z.
        QTRY_VERIFY(t.zenith_dist != 145800);
        const double pa = qDegreesToRadians(89.0), sin_z = std::sin(qDegreesToRadians(40.5));
        const double since = (QDateTime::currentMSecsSinceEpoch() - since_request) / 1e3;
        for (const double moved : {(t.zenith_dist - 145800) / (270 * std::cos(pa)),
                                   (-108000 - t.azimuth) * sin_z / (270 * std::sin(pa))})
            QVERIFY(moved >= 0.4 && moved <= since);
    }
};

QTEST_MAIN(TestTcs)
#include "tst_tcs.moc"
