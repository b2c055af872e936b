#include "coords/sky_transform.h"
#include "log_capture.h"
#include "main_window_probe.h"
#include "modal_closer.h"
#include "sim/tcs_sim_server.h"
#include "sky_probe.h"
#include "tcs/tcs_host.h"
#include "tcs/tcs_request.h"

#include <QtTest>

Q_DECLARE_METATYPE(SimFault)

namespace
{

QString text_color(QWidget *w)
{
    return w->palette().color(QPalette::WindowText).name();
}
QString back_color(QWidget *w)
{
    return w->palette().color(QPalette::Window).name();
}
QString named(const char *name)
{
    return QColor::fromString(QLatin1String(name)).name();
}

} // namespace

// The main window against the in-process TCS simulator: users, login, polling
// and the state display.
class TestTcsClient : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void usersListFillsTheSelector_data();
    void usersListFillsTheSelector();
    void setButton_data();
    void setButton();
    void stateRequestQuery_data();
    void stateRequestQuery();
    void okDisplay();
    void levelRules_data();
    void levelRules();
    void levelLineBeforeUserNamesTheQueryUser();
    void notOkDisplay();
    void statusRotation();
    void getButtonsFillTheForm();
    void adaptiveIntervalWhileIdle();
    void intervalAfterStateChangeAndNotOk();
    void failedRequestShowsErrorAndWaitsAMinute();
    void failedReplyReleasedOnce_data();
    void failedReplyReleasedOnce();
    void timeoutTakesTheErrorPath();
    void oversizedReplyFails_data();
    void oversizedReplyFails();
    void passwordNeverShownInErrors();
    void viewTimerFollowsTheSlew();
    void noHostEndsTheProgram();

private:
    std::unique_ptr<TcsSimServer> sim;
    QStringList received() const;
    std::unique_ptr<Velto_Obj_List> window;
    MainWindowProbe probe() { return MainWindowProbe(*window); }
    void startWindow();
    void replyWith(const QByteArray &body); // one state request answered with body
};

void TestTcsClient::init()
{
    sim = std::make_unique<TcsSimServer>();
    QVERIFY(sim->start());
    set_default_tcs_host(sim->host_text());
}

QStringList TestTcsClient::received() const
{
    QStringList targets;
    // The sky chart's horizon requests go through its own network manager.
    for (const QByteArray &target : sim->received_targets())
        if (!target.startsWith("/tcs/velto_horizon.php"))
            targets << QString::fromLatin1(target);
    return targets;
}

void TestTcsClient::cleanup()
{
    window.reset();
    sim.reset();
    set_tcs_transfer_timeout_ms(15000);
}

void TestTcsClient::startWindow()
{
    window = std::make_unique<Velto_Obj_List>();
    QTRY_VERIFY(probe().form().velto_user_cb->count() > 0);
    // Both horizon profiles loaded: the chart asks nothing more.
    SkyProbe sky(probe().sky());
    QTRY_VERIFY(sky.direct().count > 0 && sky.reverse().count > 0 && !sky.pendingReply());
}

void TestTcsClient::replyWith(const QByteArray &body)
{
    sim->set_canned_body(SimScript::State, body);
    const int before = received().size();
    QMetaObject::invokeMethod(window.get(), "on_velto_get_btn_clicked");
    QTRY_VERIFY(received().size() > before);
    QTRY_VERIFY(!probe().stateReplyPending());
}

