#include "coords/sky_transform.h"
#include "log_capture.h"
#include "main_window_probe.h"
#include "sim/tcs_sim_server.h"
#include "tcs/tcs_host.h"

#include <QtTest>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void initialForm();
    void initialCommandButtons();
    void fontsOfTheForm_data();
    void fontsOfTheForm();
    void actionsAndMenus();
    void focusFollowsCreationOrder();
    void eyeIcon();
    void retranslateKeepsFixedAndTypedTexts();
    void setObjectOverloadsThroughTheBase_data();
    void setObjectOverloadsThroughTheBase();
    void setObjectShowsAHiddenWindow();
    void clearButton();
    void startLines();
    void quitWritesTheStopLineLast();

private:
    TcsSimServer sim; // answers the users list every window asks for
};

void TestMainWindow::initTestCase()
{
    QVERIFY(sim.start());
    set_default_tcs_host(sim.host_text());
}

void TestMainWindow::initialForm()
{
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    auto &f = probe.form();
    QCOMPARE(window.windowTitle(), QStringLiteral("Velto_Obj_List"));
    QCOMPARE(window.size(), QSize(306, 500));
    QCOMPARE(f.velto_ra_edt->text(), QStringLiteral("00:00:00.00"));
    QCOMPARE(f.velto_decl_edt->text(), QStringLiteral("+00:00:00.0"));
    QCOMPARE(f.velto_epoch_edt->text(), QStringLiteral("2000.0"));
    QCOMPARE(f.velto_obj_edt->text(), QString());
    QCOMPARE(f.velto_offha_edt->text(), QStringLiteral("0.0"));
    QCOMPARE(f.velto_offdec_edt->text(), QStringLiteral("0.0"));
    QCOMPARE(f.velto_state_lab->text(), QStringLiteral("Unknown"));
    QCOMPARE(f.velto_level_lab->text(), QStringLiteral("User=? Level = ? "));
    QCOMPARE(f.velto_tcs_lab->text(), QStringLiteral("Unknown"));
    QCOMPARE(f.vtcs_connect_lab->text(), QStringLiteral("Off"));
    QCOMPARE(f.vtcs_mode_lab->text(), QStringLiteral("Mode:"));
    QCOMPARE(f.velto_offha_lab->text(), QStringLiteral("HA:"));
    QCOMPARE(f.velto_offdec_lab->text(), QStringLiteral("Decl:"));
    QCOMPARE(f.velto_host_lab->text(), default_tcs_host());
    QCOMPARE(f.velto_passwd_edt->echoMode(), QLineEdit::Password);
    QCOMPARE(f.velto_user_cb->count(), 0);
    QCOMPARE(f.velto_offha_edt->toolTip(),
             QStringLiteral("<html><head/><body><p>= Corr.HA[&quot;]</p></body></html>"));
    QCOMPARE(f.velto_user_cb->toolTip(), QStringLiteral("Velto1000 users menu"));
    QCOMPARE(f.velto_passwd_edt->toolTip(), QStringLiteral("Uses password (for level >=2)"));
    QCOMPARE(f.groupBox->geometry(), QRect(10, 390, 291, 61));
    QCOMPARE(f.velto_tcs_lab->geometry(), QRect(200, 30, 81, 21));
    QCOMPARE(f.velto_user_cb->geometry(), QRect(100, 280, 201, 31));
    QVERIFY(f.velto_state_lab->autoFillBackground());
    QCOMPARE(f.vtcs_connect_lab->frameShape(), QFrame::Box);
    QCOMPARE(probe.telescope().name, QStringLiteral("Telescope"));
    QVERIFY(!probe.telescope().is_comment);
    QCOMPARE(probe.own().name, QStringLiteral("Unknown"));
    QCOMPARE(probe.passwd(), QStringLiteral("kelpo"));
    QCOMPARE(probe.queryUser(), QStringLiteral("guest"));
    QCOMPARE(probe.level(), 0);
    QVERIFY(!probe.pollTimer()->isActive());
    QVERIFY(probe.pollTimer()->isSingleShot());
    QCOMPARE(probe.pollTimer()->interval(), 60000);
    QCOMPARE(probe.viewTimer()->interval(), 500);
    QVERIFY(sidereal_time >= 0);
}

