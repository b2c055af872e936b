#include "coords/coord_text.h"
#include "coords/sky_transform.h"
#include "list_window_probe.h"
#include "local_tcs.h"
#include "main_window_probe.h"
#include "sky_probe.h"

#include <QtTest>
#include <memory>

// Picking objects on the sky chart, the selection it shares with the list
// window, and the main window's view actions; the whole program's windows
// against the in-process simulator.
class TestSkyInteraction : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pickNearest_data();
    void pickNearest();
    void pressOnAnObjectSelectsItInTheList();
    void pressBesideSelectsNothingButRepaints();
    void earlierOfTwoEquidistantObjectsWins();
    void rightButtonDoesNothing();
    void pressWithoutSiderealTimeSelectsNothing();
    void lowObjectCannotBePicked();
    void doubleClickPassesTheObjectToTheForm();
    void secondPickFillsTheFormToo();
    void listClicksSelectOnTheChart();
    void setSelectedClamps_data();
    void setSelectedClamps();
    void shrinkingTheListMovesTheSelection();
    void clearingTheListSelectsNothing();
    void refreshSky_data();
    void refreshSky();
    void stateRepliesReachTheChart();
    void viewActions();
    void chartWindowAtStart();
    void quitClosesTheChart();

private:
    Velto_sky &sky() { return MainWindowProbe(*window).sky(); }
    Velto_list &list() { return *MainWindowProbe(*window).listWindow(); }
    // Appends an object n hours west of the meridian at a declination.
    void add_object(const QString &name, double hours_west, double dec_degrees);
    QPoint place(int row) const;
    void paint();
    int paints_after(const std::function<void()> &action);
    bool eventFilter(QObject *watched, QEvent *event) override;

    LocalTcs tcs;
    std::unique_ptr<Velto_Obj_List> window;
    int paint_count = 0;
};

void TestSkyInteraction::init()
{
    window = std::make_unique<Velto_Obj_List>();
    QVERIFY(QTest::qWaitForWindowExposed(&sky()));
    sidereal_time = 40000;
    sky().installEventFilter(this);
    paint_count = 0;
}

void TestSkyInteraction::cleanup()
{
    window.reset();
}

bool TestSkyInteraction::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        ++paint_count;
    return false;
}

void TestSkyInteraction::add_object(const QString &name, double hours_west, double dec_degrees)
{
    const double ra = sidereal_time - hours_west * 3600;
    list().insert_object(int(MainWindowProbe(*window).objList().size()), name,
                         sec_to_ra(ra < 0 ? ra + 86400 : ra), sec_to_dec(dec_degrees * 3600),
                         QStringLiteral("2000.0"));
}

QPoint TestSkyInteraction::place(int row) const
{
    const Velto_object *object = MainWindowProbe(*window).objList().at(row);
    return {object->sky_x, object->sky_y};
}

void TestSkyInteraction::paint()
{
    SkyProbe(sky()).render();
}

// Paint events the chart gets for the updates the action asks for.
int TestSkyInteraction::paints_after(const std::function<void()> &action)
{
    sky().repaint(); // nothing left over from before
    paint_count = 0;
    action();
    QCoreApplication::sendPostedEvents(&sky(), QEvent::UpdateRequest);
    return paint_count;
}

void TestSkyInteraction::pickNearest_data()
{
    QTest::addColumn<QList<QPoint>>("places"); // (-1, -1) or (0, y): not placed
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<int>("picked");
    QTest::newRow("exactly on it") << QList<QPoint>{{100, 100}} << QPoint(100, 100) << 0;
    QTest::newRow("9 pixels away") << QList<QPoint>{{100, 100}} << QPoint(109, 100) << 0;
    QTest::newRow("10 pixels away: nothing") << QList<QPoint>{{100, 100}} << QPoint(110, 100) << -1;
    QTest::newRow("7 and 7: 98 counts") << QList<QPoint>{{100, 100}} << QPoint(107, 107) << 0;
    QTest::newRow("nearest wins") << QList<QPoint>{{100, 100}, {104, 100}} << QPoint(103, 100) << 1;
    QTest::newRow("equal distance: the earlier")
        << QList<QPoint>{{100, 100}, {106, 100}} << QPoint(103, 100) << 0;
    QTest::newRow("not placed") << QList<QPoint>{{-1, -1}} << QPoint(0, 0) << -1;
    QTest::newRow("on the left edge: never picked")
        << QList<QPoint>{{0, 50}} << QPoint(0, 50) << -1;
}

