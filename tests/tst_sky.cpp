#include "coords/coord_text.h"
#include "coords/sky_transform.h"
#include "local_tcs.h"
#include "log_capture.h"
#include "main_window_probe.h"
#include "modal_closer.h"
#include "objlist/velto_list.h"
#include "sky_probe.h"

#include <QBuffer>
#include <QListWidget>
#include <QRandomGenerator>
#include <QtTest>
#include <vector>

Q_DECLARE_METATYPE(SkyView)
Q_DECLARE_METATYPE(SimFault)

// The sky chart: where things land on it, the horizon profiles from the TCS
// host, what is painted where, and picking objects with the mouse.
class TestSky : public QObject
{
    Q_OBJECT

private slots:
    void projection_data();
    void projection();
    void altazGrid();
    void placementFollowsChanges_data();
    void placementFollowsChanges();
    void placementMatchesTransform_data();
    void placementMatchesTransform();
    void horizonReading_data();
    void horizonReading();
    void horizonRequests_data();
    void horizonRequests();
    void markersPainted_data();
    void markersPainted();
    void picking_data();
    void picking();

private:
    LocalTcs tcs;
};

constexpr double deg = 3600.0; // arcseconds per degree

void TestSky::projection_data()
{
    QTest::addColumn<double>("azimuth"); // degrees from the south toward the west
    QTest::addColumn<double>("zenith");  // degrees
    QTest::addColumn<int>("side");
    QTest::addColumn<SkyView>("view");
    QTest::addColumn<QPoint>("pixel");
    const SkyView sky = SkyView::Sky, ovt = SkyView::Ovt;

    QTest::newRow("zenith in the centre") << 0.0 << 0.0 << 550 << sky << QPoint(275, 275);
    QTest::newRow("south on the horizon: down") << 0.0 << 90.0 << 550 << sky << QPoint(275, 550);
    QTest::newRow("south on the horizon, OVT: up") << 0.0 << 90.0 << 550 << ovt << QPoint(275, 1);
    QTest::newRow("south at 30 degrees") << 0.0 << 30.0 << 550 << sky << QPoint(275, 367);
    QTest::newRow("south at 30 degrees, OVT") << 0.0 << 30.0 << 550 << ovt << QPoint(275, 139);
    QTest::newRow("east truncated toward zero") << -90.0 << 60.0 << 550 << sky << QPoint(93, 275);
    QTest::newRow("west at 30 degrees, OVT") << 90.0 << 30.0 << 550 << ovt << QPoint(412, 275);
    QTest::newRow("north-west, odd side") << 135.0 << 45.0 << 401 << sky << QPoint(271, 130);
    QTest::newRow("far off the chart: clamped") << 90.0 << 1e12 << 550 << sky << QPoint(2475, 275);
}

void TestSky::projection()
{
    QFETCH(double, azimuth);
    QFETCH(double, zenith);
    QFETCH(int, side);
    QFETCH(SkyView, view);
    QTEST(project(azimuth * deg, zenith * deg, side, view), "pixel");
}

// The A/Z grid's circles and azimuth lines (from 5, 10 or 20 degrees out to
// the horizon), and where the telescope's text lines start.
void TestSky::altazGrid()
{
    QCOMPARE(telescope_text_origin(550, 1), QPoint(403, 15));
    QCOMPARE(telescope_text_origin(651, 5), QPoint(557, 90));
    const AltAzGrid sky = altaz_grid(550, SkyView::Sky);
    QCOMPARE(sky.circle_radii, (QVector<int>{15, 31, 61, 92, 122, 153, 183, 214, 244}));
    QCOMPARE(altaz_grid(550, SkyView::Ovt).circle_radii,
             (QVector<int>{24, 48, 94, 137, 177, 211, 238, 258, 271}));
    QCOMPARE(sky.azimuth_lines.size(), 36);
    QCOMPARE(sky.azimuth_lines[0], QLine(275, 290, 275, 550)); // south from 5 degrees
    QCOMPARE(sky.azimuth_lines[3].p1(), project(30 * deg, 10 * deg, 550, SkyView::Sky));
    QCOMPARE(sky.azimuth_lines[1].p1(), project(10 * deg, 20 * deg, 550, SkyView::Sky));
    QCOMPARE(sky.azimuth_lines[9].p2(), QPoint(550, 275)); // west on the horizon
}

void TestSky::placementFollowsChanges_data()
{
    QTest::addColumn<QString>("change");
    for (const char *change : {"nothing", "sidereal time", "side", "view", "object moved",
                               "declination changed", "object replaced", "comment"})
        QTest::newRow(change) << change;
}