void TestMainWindow::initialCommandButtons()
{
    Velto_Obj_List window;
    auto &f = MainWindowProbe(window).form();
    for (QPushButton *b : {f.velto_send_btn, f.velto_stop_btn, f.velto_slew_btn}) {
        QVERIFY(!b->isEnabled());
        QCOMPARE(b->styleSheet(), QStringLiteral("color: gray;"));
    }
    QVERIFY(!f.velto_set_offset_btn->isEnabled());
    QVERIFY(f.velto_get_btn->isEnabled());
    QVERIFY(f.velto_get_offset_btn->isEnabled());
}

void TestMainWindow::fontsOfTheForm_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("family"); // empty: not named
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::newRow("window font on a label in a bold group") << "velto_obj_lab"
                                                            << "" << 10 << false << false;
    QTest::newRow("group title") << "groupBox_3"
                                 << "" << 10 << true << true;
    QTest::newRow("name") << "velto_obj_edt"
                          << "Sans Serif" << 10 << false << false;
    QTest::newRow("coord") << "velto_ra_edt"
                           << "Monospace" << 12 << true << false;
    QTest::newRow("get") << "velto_get_btn"
                         << "Sans Serif" << 9 << true << false;
    QTest::newRow("command") << "velto_slew_btn"
                             << "" << 9 << true << false;
    QTest::newRow("user") << "velto_user_cb"
                          << "" << 11 << false << false;
    QTest::newRow("set") << "velto_passwd_set_btn"
                         << "" << 11 << true << false;
    QTest::newRow("small") << "velto_passwd_lab"
                           << "" << 9 << false << false;
    QTest::newRow("state") << "velto_state_lab"
                           << "" << 11 << true << true;
    QTest::newRow("host") << "velto_host_lab"
                          << "" << 12 << false << true;
    QTest::newRow("tcs") << "vtcs_connect_lab"
                         << "" << 10 << true << false;
}

void TestMainWindow::fontsOfTheForm()
{
    QFETCH(QString, widget);
    QFETCH(QString, family);
    QFETCH(int, points);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    Velto_Obj_List window;
    auto *w = window.findChild<QWidget *>(widget);
    QVERIFY(w);
    if (!family.isEmpty())
        QCOMPARE(w->font().family(), family);
    QCOMPARE(w->font().pointSize(), points);
    QCOMPARE(w->font().bold(), bold);
    QCOMPARE(w->font().italic(), italic);
}

void TestMainWindow::actionsAndMenus()
{
    Velto_Obj_List window;
    QStringList names;
    for (QAction *a : window.findChildren<QAction *>(Qt::FindDirectChildrenOnly))
        if (a->objectName().startsWith(QLatin1String("action")))
            names << a->objectName();
    QCOMPARE(names, QStringList({"actionQuit", "actionClear_list", "actionRead_and_Add_list",
                                 "actionVelto_List", "actionVelto_Sky", "actionSave_list",
                                 "actionInsert_Object", "actionAdd_Object", "actionRemove_Object",
                                 "actionInsert_Comment", "actionNatLang", "actionAbout",
                                 "actionHelp", "actionAbout_Qt", "actionViewVelto", "actionAZGrid",
                                 "actionVelto_Corr"}));
    auto entries = [&](const char *menu) {
        QStringList out;
        for (QAction *a : window.findChild<QMenu *>(menu)->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        return out;
    };
    QCOMPARE(entries("menuFile"), QStringList({"actionRead_and_Add_list", "actionClear_list", "-",
                                               "actionSave_list", "-", "actionQuit"}));
    QCOMPARE(entries("menuWindows"),
             QStringList({"actionVelto_List", "actionVelto_Sky", "actionVelto_Corr",
                          "actionViewVelto", "actionAZGrid"}));
    QCOMPARE(entries("menuObjList"),
             QStringList({"actionAdd_Object", "actionInsert_Object", "actionInsert_Comment", "-",
                          "actionRemove_Object"}));
    QCOMPARE(entries("menuHelp"),
             QStringList({"actionNatLang", "actionHelp", "actionAbout", "actionAbout_Qt"}));
    QStringList titles;
    for (QAction *a : window.menuBar()->actions())
        titles << a->text();
    QCOMPARE(titles, QStringList({"File", "Windows", "ObjList", "Help"}));

    auto *natLang = window.findChild<QAction *>("actionNatLang");
    QVERIFY(natLang->isCheckable() && !natLang->isChecked());
    QCOMPARE(natLang->text(), QStringLiteral("in Russian"));
    auto *view = window.findChild<QAction *>("actionViewVelto");
    QVERIFY(view->isCheckable());
    QCOMPARE(view->iconText(), QStringLiteral("View as OVT (or AllSky)"));
    QCOMPARE(view->toolTip(), QStringLiteral("View like OVT (or Sky)"));
    QCOMPARE(
        window.findChild<QAction *>("actionRemove_Object")->toolTip(),
        QStringLiteral(
            "<html><head/><body><p>Remove current object or commen from list</p></body></html>"));
    for (QAction *a : window.findChildren<QAction *>())
        QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->objectName()));
}