void TestTcsClient::usersListFillsTheSelector_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("selected");
    QTest::newRow("two users, guest first")
        << QByteArray("guest Guest account\nobs1 First Observer\n")
        << QStringList({"guest (Guest account)", "obs1 (First Observer)"}) << 0 << "guest";
    QTest::newRow("guest second") << QByteArray("obs1 First  Observer\nguest Guest\n")
                                  << QStringList({"obs1 (First Observer)", "guest (Guest)"}) << 1
                                  << "guest";
    QTest::newRow("no guest: first entry")
        << QByteArray("obs1 A\noper B\n") << QStringList({"obs1 (A)", "oper (B)"}) << 0 << "obs1";
    QTest::newRow("guestobs counts, the last guest wins")
        << QByteArray("guest G\nobs O\nguestobs Guest observer\n")
        << QStringList({"guest (G)", "obs (O)", "guestobs (Guest observer)"}) << 2 << "guestobs";
    QTest::newRow("login without description")
        << QByteArray("obs1\n") << QStringList({"obs1 ()"}) << 0 << "obs1";
    QTest::newRow("an empty line is an entry and counts")
        << QByteArray("obs1 A\n\nguest G") << QStringList({"obs1 (A)", " ()", "guest (G)"}) << 2
        << "guest";
    QTest::newRow("Guest with a capital is no guest")
        << QByteArray("Guest G\nobs O\n") << QStringList({"Guest (G)", "obs (O)"}) << 0 << "Guest";
}

void TestTcsClient::usersListFillsTheSelector()
{
    QFETCH(QByteArray, body);
    QFETCH(QStringList, entries);
    QFETCH(int, current);
    QFETCH(QString, selected);
    sim->set_canned_body(SimScript::Users, body);
    startWindow();
    auto *box = probe().form().velto_user_cb;
    QStringList shown;
    for (int i = 0; i < box->count(); ++i)
        shown << box->itemText(i);
    QCOMPARE(shown, entries);
    QCOMPARE(box->currentIndex(), current);
    QCOMPARE(probe().selectedUser(), selected);
    QCOMPARE(received().first(), QStringLiteral("/tcs/velto_users_all.cgi"));
    QVERIFY(!probe().usersReplyPending());
}

void TestTcsClient::setButton_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("polling");
    QTest::newRow("empty password") << ""
                                    << "" << false;
    QTest::newRow("one character") << " x "
                                   << "x" << false;
    QTest::newRow("two characters") << "ab"
                                    << "ab" << true;
    QTest::newRow("blanks collapsed") << "  my   pass "
                                      << "my pass" << true;
}

void TestTcsClient::setButton()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(bool, polling);
    sim->set_canned_body(SimScript::Users, "guest Guest\nobs Observer\n");
    startWindow();
    auto &f = probe().form();
    f.velto_user_cb->setCurrentIndex(f.velto_user_cb->findText("obs", Qt::MatchStartsWith));
    QCOMPARE(f.velto_user_cb->currentText(), QStringLiteral("obs (Observer)"));
    f.velto_passwd_edt->setText(typed);
    const int before = received().size();
    QTest::mouseClick(f.velto_passwd_set_btn, Qt::LeftButton);
    QCOMPARE(probe().passwd(), stored);
    QCOMPARE(probe().queryUser(), QStringLiteral("obs"));
    QCOMPARE(probe().pollTimer()->isActive(), polling);
    if (polling) {
        QCOMPARE(probe().pollTimer()->interval(), 5000);
        QTRY_COMPARE(received().size(), before + 1);
        QVERIFY(received().last().startsWith(QLatin1String("/tcs/vtcs_get.cgi?User=obs&Pass=")));
    } else {
        QTest::qWait(50); // nothing may arrive; a wrong request would show up within this
        QCOMPARE(received().size(), before);
    }
}

void TestTcsClient::stateRequestQuery_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("target");
    QTest::newRow("default guest password") << ""
                                            << "/tcs/vtcs_get.cgi?User=guest&Pass=kelpo";
    QTest::newRow("one character: no query") << "x"
                                             << "/tcs/vtcs_get.cgi";
    QTest::newRow("space, ampersand, equals, plus, colon")
        << "a b&c=d+e:f"
        << "/tcs/vtcs_get.cgi?User=guest&Pass=a%20b%26c%3Dd+e:f";
}

void TestTcsClient::stateRequestQuery()
{
    QFETCH(QString, password);
    QFETCH(QString, target);
    startWindow();
    if (!password.isEmpty()) {
        probe().form().velto_passwd_edt->setText(password);
        QTest::mouseClick(probe().form().velto_passwd_set_btn, Qt::LeftButton);
        QTRY_VERIFY(!probe().stateReplyPending());
        probe().pollTimer()->stop();
    }
    sim->clear_received();
    replyWith("State=Ok\n");
    QCOMPARE(received(), QStringList({target}));
}