// The placement remembers its results; each change must still show.
void TestSky::placementFollowsChanges()
{
    QFETCH(QString, change);
    // An object at R.A. 0, Dec. 0 has the numbers of a row never placed yet.
    Velto_object origin, star, other, low;
    origin.is_comment = star.is_comment = other.is_comment = low.is_comment = false;
    star.ra_sec = other.ra_sec = 3600;
    star.dec_sec = other.dec_sec = 40 * deg;
    low.dec_sec = -80 * deg; // never above 86 degrees from the zenith: not drawn
    QList<Velto_object *> objects{&origin, &star, &low};
    sidereal_time = 7200;
    int side = 550;
    SkyView view = SkyView::Sky;
    ObjectPlacement placement;
    placement.place(objects, side, view);

    sidereal_time += change == "sidereal time" ? 1800 : 0;
    side = change == "side" ? 400 : side;
    view = change == "view" ? SkyView::Ovt : view;
    star.ra_sec += change == "object moved" ? 1800 : 0;
    star.dec_sec += change == "declination changed" ? 5 * deg : 0;
    if (change == "object replaced")
        objects[1] = &other;
    other.dec_sec += 10 * deg;
    objects[0]->is_comment = change == "comment";
    placement.place(objects, side, view);

    for (const Velto_object *object : objects) {
        double a = 0, z = 0;
        radec_to_az(object->ra_sec, object->dec_sec, a, z);
        const bool drawn = !object->is_comment && z < 86 * deg;
        const QPoint at = drawn ? project(a, z, side, view) : QPoint(-1, -1);
        QCOMPARE(QPoint(object->sky_x, object->sky_y), at);
        QVERIFY(object->is_comment || (object->azimuth == a && object->zenith_dist == z));
    }
}

void TestSky::placementMatchesTransform_data()
{
    QTest::addColumn<SkyView>("view");
    QTest::addColumn<int>("side");
    QTest::newRow("sky, 550") << SkyView::Sky << 550;
    QTest::newRow("sky, 1001") << SkyView::Sky << 1001;
    QTest::newRow("OVT, 550") << SkyView::Ovt << 550;
    QTest::newRow("OVT, 1001") << SkyView::Ovt << 1001;
}

// The chart pixel the transform gives one object at the current sidereal time.
QPoint direct_pixel(double ra, double dec, int side, SkyView view)
{
    double a = 0, z = 0;
    radec_to_az(ra, dec, a, z);
    return z < 86 * deg ? project(a, z, side, view) : QPoint(-1, -1);
}

// Two declinations on either side of the first pixel edge north of `dec`,
// as close as doubles go: where rounding decides the pixel.
std::pair<double, double> pixel_edge(double ra, double dec, int side, SkyView view)
{
    const QPoint start = direct_pixel(ra, dec, side, view);
    double low = dec, high = dec;
    while (direct_pixel(ra, high, side, view) == start && high < 90 * deg)
        high += 60;
    for (double mid = low + (high - low) / 2; mid > low && mid < high; mid = low + (high - low) / 2)
        (direct_pixel(ra, mid, side, view) == start ? low : high) = mid;
    return {low, high};
}

// 10,000 objects anywhere on the sky, and objects on pixel edges, placed
// again as the sidereal time moves on: every pixel, azimuth and zenith
// distance as the transform gives them one object at a time.
void TestSky::placementMatchesTransform()
{
    QFETCH(SkyView, view);
    QFETCH(int, side);
    const double sidereal_times[] = {0.0, 1.0, 20000.0, 43199.5, 61234.0, 86399.0};
    const int edges_per_time = 40;
    QRandomGenerator random(20261207);
    std::vector<Velto_object> objects(10000 + 2 * edges_per_time * std::size(sidereal_times));
    for (Velto_object &object : objects) {
        object.is_comment = false;
        object.ra_sec = random.bounded(86400.0);
        object.dec_sec = random.bounded(180 * deg) - 90 * deg;
    }
    objects[0].ra_sec = 20000.0; // at the zenith at sidereal time 20000
    objects[0].dec_sec = 43.6535277 * deg;
    objects[1].ra_sec = 3e15; // from a damaged list
    auto edge = objects.begin() + 10000;
    for (double sidereal : sidereal_times) {
        sidereal_time = sidereal;
        for (int i = 0; i < edges_per_time; ++i, edge += 2) {
            const double ra = edge->ra_sec;
            const auto [low, high] =
                pixel_edge(ra, random.bounded(120 * deg) - 40 * deg, side, view);
            edge[0].ra_sec = edge[1].ra_sec = ra;
            edge[0].dec_sec = low;
            edge[1].dec_sec = high;
        }
    }
    QList<Velto_object *> list;
    for (Velto_object &object : objects)
        list << &object;
    ObjectPlacement placement;
    int mismatches = 0;
    for (double sidereal : sidereal_times) {
        sidereal_time = sidereal;
        placement.place(list, side, view);
        for (const Velto_object &object : objects) {
            double a = 0, z = 0;
            radec_to_az(object.ra_sec, object.dec_sec, a, z);
            mismatches += QPoint(object.sky_x, object.sky_y) !=
                              direct_pixel(object.ra_sec, object.dec_sec, side, view) ||
                          object.azimuth != a || object.zenith_dist != z;
        }
    }
    QCOMPARE(mismatches, 0);
}

