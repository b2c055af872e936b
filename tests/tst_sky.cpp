#include "coords/coord_text.h"
#include "coords/sky_transform.h"
#include "local_tcs.h"
#include "log_capture.h"
#include "main_window_probe.h"
#include "modal_closer.h"
#include "objlist/velto_list.h"
#include "sky_probe.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QtTest>
#include <vector>

Q_DECLARE_METATYPE(SimFault)

namespace
{

constexpr double deg = 3600.0; // arcseconds per degree
constexpr double pi = 3.141592653589793;

// Azimuth (from the south, positive to the west) and zenith distance in arcseconds of a place `ha`
// seconds of time west of the meridian at declination `dec` arcseconds, by the site's formulas.
QPointF horizontal(double ha, double dec)
{
    const double t = (15 * ha < 0 ? 15 * ha + 1296000 : 15 * ha) * 4.84813681109536e-6;
    const double d = dec * pi / 648000;
    const double z =
        std::acos(std::cos(t) * (0.7235272793 * std::cos(d)) + 0.6902957888 * std::sin(d));
    const double a =
        std::atan2(std::sin(t) * std::cos(d),
                   0.6902957888 * std::cos(d) * std::cos(t) - 0.7235272793 * std::sin(d));
    return {a * 648000 / pi, z * 648000 / pi};
}

// The pixel of a horizontal position (arcseconds) on a chart of this side.
QPoint chart_pixel(QPointF at, int side, bool ovt)
{
    const int r = side / 2;
    const double a = at.x() * pi / 648000;
    const double rho = ovt ? r * std::sin(at.y() * pi / 648000) : r * at.y() / 324000;
    return {r + int(rho * std::sin(a) + 0.5),
            r + int(ovt ? 0.5 - rho * std::cos(a) : rho * std::cos(a) + 0.5)};
}

// The painted scene: the telescope; objects (R.A. s, Dec. deg), the second selected.
const QPointF telescope_at(120 * deg, 35 * deg);
const QPointF stars[] = {{37200, 40}, {26400, 60}};

// What of the scene is painted wrong at this sidereal time (seconds), flipped on the A/Z grid or
// direct on the HA/Dec one: the disc, the telescope's side's horizon, its cross and circle, the
// objects' circles, the selected one's cross, points of the HA/Dec grid's equator and +40 deg
// on either side of the meridian.
QStringList misplaced(const QStringList &drawn, int side, bool ovt, bool flip, double stime)
{
    QStringList wrong;
    const auto expect = [&](bool ok, const QString &what) { wrong << (ok ? "" : what); };
    const auto point = [](QPoint p) { return QString("%1,%2").arg(p.x()).arg(p.y()); };
    const auto line = [&](const char *pen, QPoint from, QPoint to) {
        return drawn.contains(QString("%1 line %2 %3").arg(pen, point(from), point(to)));
    };
    const auto ends = [&](const char *pen, QPoint at) { // a line of this pen ends there
        const QRegularExpression end(QString("^%1 line (\\S+ )?%2( |$)").arg(pen, point(at)));
        return !drawn.filter(end).isEmpty();
    };
    const auto pixel = [&](QPointF at) { return chart_pixel(at, side, ovt); };
    const auto star = [&](int i) {
        return pixel(horizontal(stime - stars[i].x(), stars[i].y() * deg));
    };
    const int r = side / 2, rr = int(side / 2.0 + 0.5), big = side > 449;
    const int a = big ? 11 : 8, c = big ? 3 : 2, circle = big ? 12 : 9, dot = big ? 4 : 3;
    const int z80 = pixel(QPointF(90, 80) * deg).x() - r; // the A/Z grid's outer circle
    const QString disc = "#000000 ellipse %1,%1,%2,%2 %3";
    expect(drawn.contains(disc.arg(r - rr).arg(2 * rr).arg("#ffffff")) &&
               (!flip || drawn.contains(disc.arg(r - z80).arg(2 * z80).arg("none"))),
           "disc");
    const auto profile = [&](int az, bool reverse) { // 10 degrees high direct, 30 reverse
        return pixel(QPointF((az + 180) % 360, reverse ? 60 : 80) * deg);
    };
    for (int az = 0; az < 360; az += 60) // each side of the outline, the last one closing it
        expect(line("#ff0000", profile(az, flip), profile(az + 60, flip)) &&
                   !line("#ff0000", profile(az, !flip), profile(az + 60, !flip)),
               QString("horizon at %1").arg(az));
    const QPoint t = pixel(telescope_at), s = star(1), corner(circle, circle);
    expect(drawn.contains(
               QString("#ff0000 ellipse %1,%2,%2 none").arg(point(t - corner)).arg(2 * circle)),
           "telescope circle");
    for (const QPoint arm : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
        const QPoint diagonal = arm + QPoint(arm.y(), -arm.x());
        expect(line("#ff0000", t + c * arm, t + a * arm), "telescope");
        expect(line("#0000ff", s + c * diagonal, s + a * diagonal), "selected");
    }
    for (int i : {0, 1}) // a stamp for each: the circle, its pen of 2 and a pixel around
        expect(drawn.contains("image " + point(star(i) - QPoint(dot + 3, dot + 3))), "objects");
    expect(!flip == (ends("#000000", pixel(horizontal(3 * 3600, 0))) &&
                     ends("#000000", pixel(horizontal(20.999 * 3600, 0))) &&
                     ends("#808080", pixel(horizontal(2 * 3600, 40 * deg))) &&
                     ends("#808080", pixel(horizontal(21.999 * 3600, 40 * deg)))),
           "HA/Dec grid");
    wrong.removeAll(QString());
    return wrong;
}

// The chart pixel the transform gives one object at the current sidereal time.
QPoint direct_pixel(double ra, double dec, int side, SkyView view)
{
    double a = 0, z = 0;
    radec_to_az(ra, dec, a, z);
    return z < 86 * deg ? project(a, z, side, view) : QPoint(-1, -1);
}

// Declinations as close as doubles go each side of the first pixel edge north of `dec`.
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

} // namespace