void TestTcsClient::okDisplay()
{
    LogCapture log;
    startWindow();
    replyWith("State=Ok\nUser=obs\nLevel=3\nTelMode=Track\nTCSmode=Hard\nRA=1.5\nDec=45\n"
              "A=10\nZ=30\nStime=2\n");
    auto &f = probe().form();
    QCOMPARE(f.vtcs_connect_lab->text(), QStringLiteral("On"));
    QCOMPARE(text_color(f.vtcs_connect_lab), named("Blue"));
    QCOMPARE(back_color(f.vtcs_connect_lab), named("LightGreen"));
    QCOMPARE(f.velto_state_lab->text(), QStringLiteral("Track"));
    QCOMPARE(text_color(f.velto_state_lab), named("Blue"));
    QCOMPARE(back_color(f.velto_state_lab), named("LightGreen"));
    QCOMPARE(f.velto_tcs_lab->text(), QStringLiteral("Hard"));
    QCOMPARE(text_color(f.velto_tcs_lab), named("Blue"));
    QCOMPARE(back_color(f.velto_tcs_lab), named("Cyan"));
    QCOMPARE(f.velto_level_lab->text(), QStringLiteral("User=obs Level=3 "));
    for (QPushButton *b :
         {f.velto_send_btn, f.velto_stop_btn, f.velto_slew_btn, f.velto_set_offset_btn}) {
        QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
        QCOMPARE(b->styleSheet(), QStringLiteral("color: black;"));
    }
    QCOMPARE(probe().telescope().ra_sec, 5400.0);
    QCOMPARE(probe().telescope().dec_sec, 162000.0);
    QCOMPARE(probe().telescope().azimuth, 36000.0);
    QCOMPARE(probe().telescope().zenith_dist, 108000.0);
    QCOMPARE(sidereal_time, 7200.0);
    QVERIFY(log.out.contains(QStringLiteral("User=obs Level=3")));
    QVERIFY(log.out.contains(QStringLiteral("Velto read Ok! ")));
    // Ok again: no second "Velto read Ok! ", same level: no level line.
    replyWith("State=Ok\nUser=obs\nLevel=3\nTelMode=Track\n");
    QCOMPARE(log.out.count(QStringLiteral("Velto read Ok! ")), 1);
    QCOMPARE(log.out.count(QStringLiteral("User=obs Level=3")), 1);
}

void TestTcsClient::levelRules_data()
{
    QTest::addColumn<QByteArray>("levelLine");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QList<bool>>("enabled"); // send, stop, slew, set offset
    QTest::newRow("guest level 1")
        << QByteArray("Level=1") << "User=u Level=1 " << QList<bool>({false, false, false, false});
    QTest::newRow("observer level 2")
        << QByteArray("Level=2") << "User=u Level=2 " << QList<bool>({true, false, false, false});
    QTest::newRow("operator level 4")
        << QByteArray("Level=4") << "User=u Level=4 " << QList<bool>({true, true, true, true});
    QTest::newRow("9 shows 5") << QByteArray("Level=9") << "User=u Level=5 "
                               << QList<bool>({true, true, true, true});
    QTest::newRow("negative shows 1")
        << QByteArray("Level=-3") << "User=u Level=1 " << QList<bool>({false, false, false, false});
    QTest::newRow("a name with %2 stays")
        << QByteArray("Level=2") << "User=u Level=2 " << QList<bool>({true, false, false, false});
}