void TestSkyInteraction::pickNearest()
{
    QFETCH(QList<QPoint>, places);
    QFETCH(QPoint, pointer);
    QFETCH(int, picked);
    QList<Velto_object *> objects;
    for (const QPoint &p : places) {
        auto *object = new Velto_object;
        object->is_comment = false;
        object->sky_x = p.x();
        object->sky_y = p.y();
        objects << object;
    }
    QCOMPARE(pick_object(objects, pointer, 550, 550), picked);
    qDeleteAll(objects);
}

void TestSkyInteraction::pressOnAnObjectSelectsItInTheList()
{
    add_object(QStringLiteral("A"), 1, 20);
    add_object(QStringLiteral("B"), -2, 40);
    add_object(QStringLiteral("C"), 3, 0);
    paint();
    QTest::mouseClick(&sky(), Qt::LeftButton, {}, place(1));
    QCOMPARE(SkyProbe(sky()).selected(), 1);
    QCOMPARE(ListWindowProbe(list()).rows().currentRow(), 1);
    QCOMPARE(ListWindowProbe(list()).lastRow(), 1);
}

void TestSkyInteraction::pressBesideSelectsNothingButRepaints()
{
    add_object(QStringLiteral("A"), 1, 20);
    add_object(QStringLiteral("B"), 2, 20); // the last inserted row is current
    paint();
    const int paints = paints_after(
        [&] { QTest::mousePress(&sky(), Qt::LeftButton, {}, place(0) + QPoint(10, 0)); });
    QCOMPARE(SkyProbe(sky()).selected(), -1);
    QCOMPARE(ListWindowProbe(list()).rows().currentRow(), 1);
    QCOMPARE(paints, 1);
}

void TestSkyInteraction::earlierOfTwoEquidistantObjectsWins()
{
    add_object(QStringLiteral("A"), 1, 20);
    add_object(QStringLiteral("B"), 2, 20);
    paint();
    // A press uses the places of the last paint.
    Velto_object *a = MainWindowProbe(*window).objList().at(0);
    Velto_object *b = MainWindowProbe(*window).objList().at(1);
    a->sky_x = b->sky_x - 6;
    a->sky_y = b->sky_y;
    QTest::mouseClick(&sky(), Qt::LeftButton, {}, place(1) - QPoint(3, 0));
    QCOMPARE(SkyProbe(sky()).selected(), 0);
    QTest::mouseClick(&sky(), Qt::LeftButton, {}, place(1) - QPoint(2, 0));
    QCOMPARE(SkyProbe(sky()).selected(), 1);
}

void TestSkyInteraction::rightButtonDoesNothing()
{
    add_object(QStringLiteral("A"), 1, 20);
    add_object(QStringLiteral("B"), 2, 20);
    paint();
    const int paints =
        paints_after([&] { QTest::mousePress(&sky(), Qt::RightButton, {}, place(0)); });
    QCOMPARE(paints, 0);
    QCOMPARE(SkyProbe(sky()).selected(), -1);
    QCOMPARE(ListWindowProbe(list()).rows().currentRow(), 1);
}

void TestSkyInteraction::pressWithoutSiderealTimeSelectsNothing()
{
    add_object(QStringLiteral("A"), 1, 20);
    paint();
    const QPoint at = place(0);
    sidereal_time = -1;
    const int paints = paints_after([&] { QTest::mousePress(&sky(), Qt::LeftButton, {}, at); });
    QCOMPARE(SkyProbe(sky()).selected(), -1);
    QCOMPARE(paints, 1);
}

void TestSkyInteraction::lowObjectCannotBePicked()
{
    add_object(QStringLiteral("Low"), 0, -43); // 86.65 degrees from the zenith
    paint();
    QCOMPARE(place(0), QPoint(-1, -1));
    QTest::mouseClick(&sky(), Qt::LeftButton, {}, QPoint(275, 540));
    QTest::mouseClick(&sky(), Qt::LeftButton, {}, QPoint(0, 0));
    QCOMPARE(SkyProbe(sky()).selected(), -1);
}