void TestSky::horizonReading_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<double>>("last"); // azimuth and zenith distance of the last point
    const auto row = [](const char *tag, const QByteArray &reply, bool reverse, int count,
                        const QList<double> &last) {
        QTest::newRow(tag) << reply << reverse << count << last;
    };

    row("direct heading", "# direct\n0 10\n90 5\n270 0\n", false, 3, {90, 90});
    row("reverse heading", "#reverse\n0 10\n", true, 1, {180, 80});
    row("no heading: direct", "10 20\n", false, 1, {190, 70});
    row("late heading ignored", "180 3\n# reverse\n", false, 1, {360, 87});
    row("empty line: north horizon", "# reverse\n5 5\n\n", true, 2, {180, 90});
    row("non-finite numbers count 0", "nan inf\n", false, 1, {180, 90});
    row("400 lines: 360 points", QByteArray("1 1\n").repeated(359) + "2 2\n3 3\n", false, 360,
        {182, 88});
}

void TestSky::horizonReading()
{
    QFETCH(QByteArray, reply);
    QBuffer buffer(&reply);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const HorizonReading reading = read_horizon(buffer);
    QTEST(reading.target == HorizonKind::Reverse, "reverse");
    QTEST(int(reading.points.size()), "count");
    QTEST((QList<double>{reading.points.last().azimuth, reading.points.last().zenith_dist}),
          "last");
}

void TestSky::horizonRequests_data()
{
    QTest::addColumn<SimFault>("fault");
    QTest::addColumn<QStringList>("lines"); // beginnings of the standard error lines

    const QString loaded = "Loading 360 '%1'";
    QTest::newRow("both loaded") << SimFault::None
                                 << QStringList{loaded.arg("direct"), loaded.arg("reverse")};
    QTest::newRow("HTTP 500") << SimFault::ServerError
                              << QStringList(2, "Velto horizon read error 401 ");
    QTest::newRow("closed mid-reply")
        << SimFault::CloseConnection << QStringList(2, "Velto horizon read error 2 ");
    QTest::newRow("slow: no second request")
        << SimFault::Delay << QStringList{"velto_horizon.rev read error ", loaded.arg("direct")};
}

// The chart asks for the direct profile at once and the reverse one 500 ms
// later; a failure is one error line and one box per request.
void TestSky::horizonRequests()
{
    QFETCH(SimFault, fault);
    QFETCH(QStringList, lines);
    tcs.sim.set_fault(SimScript::Horizon, fault, 1000);
    LogCapture log;
    ModalCloser closer;
    QList<Velto_object *> objects;
    Velto_object telescope;
    Velto_sky sky(nullptr, &objects, &telescope);
    QTRY_COMPARE(log.err.size(), lines.size());
    QTRY_VERIFY(!SkyProbe(sky).pendingReply());
    for (int i = 0; i < lines.size(); ++i)
        QVERIFY2(log.err[i].startsWith(lines[i]), qPrintable(log.err[i]));
    // One box for each failed request, none for a refused one.
    QTRY_COMPARE(closer.closed(), int(lines.filter("Velto horizon read error").size()));
    for (int i = 0; i < closer.closed(); ++i) {
        QCOMPARE(closer.titles()[i], tcs.sim.host_text() + " HTTP error");
        QCOMPARE(closer.texts()[i], log.err[i].mid(lines[i].size()));
    }
    tcs.sim.set_fault(SimScript::Horizon, SimFault::None);
}

void TestSky::markersPainted_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<QList<int>>("sizes"); // arm end, circle, gap, dot, pen width

    QTest::newRow("651") << 651 << QList<int>{14, 15, 4, 5, 2};
    QTest::newRow("650") << 650 << QList<int>{11, 12, 3, 4, 2};
    QTest::newRow("450") << 450 << QList<int>{11, 12, 3, 4, 2};
    QTest::newRow("449") << 449 << QList<int>{8, 9, 2, 3, 1};
    QTest::newRow("350") << 350 << QList<int>{8, 9, 2, 3, 1};
    QTest::newRow("349") << 349 << QList<int>{5, 6, 1, 2, 1};
    QTest::newRow("100: the smallest painted") << 100 << QList<int>{5, 6, 1, 2, 1};
    QTest::newRow("99: not painted, the size kept") << 99 << QList<int>{5, 6, 1, 2, 1};
}