void TestTcsClient::levelRules()
{
    QFETCH(QByteArray, levelLine);
    QFETCH(QString, label);
    QFETCH(QList<bool>, enabled);
    startWindow();
    replyWith("State=Ok\nUser=u\n" + levelLine + "\nTelMode=Slew\n");
    auto &f = probe().form();
    QCOMPARE(f.velto_level_lab->text(), label);
    const QList<QPushButton *> buttons = {f.velto_send_btn, f.velto_stop_btn, f.velto_slew_btn,
                                          f.velto_set_offset_btn};
    for (int i = 0; i < buttons.size(); ++i) {
        QCOMPARE(buttons[i]->isEnabled(), enabled[i]);
        QCOMPARE(buttons[i]->styleSheet(),
                 enabled[i] ? QStringLiteral("color: black;") : QStringLiteral("color: gray;"));
    }
    // A new level alone (same state) follows the offset rule too.
    replyWith("State=Ok\nUser=u\nLevel=3\nTelMode=Slew\n");
    QVERIFY(f.velto_set_offset_btn->isEnabled());
    replyWith("State=Ok\nUser=%2x\nLevel=2\nTelMode=Slew\n");
    QCOMPARE(f.velto_level_lab->text(), QStringLiteral("User=%2x Level=2 "));
    QVERIFY(!f.velto_set_offset_btn->isEnabled());
}

void TestTcsClient::levelLineBeforeUserNamesTheQueryUser()
{
    LogCapture log;
    startWindow();
    replyWith("State=Ok\nLevel=3\nUser=obs\n");
    QCOMPARE(probe().form().velto_level_lab->text(), QStringLiteral("User=guest Level=3 "));
    QVERIFY(log.out.contains(QStringLiteral("User=guest Level=3")));
    // Level=0 while the stored level is 3 shows 1.
    replyWith("State=Ok\nUser=obs\nLevel=0\n");
    QCOMPARE(probe().form().velto_level_lab->text(), QStringLiteral("User=obs Level=1 "));
    QCOMPARE(probe().level(), 1);
}

void TestTcsClient::notOkDisplay()
{
    LogCapture log;
    startWindow();
    replyWith("State=Ok\nUser=obs\nLevel=3\nTelMode=Track\nTCSmode=Simul\n");
    log.out.clear();
    replyWith("State=Busy\nUser=obs\nLevel=3\nPermission=low level\n");
    auto &f = probe().form();
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Permission low level"));
    QCOMPARE(f.vtcs_connect_lab->text(), QStringLiteral("On"));
    QCOMPARE(f.velto_tcs_lab->text(), QStringLiteral("Unknown"));
    QCOMPARE(back_color(f.velto_tcs_lab), named("Lightgray"));
    QCOMPARE(f.velto_state_lab->text(), QStringLiteral("Unknown"));
    QCOMPARE(text_color(f.velto_state_lab), named("Black"));
    QCOMPARE(f.velto_level_lab->text(), QStringLiteral("User=? Level = ? "));
    QCOMPARE(probe().level(), 0);
    for (QPushButton *b :
         {f.velto_send_btn, f.velto_stop_btn, f.velto_slew_btn, f.velto_set_offset_btn})
        QVERIFY(!b->isEnabled() && b->styleSheet() == QStringLiteral("color: gray;"));
    QCOMPARE(log.out.size(), 2);
    QVERIFY(log.out.at(0).startsWith(QLatin1String("stime=")));
    QCOMPARE(log.out.at(1), QStringLiteral("Permission low level"));
    // Not Ok again: no lines; an empty reply says "State=Err".
    replyWith("");
    QCOMPARE(log.out.size(), 2);
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("State=Err"));
    QCOMPARE(f.vtcs_connect_lab->text(), QStringLiteral("Off"));
    QCOMPARE(back_color(f.vtcs_connect_lab), named("Lightgray"));
}

void TestTcsClient::statusRotation()
{
    startWindow();
    replyWith("State=Down\n");
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("State Down"));
    QVERIFY(probe().statusTimer()->isActive());
    QCOMPARE(probe().statusTimer()->interval(), 5000);
    probe().setPendingMessage(QStringLiteral("queued"));
    QMetaObject::invokeMethod(window.get(), "velto_show_stat_msg");
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("queued"));
    QVERIFY(probe().statusTimer()->isActive());
    QCOMPARE(probe().statusTimer()->interval(), 3000);
    QMetaObject::invokeMethod(window.get(), "velto_show_stat_msg");
    QCOMPARE(window->statusBar()->currentMessage(), QString());
}