// The sky chart: where things land, the TCS's horizons, the paint, picking objects.
class TestSky : public QObject
{
    Q_OBJECT

private slots:
    // The A/Z grid, markers each side of each step, TCS places kept near the chart.
    void geometry()
    {
        const std::pair<int, QList<int>> markers[] = {
            {651, {14, 15, 4, 5, 2}}, {650, {11, 12, 3, 4, 2}}, {450, {11, 12, 3, 4, 2}},
            {449, {8, 9, 2, 3, 1}},   {350, {8, 9, 2, 3, 1}},   {349, {5, 6, 1, 2, 1}}};
        for (const auto &[side, sizes] : markers) {
            const MarkerSizes m = marker_sizes(side);
            QCOMPARE((QList<int>{m.arm_end, m.circle, m.gap, m.dot, marker_pen_width(side)}),
                     sizes);
        }
        QCOMPARE(project(90 * deg, 1e12 * deg, 550, SkyView::Sky), QPoint(2475, 275));
        QCOMPARE(project(qQNaN(), qInf(), 401, SkyView::Ovt), QPoint(200, 200));
        const AltAzGrid sky = altaz_grid(550, SkyView::Sky);
        QCOMPARE(sky.circle_radii, (QVector<int>{15, 31, 61, 92, 122, 153, 183, 214, 244}));
        QCOMPARE(sky.azimuth_lines[0], QLine(275, 290, 275, 550)); // south from 5 degrees
        QCOMPARE(sky.azimuth_lines[3].p1(), project(30 * deg, 10 * deg, 550, SkyView::Sky));
        QCOMPARE(sky.azimuth_lines[1].p1(), project(10 * deg, 20 * deg, 550, SkyView::Sky));
    }
    // The telescope's five text lines and the selected object's, in the chart's units.
    void chartTexts_data()
    {
        QTest::addColumn<QStringList>("drawn");
        QTest::addColumn<int>("count");     // texts painted
        QTest::addColumn<QString>("texts"); // some of them, "|" between, red: the telescope's
        // A chart of `side`, the telescope at `az` degrees (drawn when the TCS state is Ok),
        // the object `ha` seconds of time west; `row` selected: 0 the object, 1 a comment.
        const auto row = [](const char *tag, int side, bool tcs, double az, double ha, int row,
                            int count, const char *texts) {
            Velto_object telescope, star, comment;
            telescope.is_comment = star.is_comment = false;
            std::tie(telescope.ra_sec, telescope.dec_sec, telescope.hour_angle, telescope.azimuth,
                     telescope.zenith_dist) =
                std::tuple(45296.7, -1800.5, 5400.0, az * deg, 35 * deg);
            std::tie(star.name, star.epoch_str, star.ra_sec, star.dec_sec) =
                std::tuple("Vega", "2000.0", 36000 - ha, 20 * deg);
            QList<Velto_object *> objects{&star, &comment};
            Velto_sky chart(nullptr, &objects, &telescope);
            chart.resize(side + 29, side);
            sidereal_time = 36000;
            chart.set_tcs_ok(tcs);
            chart.set_selected(row);
            const QRegularExpression text("^\\S+ \\d+,\\d+ ");
            QTest::newRow(tag) << SkyProbe(chart).painted().filter(text) << count << QString(texts);
        };
        row("550", 550, true, 200, 0, 0, 12,
            "red 403,15 R.A. = 12:34:56.70|red 412,30 Decl. = -00:30:00.5|red 434,45 HA = 1.500|"
            "red 453,60 A = -160.000|red 469,75 Z = 35.000|blue 5,15 R.A. = 10:00:00.00|"
            "blue 5,30 Decl. = +20:00:00.0|blue 5,45 HA = 0.000|blue 5,60 A = 0.000|"
            "blue 5,75 Z = 23.654|blue 5,535 Vega|blue 5,505 Epoch = 2000.0");
        row("651", 651, true, -10, 1800, 0, 12,
            "red 557,90 Z = 35.000|red 538,72 A = -10.000|blue 5,54 HA = 0.500");
        row("south", 550, true, 180, -4, 0, 12, "red 453,60 A = 180.000|blue 5,45 HA = 23.999");
        row("180.5", 550, true, 180.5, -1, 0, 12, "red 453,60 A = -179.500|blue 5,45 HA = 0.000");
        row("no TCS state", 550, false, 0, 0, 0, 7, "blue 5,45 HA = 0.000");
        row("comment selected", 550, true, 0, 0, 1, 5, "red 469,75 Z = 35.000");
        row("nothing selected", 550, true, 0, 0, -1, 5, "red 469,75 Z = 35.000");
        row("the smallest chart", 100, true, 0, 0, 0, 12, "blue 5,98 Vega");
        row("too small: nothing", 99, true, 0, 0, 0, 0, "");
    }
    void chartTexts()
    {
        QFETCH(QStringList, drawn);
        QFETCH(QString, texts);
        QTEST(int(drawn.size()), "count");
        texts.replace("red ", "#ff0000 ").replace("blue ", "#00008b ");
        for (const QString &text : texts.split('|', Qt::SkipEmptyParts))
            QVERIFY2(drawn.contains(text), qPrintable(drawn.join('\n')));
    }
    void placementMatchesTransform_data()
    {
        QTest::addColumn<SkyView>("view");
        QTest::addColumn<int>("side");
        for (const SkyView view : {SkyView::Sky, SkyView::Ovt})
            for (const int side : {550, 1001})
                QTest::addRow("%s, %d", view == SkyView::Sky ? "sky" : "OVT", side) << view << side;
    }
    // 10,000 objects anywhere and objects on pixel edges, placed as the sidereal time
    // moves on and rows change: each as the transform gives it alone.
    void placementMatchesTransform()
    {
        QFETCH(SkyView, view);
        QFETCH(int, side);
        const double sidereal_times[] = {0.0, 1.0, 20000.0, 43199.5, 61234.0, 86399.0};
        const int edges_per_time = 40;
        QRandomGenerator random(20261207);
        std::vector<Velto_object> objects(10000 + 2 * edges_per_time * std::size(sidereal_times));
        QList<Velto_object *> list;
        for (Velto_object &object : objects) {
            list << &object;
            std::tie(object.is_comment, object.ra_sec, object.dec_sec) =
                std::tuple(false, random.bounded(86400.0), random.bounded(180 * deg) - 90 * deg);
        }
        objects[0].ra_sec = 20000.0; // at the zenith at sidereal time 20000
        objects[0].dec_sec = 43.6535277 * deg;
        objects[1].ra_sec = 3e15; // from a damaged list
        ObjectPlacement placement;
        Velto_object spare, *other = &spare;
        spare.is_comment = false;
        objects[2].ra_sec = objects[2].dec_sec = 0; // the numbers of a row never placed
        int mismatches = 0;
        const auto place = [&] {
            placement.place(list, side, view);
            for (const Velto_object *o : list) {
                double a = 0, z = 0;
                radec_to_az(o->ra_sec, o->dec_sec, a, z);
                mismatches +=
                    QPoint(o->sky_x, o->sky_y) !=
                        (o->is_comment ? QPoint(-1, -1)
                                       : direct_pixel(o->ra_sec, o->dec_sec, side, view)) ||
                    (!o->is_comment && (o->azimuth != a || o->zenith_dist != z));
            }
        };
        auto edge = objects.begin() + 10000;
        for (double sidereal : sidereal_times) {
            sidereal_time = sidereal;
            for (int i = 0; i < edges_per_time; ++i, edge += 2) {
                const auto [low, high] =
                    pixel_edge(edge->ra_sec, random.bounded(120 * deg) - 40 * deg, side, view);
                edge[1].ra_sec = edge->ra_sec;
                std::tie(edge[0].dec_sec, edge[1].dec_sec) = std::pair(low, high);
            }
            place();
            // Placed again at the same time: every change of a row shows.
            list[2]->ra_sec += 1800;
            list[3]->dec_sec += 5 * deg;
            std::swap(list[4], other);
            list[5]->is_comment = !list[5]->is_comment;
            place();
        }
        QCOMPARE(mismatches, 0);
    }
    void horizonReading_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("read"); // its log line, the last point's azimuth and height
        const auto row = [](const char *tag, const QByteArray &reply, const char *read) {
            QTest::newRow(tag) << reply << QString("Loading %1").arg(read);
        };
        row("direct heading", "# direct\n0 10\n90 5\n270 0\n", "3 'direct' horizon points. 90 90");
        row("reverse heading", "#reverse\n0 10\n", "1 'reverse' horizon points. 180 80");
        row("no heading: direct", "10 20\n", "1 'direct' horizon points. 190 70");
        row("late heading ignored", "180 3\n# reverse\n", "1 'direct' horizon points. 360 87");
        row("empty line: north horizon", "# reverse\n5 5\n\n",
            "2 'reverse' horizon points. 180 90");
        row("non-finite numbers count 0", "nan inf\n", "1 'direct' horizon points. 180 90");
        row("400 lines: 360 points", QByteArray("1 1\n").repeated(359) + "2 2\n3 3\n",
            "360 'direct' horizon points. 182 88");
    }
    void horizonReading()
    {
        QFETCH(QByteArray, reply);
        QBuffer buffer(&reply);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        const HorizonReading read = read_horizon(buffer);
        const HorizonPoint last = read.points.last();
        QTEST(QString("%1 %2 %3")
                  .arg(horizon_loading_line(read))
                  .arg(last.azimuth)
                  .arg(last.zenith_dist),
              "read");
    }
    void horizonRequests_data()
    {
        QTest::addColumn<SimFault>("fault");
        QTest::addColumn<QStringList>("lines"); // beginnings of the standard error lines
        const QString loaded = "Loading 360 '%1'";
        QTest::newRow("both loaded")
            << SimFault::None << QStringList{loaded.arg("direct"), loaded.arg("reverse")};
        QTest::newRow("HTTP 500") << SimFault::ServerError
                                  << QStringList(2, "Velto horizon read error 401 ");
        QTest::newRow("slow: no second request")
            << SimFault::Delay
            << QStringList{"velto_horizon.rev read error ", loaded.arg("direct")};
    }
    // Direct profile at once, reverse 500 ms later; a failure: one line and one box,
    // a refused request (one in flight) no box.
    void horizonRequests()
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
        QTRY_COMPARE(closer.closed(), int(lines.filter("Velto horizon read error").size()));
        for (int i = 0; i < closer.closed(); ++i) {
            QCOMPARE(closer.titles[i], tcs.sim.host_text() + " HTTP error");
            QCOMPARE(closer.texts[i], log.err[i].mid(lines[i].size()));
        }
        tcs.sim.set_fault(SimScript::Horizon, SimFault::None);
    }
    void chartPainted_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("ovt");
        QTest::addColumn<bool>("flip"); // and the A/Z grid
        QTest::addColumn<double>("hours");
        QTest::addColumn<int>("away"); // pixels to its right: 10 is too far
        for (const int side : {550, 401})
            for (const bool ovt : {false, true})
                for (const bool flip : {false, true})
                    QTest::addRow("%d%s%s", side, ovt ? ", OVT" : "", flip ? ", flipped, A/Z" : "")
                        << side << ovt << flip << 8.5 << (side == 401 ? 9 : 0);
        QTest::newRow("sidereal time") << 550 << false << false << 9.25 << 10;
    }
    // After a first state reply (550 pixels, sky view, direct, 8.5 h) the size, view,
    // grid, side and sidereal time change: all is painted where the site's formulas
    // put it. A press picks an object closer than 10 pixels, a second one fills the
    // main window's form, and the list selects its row.
    void chartPainted()
    {
        QFETCH(int, side);
        QFETCH(bool, ovt);
        QFETCH(bool, flip);
        QFETCH(double, hours);
        const int row = ovt; // the object pressed near, the second one in the OVT view
        QFETCH(int, away);
        // Horizon profiles: a point every 60 degrees, 10 high direct and 30 reverse.
        const QByteArray points = "0 %\n60 %\n120 %\n180 %\n240 %\n300 %\n";
        QString error;
        QVERIFY(
            tcs.sim.horizons().direct.read("# direct\n" + QByteArray(points).replace('%', "10"),
                                           HorizonProfile::Role::Direct, &error) &&
            tcs.sim.horizons().reverse.read("# reverse\n" + QByteArray(points).replace('%', "30"),
                                            HorizonProfile::Role::Reverse, &error));
        LogCapture log;
        Velto_Obj_List window;
        MainWindowProbe probe(window);
        Velto_sky &sky = probe.sky();
        sidereal_time = 8.5 * 3600; // as the first reply says, already at the first paint
        for (int i : {1, 0})
            probe.listWindow()->insert_object(0, QString::number(i), sec_to_ra(stars[i].x()),
                                              sec_to_dec(stars[i].y() * deg), "2000.0");
        const auto reply = [&](double hours, bool flip) {
            tcs.sim.set_canned_body(SimScript::State,
                                    "State=Ok\nA=120\nZ=35\nStime=" + QByteArray::number(hours) +
                                        "\nTelFlip=" + (flip ? "Yes\n" : "No\n"));
            QMetaObject::invokeMethod(&window, "on_velto_get_btn_clicked");
            QTRY_VERIFY(!probe.stateReplyPending());
        };
        QTRY_COMPARE(log.err.filter("Loading").size(), 2); // both profiles read
        sky.resize(550, 550);
        reply(8.5, false);
        SkyProbe(sky).painted();
        sky.set_selected(-3); // no row: nothing marked
        QCOMPARE(SkyProbe(sky).selected(), -1);
        sky.set_selected(7); // beyond the list: its last object
        if (ovt)
            probe.form().actionViewVelto->trigger();
        if (flip)
            probe.form().actionAZGrid->trigger();
        sky.resize(side + 29, side);
        reply(hours, flip);
        QCOMPARE(misplaced(SkyProbe(sky).painted(), side, ovt, flip, hours * 3600).join("; "),
                 QString());
        tcs.sim.set_canned_body(SimScript::State, std::nullopt);

        const Velto_object &object = *probe.objList().at(row);
        const QPoint at(object.sky_x + away, object.sky_y);
        QTest::mouseClick(&sky, Qt::LeftButton, {}, at);
        QTest::mouseClick(&sky, Qt::LeftButton, {}, at);
        const bool hit = away < 10;
        QCOMPARE(QList<int>({SkyProbe(sky).selected(), probe.listWindow()->current_row()}),
                 QList<int>({hit ? row : 1, hit ? row : 0}));
        // A miss leaves the object Get put there: the TCS's, with no name.
        QCOMPARE(probe.form().velto_obj_edt->text(), hit ? object.name : "Unknown");
    }

private:
    LocalTcs tcs;
};

QTEST_MAIN(TestSky)
#include "tst_sky.moc"