// The marker sizes for the chart's side; the telescope's red cross and the
// selected object's blue one, each with the gap in its middle, where the
// object and the telescope are.
void TestSky::markersPainted()
{
    QFETCH(int, side);
    const MarkerSizes m = marker_sizes(side);
    QTEST((QList<int>{m.arm_end, m.circle, m.gap, m.dot, marker_pen_width(side)}), "sizes");
    Velto_object telescope, star;
    telescope.is_comment = star.is_comment = false;
    telescope.zenith_dist = 45 * deg;
    telescope.azimuth = -20 * deg;
    QList<Velto_object *> objects{&star};
    sidereal_time = 20000;
    star.ra_sec = sidereal_time - 3600;
    star.dec_sec = 30 * deg;
    Velto_sky sky(nullptr, &objects, &telescope);
    sky.set_tcs_ok(true);
    sky.set_selected(-3); // no row: nothing marked
    QCOMPARE(SkyProbe(sky).selected(), -1);
    sky.set_selected(7); // beyond the list: its last object
    sky.resize(side, side);
    const QImage image = SkyProbe(sky).render();
    QCOMPARE(SkyProbe(sky).chartWidth(), side < 100 ? 550 : side);
    if (side < 100)
        return;

    const auto near = [&](QPoint at, QColor colour) {
        for (const QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)})
            if (image.pixelColor(at + d) == colour)
                return true;
        return false;
    };
    const int arm = m.gap + 1;
    const QPoint t = project(telescope.azimuth, telescope.zenith_dist, side, SkyView::Sky);
    QVERIFY(near(t - QPoint(arm, 0), Qt::red) && near(t + QPoint(0, arm), Qt::red));
    QVERIFY(image.pixelColor(t) != Qt::red);
    const QPoint s(star.sky_x, star.sky_y);
    QVERIFY(s.x() > 0 && s.y() > 0);
    QVERIFY(near(s + QPoint(arm, arm), Qt::blue) && near(s - QPoint(arm, -arm), Qt::blue));
    QVERIFY(image.pixelColor(s) != Qt::blue);
    // The blue cross keeps the width the telescope gave the pen: one pixel
    // per step along each arm at width 1, more at width 2.
    int blue = 0;
    for (int dx = -m.arm_end; dx <= m.arm_end; ++dx)
        for (int dy = -m.arm_end; dy <= m.arm_end; ++dy)
            blue += image.pixelColor(s + QPoint(dx, dy)) == Qt::blue;
    QCOMPARE(blue > 4 * (m.arm_end - m.gap + 1), marker_pen_width(side) == 2);
}

void TestSky::picking_data()
{
    QTest::addColumn<QPoint>("offset"); // of the press from the second object
    QTest::addColumn<int>("picked");
    QTest::newRow("on it") << QPoint(0, 0) << 1;
    QTest::newRow("9 pixels away") << QPoint(0, 9) << 1;
    QTest::newRow("10 pixels away: nothing") << QPoint(10, 0) << -1;
}

// A press on an object selects it on the chart and in the list; a second
// press on it puts it into the main window's form.
void TestSky::picking()
{
    QFETCH(QPoint, offset);
    QFETCH(int, picked);
    Velto_Obj_List window;
    MainWindowProbe probe(window);
    Velto_list &list = *probe.listWindow();
    sidereal_time = 40000;
    for (double hours : {1.0, -2.0, 3.0})
        list.insert_object(int(probe.objList().size()), QString::number(hours),
                           sec_to_ra(sidereal_time - hours * 3600), sec_to_dec(30 * deg), "2000.0");
    SkyProbe(probe.sky()).render();
    const Velto_object &object = *probe.objList().at(1);
    const QPoint at = QPoint(object.sky_x, object.sky_y) + offset;
    QTest::mouseClick(&probe.sky(), Qt::LeftButton, {}, at);
    // A miss keeps the selection: the last inserted row.
    const int selected = picked < 0 ? 2 : picked;
    QCOMPARE(SkyProbe(probe.sky()).selected(), selected);
    QCOMPARE(list.findChild<QListWidget *>("velto_obj_lst")->currentRow(), selected);
    QCOMPARE(probe.form().velto_obj_edt->text(), QString());
    QTest::mouseClick(&probe.sky(), Qt::LeftButton, {}, at);
    QCOMPARE(probe.form().velto_obj_edt->text(), picked < 0 ? QString() : object.name);
}

QTEST_MAIN(TestSky)
#include "tst_sky.moc"