void TestMainWindow::focusFollowsCreationOrder()
{
    Velto_Obj_List window;
    QStringList chain;
    QWidget *start = window.findChild<QWidget *>("velto_obj_edt");
    QWidget *w = start;
    do {
        if (w->focusPolicy() & Qt::TabFocus && w->objectName().startsWith(QLatin1String("velto_")))
            chain << w->objectName();
        w = w->nextInFocusChain();
    } while (w != start);
    QCOMPARE(chain,
             QStringList({"velto_obj_edt", "velto_ra_edt", "velto_decl_edt", "velto_epoch_edt",
                          "velto_clear_btn", "velto_get_btn", "velto_send_btn", "velto_stop_btn",
                          "velto_slew_btn", "velto_get_offset_btn", "velto_set_offset_btn",
                          "velto_offha_edt", "velto_offdec_edt", "velto_user_cb",
                          "velto_passwd_set_btn", "velto_passwd_edt", "velto_show_pass_btn"}));
}

void TestMainWindow::eyeIcon()
{
    Velto_Obj_List window;
    auto *button = MainWindowProbe(window).form().velto_show_pass_btn;
    QCOMPARE(button->iconSize(), QSize(20, 14));
    const QImage image = button->icon().pixmap(QSize(20, 14)).toImage();
    QCOMPARE(image.size(), QSize(20, 14));
    QCOMPARE(image.pixelColor(0, 0), QColor("#ffffff"));
    QCOMPARE(image.pixelColor(9, 2), QColor("#a6a6a6"));  // row 3 "......#abccda#......"
    QCOMPARE(image.pixelColor(12, 8), QColor("#fafafa")); // row 9 "..hcccb.#ff#kbccch.."
}

void TestMainWindow::retranslateKeepsFixedAndTypedTexts()
{
    Velto_Obj_List window;
    auto &f = MainWindowProbe(window).form();
    f.velto_ra_edt->setText(QStringLiteral("01:02:03"));
    f.velto_offha_edt->setText(QStringLiteral("1.5"));
    f.velto_obj_edt->setText(QStringLiteral("M 42"));
    f.velto_state_lab->setText(QStringLiteral("Track"));
    f.velto_obj_lab->setText(QStringLiteral("changed"));
    f.retranslateUi(&window);
    f.retranslateUi(&window);
    QCOMPARE(f.velto_ra_edt->text(), QStringLiteral("01:02:03"));
    QCOMPARE(f.velto_offha_edt->text(), QStringLiteral("1.5"));
    QCOMPARE(f.velto_obj_edt->text(), QStringLiteral("M 42"));
    QCOMPARE(f.velto_state_lab->text(), QStringLiteral("Track"));
    QCOMPARE(f.velto_offha_lab->text(), QStringLiteral("HA:"));
    QCOMPARE(f.vtcs_mode_lab->text(), QStringLiteral("Mode:"));
    QCOMPARE(f.vtcs_connect_lab->text(), QStringLiteral("Off"));
    QCOMPARE(f.velto_host_lab->text(), default_tcs_host());
    QCOMPARE(window.findChild<QAction *>("actionViewVelto")->toolTip(),
             QStringLiteral("View like OVT (or Sky)"));
    QCOMPARE(f.velto_obj_lab->text(), QStringLiteral("Obj.Name")); // translatable: set again
}

void TestMainWindow::setObjectOverloadsThroughTheBase_data()
{
    QTest::addColumn<int>("arguments");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("fields"); // name, ra, dec, epoch as shown
    QTest::newRow("ra and dec clear name and epoch")
        << 2 << "" << QStringList({"", "12:00:00", "+10:00:00", ""});
    QTest::newRow("name, ra and dec")
        << 3 << "Vega" << QStringList({"Vega", "12:00:00", "+10:00:00", ""});
    QTest::newRow("empty name stays cleared")
        << 3 << "" << QStringList({"", "12:00:00", "+10:00:00", ""});
    QTest::newRow("all four, epoch last")
        << 4 << "Vega" << QStringList({"Vega", "12:00:00", "+10:00:00", "1950.0"});
}