void TestTcsClient::getButtonsFillTheForm()
{
    startWindow();
    auto &f = probe().form();
    sim->set_canned_body(SimScript::State, "State=Busy\nObjName=Vega\nra2000=18:36:56.3\n");
    QTest::mouseClick(f.velto_get_btn, Qt::LeftButton);
    QTRY_VERIFY(!probe().stateReplyPending());
    QCOMPARE(f.velto_obj_edt->text(), QString()); // remembered until an Ok reply
    replyWith("State=Ok\nObjName= Vega \nra2000=18:36:56.3\ndec2000=+38:47:01\noffHA=1.234\n"
              "offDec=-2.25\n");
    QCOMPARE(f.velto_obj_edt->text(), QStringLiteral(" Vega"));
    QCOMPARE(f.velto_ra_edt->text(), QStringLiteral("18:36:56.3"));
    QCOMPARE(f.velto_decl_edt->text(), QStringLiteral("+38:47:01"));
    QCOMPARE(f.velto_epoch_edt->text(), QStringLiteral("2000.0"));
    QCOMPARE(f.velto_offha_edt->text(), QStringLiteral("0.0")); // not asked for
    sim->set_canned_body(SimScript::State, "State=Ok\noffHA=1.234\noffDec=-2.26\n");
    QTest::mouseClick(f.velto_get_offset_btn, Qt::LeftButton);
    QTRY_VERIFY(!probe().stateReplyPending());
    QCOMPARE(f.velto_offha_edt->text(), QStringLiteral("1.23"));
    QCOMPARE(f.velto_offdec_edt->text(), QStringLiteral("-2.3"));
}

void TestTcsClient::adaptiveIntervalWhileIdle()
{
    startWindow();
    replyWith("State=Ok\nTelMode=Stop\n");
    sim->set_canned_body(SimScript::State, "State=Ok\nTelMode=Stop\n");
    probe().setPollInterval(14600);
    QList<int> seen;
    for (int i = 0; i < 4; ++i) {
        QMetaObject::invokeMethod(window.get(), "velto_get_timer");
        QTRY_VERIFY(!probe().stateReplyPending());
        QVERIFY(probe().pollTimer()->isActive());
        seen << probe().pollTimer()->interval();
    }
    QCOMPARE(seen, QList<int>({14800, 15000, 10000, 10200}));
    sim->set_canned_body(SimScript::State, "State=Ok\nTelMode=Stop\nVHA=1\n");
    probe().setPollInterval(9000);
    QMetaObject::invokeMethod(window.get(), "velto_get_timer");
    QTRY_VERIFY(!probe().stateReplyPending());
    QCOMPARE(probe().pollTimer()->interval(), 9200);
}

void TestTcsClient::intervalAfterStateChangeAndNotOk()
{
    startWindow();
    replyWith("State=Ok\nTelMode=Stop\n");
    sim->set_canned_body(SimScript::State, "State=Ok\nTelMode=Slew\n");
    probe().setPollInterval(8000);
    QMetaObject::invokeMethod(window.get(), "velto_get_timer");
    QTRY_VERIFY(!probe().stateReplyPending());
    QCOMPARE(probe().pollTimer()->interval(), 1000); // state changed
    sim->set_canned_body(SimScript::State, "State=Ok\nTelMode=Track\n");
    probe().setPollInterval(8000);
    QMetaObject::invokeMethod(window.get(), "velto_get_timer");
    QTRY_VERIFY(!probe().stateReplyPending());
    QCOMPARE(probe().pollTimer()->interval(), 1000);
    sim->set_canned_body(SimScript::State, "State=Ok\nTelMode=Track\n");
    probe().setPollInterval(8000);
    QMetaObject::invokeMethod(window.get(), "velto_get_timer");
    QTRY_VERIFY(!probe().stateReplyPending());
    QCOMPARE(probe().pollTimer()->interval(), 3000); // tracking, no change
    sim->set_canned_body(SimScript::State, "State=NotReady\n");
    QMetaObject::invokeMethod(window.get(), "velto_get_timer");
    QTRY_VERIFY(!probe().stateReplyPending());
    QCOMPARE(probe().pollTimer()->interval(), 15000);
    QVERIFY(probe().pollTimer()->isActive());
}