void TestSkyInteraction::doubleClickPassesTheObjectToTheForm()
{
    add_object(QStringLiteral("Vega"), 1, 38);
    add_object(QStringLiteral("Deneb"), 2, 45); // now the last row
    paint();
    auto &form = MainWindowProbe(*window).form();
    // As the system delivers a double click: a click, then the double click.
    QTest::mouseClick(&sky(), Qt::LeftButton, {}, place(0));
    QCOMPARE(form.velto_obj_edt->text(), QString());
    QTest::mouseDClick(&sky(), Qt::LeftButton, {}, place(0));
    QCOMPARE(SkyProbe(sky()).selected(), 0);
    QCOMPARE(form.velto_obj_edt->text(), QStringLiteral("Vega"));
    QCOMPARE(form.velto_ra_edt->text(), MainWindowProbe(*window).objList().at(0)->ra_str);
    QCOMPARE(form.velto_epoch_edt->text(), QStringLiteral("2000.0"));
}

void TestSkyInteraction::secondPickFillsTheFormToo()
{
    add_object(QStringLiteral("Vega"), 1, 38);
    add_object(QStringLiteral("Deneb"), 2, 45);
    paint();
    auto &form = MainWindowProbe(*window).form();
    form.velto_obj_edt->clear();
    QTest::mouseClick(&sky(), Qt::LeftButton, {}, place(0));
    QCOMPARE(form.velto_obj_edt->text(), QString()); // the first pick only marks it
    QTest::mouseClick(&sky(), Qt::LeftButton, {}, place(0));
    QCOMPARE(form.velto_obj_edt->text(), QStringLiteral("Vega"));
}

void TestSkyInteraction::listClicksSelectOnTheChart()
{
    add_object(QStringLiteral("A"), 1, 20);
    add_object(QStringLiteral("B"), 2, 20);
    list().insert_comment(2, QStringLiteral("a comment"));
    QListWidget &rows = ListWindowProbe(list()).rows();
    list().velto_list_click(rows.item(0));
    QCOMPARE(SkyProbe(sky()).selected(), 0);
    list().velto_list_doubleclick(rows.item(1));
    QCOMPARE(SkyProbe(sky()).selected(), 1);
    list().velto_list_click(rows.item(2)); // a comment row: the chart keeps its object
    QCOMPARE(SkyProbe(sky()).selected(), 1);
    list().velto_list_choice(0);
    QCOMPARE(SkyProbe(sky()).selected(), 0);
}

void TestSkyInteraction::setSelectedClamps_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("selected");
    QTest::newRow("7 of 5 is the last") << 7 << 4;
    QTest::newRow("-3 is none") << -3 << -1;
    QTest::newRow("2 stays") << 2 << 2;
}

void TestSkyInteraction::setSelectedClamps()
{
    QFETCH(int, row);
    QFETCH(int, selected);
    for (int i = 0; i < 5; ++i)
        add_object(QString::number(i), i, 10);
    const int paints = paints_after([&] { sky().set_selected(row); });
    QCOMPARE(SkyProbe(sky()).selected(), selected);
    QCOMPARE(paints, 1);
}

void TestSkyInteraction::shrinkingTheListMovesTheSelection()
{
    for (int i = 0; i < 5; ++i)
        add_object(QString::number(i), i, 10);
    sky().set_selected(4);
    list().remove_row(4);
    QCOMPARE(SkyProbe(sky()).selected(), 3); // the new last entry
    list().remove_row(0);
    QCOMPARE(SkyProbe(sky()).selected(), 2);
    sky().set_selected(1);
    list().remove_row(2);
    QCOMPARE(SkyProbe(sky()).selected(), 1); // still in the list: kept
}

void TestSkyInteraction::clearingTheListSelectsNothing()
{
    for (int i = 0; i < 3; ++i)
        add_object(QString::number(i), i, 10);
    sky().set_selected(1);
    list().clear_list();
    QCOMPARE(SkyProbe(sky()).selected(), -1);
    sky().set_selected(2);
    QCOMPARE(SkyProbe(sky()).selected(), -1); // nothing to select in an empty list
}

void TestSkyInteraction::refreshSky_data()
{
    QTest::addColumn<bool>("listEmpty");
    QTest::addColumn<bool>("stateOk");
    QTest::addColumn<bool>("telescopePlaced");
    QTest::addColumn<double>("stime");
    QTest::addColumn<int>("paints");
    QTest::newRow("no sidereal time: nothing") << false << true << true << -1.0 << 0;
    QTest::newRow("empty list, state ok: repaint") << true << true << true << 40000.0 << 1;
    QTest::newRow("empty list, state not ok: none") << true << false << true << 40000.0 << 0;
    QTest::newRow("objects, telescope placed: repaint") << false << false << true << 40000.0 << 1;
    QTest::newRow("objects, state ok: repaint") << false << true << false << 40000.0 << 1;
    QTest::newRow("objects, neither: none") << false << false << false << 40000.0 << 0;
}