void TestMainWindow::setObjectOverloadsThroughTheBase()
{
    QFETCH(int, arguments);
    QFETCH(QString, name);
    QFETCH(QStringList, fields);
    Velto_Obj_List window;
    auto &f = MainWindowProbe(window).form();
    f.velto_obj_edt->setText(QStringLiteral("old"));
    f.velto_epoch_edt->setText(QStringLiteral("old"));
    Velto_object *base = &window;
    const QString ra = QStringLiteral("12:00:00"), dec = QStringLiteral("+10:00:00");
    if (arguments == 2)
        base->set_object(ra, dec);
    else if (arguments == 3)
        base->set_object(name, ra, dec);
    else
        base->set_object(name, ra, dec, QStringLiteral("1950.0"));
    QCOMPARE(QStringList({f.velto_obj_edt->text(), f.velto_ra_edt->text(), f.velto_decl_edt->text(),
                          f.velto_epoch_edt->text()}),
             fields);
    // The form is filled; the window's own object fields belong to the TCS.
    QCOMPARE(window.ra_sec, 0.0);
    QCOMPARE(window.Velto_object::name, QStringLiteral("Unknown"));
}

void TestMainWindow::setObjectShowsAHiddenWindow()
{
    Velto_Obj_List window;
    QVERIFY(window.isHidden());
    static_cast<Velto_object &>(window).set_object(QStringLiteral("1:00:00"),
                                                   QStringLiteral("+2:00:00"));
    QVERIFY(window.isVisible());
    static_cast<Velto_object &>(window).set_object(QStringLiteral("3:00:00"),
                                                   QStringLiteral("+4:00:00"));
    QVERIFY(window.isVisible());
    QCOMPARE(MainWindowProbe(window).form().velto_ra_edt->text(), QStringLiteral("3:00:00"));
}

void TestMainWindow::clearButton()
{
    Velto_Obj_List window;
    auto &f = MainWindowProbe(window).form();
    f.velto_obj_edt->setText(QStringLiteral("M 1"));
    f.velto_offha_edt->setText(QStringLiteral("2.5"));
    f.velto_offdec_edt->setText(QStringLiteral("-3"));
    f.velto_passwd_edt->setText(QStringLiteral("secret"));
    QTest::mouseClick(f.velto_clear_btn, Qt::LeftButton);
    QCOMPARE(f.velto_obj_edt->text(), QString());
    QCOMPARE(f.velto_ra_edt->text(), QString());
    QCOMPARE(f.velto_decl_edt->text(), QString());
    QCOMPARE(f.velto_epoch_edt->text(), QString());
    QCOMPARE(f.velto_offha_edt->text(), QStringLiteral("0.0"));
    QCOMPARE(f.velto_offdec_edt->text(), QStringLiteral("0.0"));
    QCOMPARE(f.velto_passwd_edt->text(), QStringLiteral("secret"));
    QCOMPARE(f.velto_state_lab->text(), QStringLiteral("Unknown"));
}

void TestMainWindow::startLines()
{
    LogCapture log;
    Velto_Obj_List window;
    const QRegularExpression start(
        QStringLiteral("^Velto_Obj_List start \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d$"));
    // The help window reports earlier when no manual lies beside the test.
    const int at = log.out.indexOf(start);
    QVERIFY2(at >= 0 && at + 1 < log.out.size(), qPrintable(log.out.join('|')));
    QCOMPARE(log.out.at(at).size(), 21 + 19);
    QVERIFY2(QRegularExpression(QStringLiteral("^stime=\\d\\d:\\d\\d:\\d\\d\\.\\d\\d$"))
                 .match(log.out.at(at + 1))
                 .hasMatch(),
             qPrintable(log.out.at(at + 1)));
}

void TestMainWindow::quitWritesTheStopLineLast()
{
    LogCapture log;
    auto *window = new Velto_Obj_List;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->findChild<QAction *>("actionQuit")->trigger();
    QVERIFY(!window->isVisible());
    delete window;
    QVERIFY(log.out.last().startsWith(QLatin1String("Velto_Obj_List stop ")));
    QCOMPARE(log.out.last().size(), 20 + 19);
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