void TestTcsClient::failedRequestShowsErrorAndWaitsAMinute()
{
    startWindow();
    LogCapture log;
    replyWith("State=Ok\nUser=o\nLevel=3\nTelMode=Track\nTCSmode=Simul\n");
    sim->set_fault(SimScript::State, SimFault::ServerError);
    probe().setPollInterval(5000);
    probe().pollTimer()->start(5000);
    ModalCloser closer;
    QMetaObject::invokeMethod(window.get(), "velto_get_timer");
    QTRY_VERIFY(closer.closed() == 1);
    QTRY_VERIFY(!probe().stateReplyPending());
    QVERIFY(log.err.size() == 1);
    QVERIFY2(log.err.first().startsWith(QLatin1String("Velto read error 401 ")),
             qPrintable(log.err.first()));
    QCOMPARE(closer.titles(), QStringList({sim->host_text() + QStringLiteral(" HTTP error")}));
    auto &f = probe().form();
    QCOMPARE(f.vtcs_connect_lab->text(), QStringLiteral("Off"));
    QCOMPARE(f.velto_state_lab->text(), QStringLiteral("Unknown"));
    QCOMPARE(f.velto_tcs_lab->text(), QStringLiteral("Unknown"));
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("State=Err"));
    QVERIFY(probe().pollTimer()->isActive());
    QCOMPARE(probe().pollTimer()->interval(), 60000);
    QCOMPARE(probe().pollInterval(), 5000);
}

void TestTcsClient::failedReplyReleasedOnce_data()
{
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<bool>("finishDuringBox"); // the finished signal comes while the box is open
    QTest::newRow("HTTP 500") << SimFault::ServerError << false;
    QTest::newRow("HTTP 500, finished during the box") << SimFault::ServerError << true;
    QTest::newRow("connection closed mid-reply") << SimFault::CloseConnection << false;
    QTest::newRow("connection closed, finished during the box")
        << SimFault::CloseConnection << true;
}

void TestTcsClient::failedReplyReleasedOnce()
{
    QFETCH(SimFault, fault);
    QFETCH(bool, finishDuringBox);
    startWindow();
    sim->set_fault(SimScript::State, fault);
    probe().pollTimer()->start(5000);
    QMetaObject::invokeMethod(window.get(), "velto_get_timer");
    QPointer<QNetworkReply> reply = probe().stateReply();
    QVERIFY(reply);
    int destroyed = 0;
    connect(reply, &QObject::destroyed, this, [&] { ++destroyed; });
    ModalCloser closer([&] {
        if (finishDuringBox && reply && probe().stateReply() == reply)
            emit reply->finished();
    });
    QTRY_COMPARE(closer.closed(), 1);
    QTRY_COMPARE(destroyed, 1);
    QVERIFY(!probe().stateReplyPending());
    QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("State=Err"));
    QCOMPARE(probe().form().velto_state_lab->text(), QStringLiteral("Unknown"));
    QVERIFY(probe().pollTimer()->isActive());
    QCOMPARE(probe().pollTimer()->interval(), 60000);
}

void TestTcsClient::timeoutTakesTheErrorPath()
{
    set_tcs_transfer_timeout_ms(300);
    startWindow();
    LogCapture log;
    sim->set_fault(SimScript::State, SimFault::NeverAnswer);
    ModalCloser closer;
    QMetaObject::invokeMethod(window.get(), "on_velto_get_btn_clicked");
    QTRY_COMPARE(closer.closed(), 1);
    QTRY_VERIFY(!probe().stateReplyPending());
    QVERIFY2(log.err.first().startsWith(QLatin1String("Velto read error ") +
                                        QString::number(QNetworkReply::OperationCanceledError)),
             qPrintable(log.err.first()));
    QVERIFY(!probe().pollTimer()->isActive()); // polling was off and stays off
}