void TestSkyInteraction::refreshSky()
{
    QFETCH(bool, listEmpty);
    QFETCH(bool, stateOk);
    QFETCH(bool, telescopePlaced);
    QFETCH(double, stime);
    QFETCH(int, paints);
    if (!listEmpty)
        add_object(QStringLiteral("A"), 1, 20);
    sky().set_tcs_ok(stateOk);
    MainWindowProbe(*window).telescope().is_comment = !telescopePlaced;
    sidereal_time = stime;
    QCOMPARE(paints_after([&] { sky().refresh_sky(); }), paints);
}

void TestSkyInteraction::stateRepliesReachTheChart()
{
    MainWindowProbe probe(*window);
    SkyProbe chart(sky());
    auto get_state = [&](const QByteArray &body) {
        tcs.sim.set_canned_body(SimScript::State, body);
        QMetaObject::invokeMethod(window.get(), "on_velto_get_btn_clicked");
        QTRY_VERIFY(!probe.stateReplyPending());
    };
    sky().repaint();
    paint_count = 0;
    get_state("State=Ok\nTelFlip=Yes\nStime=10.5\nA=30\nZ=40\n");
    QTRY_VERIFY(paint_count > 0); // refreshed after the reply
    QVERIFY(chart.tcsOk());
    QVERIFY(chart.telFlip());
    QCOMPARE(sidereal_time, 10.5 * 3600);
    SkyProbe(sky()).render();
    QCOMPARE(QPoint(probe.telescope().sky_x, probe.telescope().sky_y),
             project(30 * 3600, 40 * 3600, 550, SkyView::Sky));
    get_state("State=Busy\nTelFlip=No\n");
    QVERIFY(!chart.tcsOk());
    QVERIFY(!chart.telFlip());
    tcs.sim.set_canned_body(SimScript::State, std::nullopt);
}

void TestSkyInteraction::viewActions()
{
    auto *ovt = window->findChild<QAction *>(QStringLiteral("actionViewVelto"));
    auto *azgrid = window->findChild<QAction *>(QStringLiteral("actionAZGrid"));
    SkyProbe probe(sky());
    QCOMPARE(probe.view(), SkyView::Sky);
    QCOMPARE(probe.grid(), SkyGrid::HaDec);
    QCOMPARE(paints_after([&] { ovt->trigger(); }), 1);
    QCOMPARE(probe.view(), SkyView::Ovt);
    QCOMPARE(paints_after([&] { azgrid->trigger(); }), 1);
    QCOMPARE(probe.grid(), SkyGrid::AltAz);
    ovt->trigger();
    azgrid->trigger();
    QCOMPARE(probe.view(), SkyView::Sky);
    QCOMPARE(probe.grid(), SkyGrid::HaDec);
}

void TestSkyInteraction::chartWindowAtStart()
{
    QVERIFY(sky().isVisible());
    QVERIFY(!sky().parent());
    QCOMPARE(sky().pos(), QPoint(300, 100));
    QCOMPARE(sky().size(), QSize(550, 550));
    QCOMPARE(sky().objectName(), QStringLiteral("Velto_sky"));
    QCOMPARE(sky().windowTitle(), QStringLiteral("Velto Sky"));
    QCOMPARE(sky().frameShape(), QFrame::StyledPanel);
    QCOMPARE(SkyProbe(sky()).listWindow(), &list());
    QCOMPARE(SkyProbe(sky()).host(), tcs.sim.host_text());
    auto *toggle = window->findChild<QAction *>(QStringLiteral("actionVelto_Sky"));
    toggle->trigger();
    QVERIFY(!sky().isVisible());
    toggle->trigger();
    QVERIFY(sky().isVisible());
}

void TestSkyInteraction::quitClosesTheChart()
{
    window->show();
    window->findChild<QAction *>(QStringLiteral("actionQuit"))->trigger();
    QVERIFY(!sky().isVisible());
    QVERIFY(!list().isVisible());
}

QTEST_MAIN(TestSkyInteraction)
#include "tst_sky_interaction.moc"