void TestTcsClient::oversizedReplyFails_data()
{
    QTest::addColumn<SimFault>("fault");
    QTest::newRow("with its length") << SimFault::Oversized;
    QTest::newRow("streamed without a length") << SimFault::OversizedStreamed;
}

void TestTcsClient::oversizedReplyFails()
{
    QFETCH(SimFault, fault);
    startWindow();
    LogCapture log;
    sim->set_fault(SimScript::State, fault);
    ModalCloser closer;
    QMetaObject::invokeMethod(window.get(), "on_velto_get_btn_clicked");
    QTRY_COMPARE(closer.closed(), 1);
    QTRY_VERIFY(!probe().stateReplyPending());
    QCOMPARE(probe().form().velto_state_lab->text(), QStringLiteral("Unknown"));
    QCOMPARE(log.err.size(), 1);
}

void TestTcsClient::passwordNeverShownInErrors()
{
    startWindow();
    LogCapture log;
    probe().form().velto_passwd_edt->setText(QStringLiteral("top secret&1"));
    sim->set_fault(SimScript::State, SimFault::ServerError);
    ModalCloser closer;
    QTest::mouseClick(probe().form().velto_passwd_set_btn, Qt::LeftButton);
    QTRY_COMPARE(closer.closed(), 1);
    QTRY_VERIFY(!probe().stateReplyPending());
    const QString everything =
        log.err.join('\n') + closer.texts().join('\n') + window->statusBar()->currentMessage();
    QVERIFY(!everything.contains(QLatin1String("secret")));
    QVERIFY(log.err.first().contains(QLatin1String("Pass=****")));
}

void TestTcsClient::viewTimerFollowsTheSlew()
{
    startWindow();
    // Tracking at the sidereal rate: too slow for the view timer.
    replyWith("State=Ok\nTelMode=Track\nVHA=1.0027\nVDec=0\nA=10\nZ=30\nDec=20\nPA=30\n");
    QVERIFY(!probe().viewTimer()->isActive());
    // A fast slew: the telescope marker moves between replies.
    replyWith("State=Ok\nTelMode=Slew\nVHA=40\nVDec=300\nA=10\nZ=30\nDec=20\nPA=30\n");
    QVERIFY(probe().viewTimer()->isActive());
    QTest::qWait(20); // some elapsed time to extrapolate over
    QMetaObject::invokeMethod(window.get(), "velto_view_timer");
    QVERIFY(probe().telescope().azimuth != 36000.0);
    QVERIFY(probe().telescope().zenith_dist != 108000.0);
    QVERIFY(probe().viewTimer()->isActive());
    // Stopped: the position stays as the TCS said.
    replyWith("State=Ok\nTelMode=Stop\nVHA=40\nVDec=300\nA=10\nZ=30\n");
    QMetaObject::invokeMethod(window.get(), "velto_view_timer");
    QCOMPARE(probe().telescope().azimuth, 36000.0);
}

void TestTcsClient::noHostEndsTheProgram()
{
    LogCapture log;
    const QString host = sim->host_text();
    sim.reset(); // nobody listens on the port any more
    set_default_tcs_host(host);
    ModalCloser closer;
    auto *main = new Velto_Obj_List;
    main->show();
    QTRY_VERIFY(closer.closed() >= 1);
    QTRY_VERIFY(!main->isVisible());
    QVERIFY(!MainWindowProbe(*main).sky().isVisible());
    delete main;
    // One users-list error; the sky chart reports its horizon requests itself.
    const QStringList errors = log.err.filter(QRegularExpression(QStringLiteral("^Velto read")));
    QCOMPARE(errors.size(), 1);
    QVERIFY(errors.first().startsWith(QLatin1String("Velto read error 1 ")));
    QVERIFY(log.out.last().startsWith(QLatin1String("Velto_Obj_List stop ")));
}

QTEST_MAIN(TestTcsClient)
#include "tst_tcs_client.moc"
