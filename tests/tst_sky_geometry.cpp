#include "coords/sky_transform.h"
#include "coords/velto_object.h"
#include "sky/object_placement.h"
#include "sky/sky_geometry.h"

#include <QtTest>
#include <cmath>
#include <limits>

// Where the sky chart puts things, computed without painting.
class TestSkyGeometry : public QObject
{
    Q_OBJECT

private slots:
    void init() { sidereal_time = 40000; }
    void projection_data();
    void projection();
    void ovtLiesFartherAndMirrored();
    void offsetsFromOutsideStayBounded_data();
    void offsetsFromOutsideStayBounded();
    void markerSizes_data();
    void markerSizes();
    void markerPenWidth_data();
    void markerPenWidth();
    void telescopeTextOrigins_data();
    void telescopeTextOrigins();
    void hourAngleShown_data();
    void hourAngleShown();
    void telescopeAzimuthShown_data();
    void telescopeAzimuthShown();
    void numbersInTexts_data();
    void numbersInTexts();
    void hadecGridCollapsesWithoutSiderealTime();
    void hadecGridStaysAboveTheHorizon();
    void hadecGridPens();
    void hadecGridCacheFollowsItsInputs();
    void hourLinesStartNearThePole_data();
    void hourLinesStartNearThePole();
    void altazGrid_data();
    void altazGrid();
    void altazGridIgnoresSiderealTime();
    void placementFollowsEveryInput();
};

void TestSkyGeometry::projection_data()
{
    QTest::addColumn<double>("azimuth"); // degrees
    QTest::addColumn<double>("zenith");  // degrees
    QTest::addColumn<int>("side");
    QTest::addColumn<bool>("ovt");
    QTest::addColumn<QPoint>("pixel");
    QTest::newRow("west 45 sky") << 90.0 << 45.0 << 550 << false << QPoint(413, 275);
    QTest::newRow("west 45 ovt") << 90.0 << 45.0 << 550 << true << QPoint(469, 275);
    QTest::newRow("south 45 sky: down") << 0.0 << 45.0 << 550 << false << QPoint(275, 413);
    QTest::newRow("south 45 ovt: up") << 0.0 << 45.0 << 550 << true << QPoint(275, 82);
    QTest::newRow("east 60 sky truncates toward zero")
        << -90.0 << 60.0 << 550 << false << QPoint(93, 275);
    QTest::newRow("east 60 ovt truncates toward zero")
        << -90.0 << 60.0 << 550 << true << QPoint(38, 275);
    QTest::newRow("zenith is the centre") << 123.0 << 0.0 << 550 << false << QPoint(275, 275);
    QTest::newRow("north horizon sky: top") << 180.0 << 90.0 << 550 << false << QPoint(275, 1);
    QTest::newRow("north horizon ovt: bottom") << 180.0 << 90.0 << 550 << true << QPoint(275, 550);
    QTest::newRow("odd side: centre is side div 2")
        << 90.0 << 90.0 << 301 << false << QPoint(300, 150);
}

void TestSkyGeometry::projection()
{
    QFETCH(double, azimuth);
    QFETCH(double, zenith);
    QFETCH(int, side);
    QFETCH(bool, ovt);
    QFETCH(QPoint, pixel);
    QCOMPARE(project(azimuth * 3600, zenith * 3600, side, ovt ? SkyView::Ovt : SkyView::Sky),
             pixel);
}

void TestSkyGeometry::ovtLiesFartherAndMirrored()
{
    const QPoint centre(275, 275);
    for (double z : {10.0, 30.0, 60.0, 80.0}) {
        const QPoint sky = project(30 * 3600, z * 3600, 550, SkyView::Sky) - centre;
        const QPoint ovt = project(30 * 3600, z * 3600, 550, SkyView::Ovt) - centre;
        QVERIFY2(ovt.manhattanLength() > sky.manhattanLength(), qPrintable(QString::number(z)));
        QVERIFY(ovt.x() > 0 && sky.x() > 0); // west is right in both
        QVERIFY(ovt.y() < 0 && sky.y() > 0); // south down in the sky view, up in the OVT view
    }
    for (double z : {0.0, 90.0}) {
        const QPoint sky = project(30 * 3600, z * 3600, 550, SkyView::Sky) - centre;
        const QPoint ovt = project(30 * 3600, z * 3600, 550, SkyView::Ovt) - centre;
        QCOMPARE(ovt.x(), sky.x());
        QVERIFY(std::abs(ovt.y() + sky.y()) <= 1);
    }
}

void TestSkyGeometry::offsetsFromOutsideStayBounded_data()
{
    QTest::addColumn<double>("azimuth");
    QTest::addColumn<double>("zenith");
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("huge zenith distance") << 324000.0 << 1e300;
    QTest::newRow("infinite zenith distance") << 324000.0 << inf;
    QTest::newRow("not a number") << nan << nan;
    QTest::newRow("infinite azimuth") << inf << 100000.0;
}

void TestSkyGeometry::offsetsFromOutsideStayBounded()
{
    QFETCH(double, azimuth);
    QFETCH(double, zenith);
    for (SkyView view : {SkyView::Sky, SkyView::Ovt}) {
        const QPoint p = project(azimuth, zenith, 550, view);
        QVERIFY(std::abs(p.x() - 275) <= 4 * 550);
        QVERIFY(std::abs(p.y() - 275) <= 4 * 550);
    }
}

void TestSkyGeometry::markerSizes_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<QList<int>>("sizes"); // arm end, circle, gap, dot
    QTest::newRow("349 smallest") << 349 << QList<int>{5, 6, 1, 2};
    QTest::newRow("350 small") << 350 << QList<int>{8, 9, 2, 3};
    QTest::newRow("449 small") << 449 << QList<int>{8, 9, 2, 3};
    QTest::newRow("450 medium") << 450 << QList<int>{11, 12, 3, 4};
    QTest::newRow("550 medium") << 550 << QList<int>{11, 12, 3, 4};
    QTest::newRow("650 medium") << 650 << QList<int>{11, 12, 3, 4};
    QTest::newRow("651 large") << 651 << QList<int>{14, 15, 4, 5};
}

void TestSkyGeometry::markerSizes()
{
    QFETCH(int, side);
    QFETCH(QList<int>, sizes);
    const MarkerSizes m = marker_sizes(side);
    QCOMPARE((QList<int>{m.arm_end, m.circle, m.gap, m.dot}), sizes);
}

void TestSkyGeometry::markerPenWidth_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("width");
    QTest::newRow("449 thin") << 449 << 1;
    QTest::newRow("450 thick") << 450 << 2;
}

void TestSkyGeometry::markerPenWidth()
{
    QFETCH(int, side);
    QFETCH(int, width);
    QCOMPARE(marker_pen_width(side), width);
}

void TestSkyGeometry::telescopeTextOrigins_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QPoint>("origin");
    QTest::newRow("R.A.") << 1 << QPoint(403, 15);
    QTest::newRow("Decl.") << 2 << QPoint(412, 30);
    QTest::newRow("HA") << 3 << QPoint(434, 45);
    QTest::newRow("A") << 4 << QPoint(453, 60);
    QTest::newRow("Z") << 5 << QPoint(469, 75);
}

void TestSkyGeometry::telescopeTextOrigins()
{
    QFETCH(int, line);
    QFETCH(QPoint, origin);
    QCOMPARE(line_spacing(550), 15);
    QCOMPARE(telescope_text_origin(550, line), origin);
}

void TestSkyGeometry::hourAngleShown_data()
{
    QTest::addColumn<double>("sidereal");
    QTest::addColumn<double>("ra");
    QTest::addColumn<QString>("text");
    QTest::newRow("west of the meridian") << 7200.0 << 0.0 << "2.000";
    QTest::newRow("negative gets a day") << 0.0 << 7200.0 << "22.000";
    QTest::newRow("23.9995 h shows 0") << 0.0 << 1.8 << "0.000";
    QTest::newRow("23.999 h stays") << 0.0 << 3.6 << "23.999";
}

void TestSkyGeometry::hourAngleShown()
{
    QFETCH(double, sidereal);
    QFETCH(double, ra);
    QFETCH(QString, text);
    QCOMPARE(chart_number(shown_hour_angle(sidereal, ra)), text);
}

void TestSkyGeometry::telescopeAzimuthShown_data()
{
    QTest::addColumn<double>("degrees");
    QTest::addColumn<QString>("text");
    QTest::newRow("200 is -160") << 200.0 << "-160.000";
    QTest::newRow("180 stays") << 180.0 << "180.000";
    QTest::newRow("east stays negative") << -90.0 << "-90.000";
}

void TestSkyGeometry::telescopeAzimuthShown()
{
    QFETCH(double, degrees);
    QFETCH(QString, text);
    QCOMPARE(chart_number(shown_telescope_azimuth(degrees * 3600)), text);
}

void TestSkyGeometry::numbersInTexts_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("three decimals, no padding") << 1.5 << "1.500";
    QTest::newRow("rounded") << 45.12345 << "45.123";
    QTest::newRow("negative") << -0.25 << "-0.250";
}

void TestSkyGeometry::numbersInTexts()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(chart_number(value), text);
}

void TestSkyGeometry::hadecGridCollapsesWithoutSiderealTime()
{
    sidereal_time = -1;
    const QVector<GridStroke> strokes = hadec_grid(550, SkyView::Sky);
    QVERIFY(!strokes.isEmpty());
    for (const GridStroke &stroke : strokes)
        for (const QLine &line : stroke.segments)
            QCOMPARE(line, QLine(275, 275, 275, 275));
}

void TestSkyGeometry::hadecGridStaysAboveTheHorizon()
{
    for (SkyView view : {SkyView::Sky, SkyView::Ovt}) {
        int segments = 0;
        for (const GridStroke &stroke : hadec_grid(550, view))
            for (const QLine &line : stroke.segments) {
                for (const QPoint &p : {line.p1(), line.p2()}) {
                    const QPoint d = p - QPoint(275, 275);
                    QVERIFY(d.x() * d.x() + d.y() * d.y() <= 276 * 276);
                }
                ++segments;
            }
        QVERIFY(segments > 500);
    }
}

void TestSkyGeometry::hadecGridPens()
{
    // Hour lines and the equator in the main pen, 13 other circles in the
    // accent pen, each in two halves.
    const QVector<GridStroke> strokes = hadec_grid(550, SkyView::Sky);
    QCOMPARE(strokes.first().accent, false);
    int accent_runs = 0;
    for (const GridStroke &stroke : strokes)
        accent_runs += stroke.accent ? 1 : 0;
    // Circles 85..10 form one accent run, then the equator, then -10..-40.
    QCOMPARE(accent_runs, 2);
    QCOMPARE(strokes.size(), 4);
}

void TestSkyGeometry::hadecGridCacheFollowsItsInputs()
{
    auto same = [](const QVector<GridStroke> &a, const QVector<GridStroke> &b) {
        if (a.size() != b.size())
            return false;
        for (int i = 0; i < a.size(); ++i)
            if (a[i].accent != b[i].accent || a[i].segments != b[i].segments)
                return false;
        return true;
    };
    HadecGridCache cache;
    QVERIFY(same(cache.strokes(550, SkyView::Sky), hadec_grid(550, SkyView::Sky)));
    sidereal_time = 50000;
    QVERIFY(same(cache.strokes(550, SkyView::Sky), hadec_grid(550, SkyView::Sky)));
    QVERIFY(same(cache.strokes(550, SkyView::Ovt), hadec_grid(550, SkyView::Ovt)));
    QVERIFY(same(cache.strokes(400, SkyView::Ovt), hadec_grid(400, SkyView::Ovt)));
    sidereal_time = -1;
    QVERIFY(same(cache.strokes(400, SkyView::Ovt), hadec_grid(400, SkyView::Ovt)));
}

void TestSkyGeometry::hourLinesStartNearThePole_data()
{
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("firstDrawn"); // declination where the line starts
    QTest::newRow("every sixth hour from the pole") << 6 << 90;
    QTest::newRow("even hour from +85") << 4 << 85;
    QTest::newRow("odd hour from +80") << 7 << 80;
}

void TestSkyGeometry::hourLinesStartNearThePole()
{
    QFETCH(int, hour);
    QFETCH(int, firstDrawn);
    // A copy: the grid is a temporary that ends with this statement.
    const QVector<QLine> lines = hadec_grid(550, SkyView::Sky).first().segments;
    auto segment = [hour](int from, int to) {
        return QLine(grid_point(hour, from, 550, SkyView::Sky).pixel,
                     grid_point(hour, to, 550, SkyView::Sky).pixel);
    };
    QVERIFY(lines.contains(segment(firstDrawn, firstDrawn - 5)));
    if (firstDrawn < 90)
        QVERIFY(!lines.contains(segment(firstDrawn + 5, firstDrawn)));
}

void TestSkyGeometry::altazGrid_data()
{
    QTest::addColumn<bool>("ovt");
    QTest::addColumn<QList<int>>("radii");
    QTest::newRow("sky: linear in zenith distance")
        << false << QList<int>{15, 31, 61, 92, 122, 153, 183, 214, 244};
    QTest::newRow("ovt: sine of zenith distance")
        << true << QList<int>{24, 48, 94, 137, 177, 211, 238, 258, 271};
}

void TestSkyGeometry::altazGrid()
{
    QFETCH(bool, ovt);
    QFETCH(QList<int>, radii);
    const SkyView view = ovt ? SkyView::Ovt : SkyView::Sky;
    const AltAzGrid grid = altaz_grid(550, view);
    QCOMPARE(QList<int>(grid.circle_radii.begin(), grid.circle_radii.end()), radii);
    QCOMPARE(grid.azimuth_lines.size(), 36);
    // South (0) from 5 deg, 30 from 10 deg, 10 from 20 deg, all to the horizon.
    QCOMPARE(grid.azimuth_lines.at(0),
             QLine(project(0, 5 * 3600, 550, view), project(0, 90 * 3600, 550, view)));
    QCOMPARE(grid.azimuth_lines.at(3).p1(), project(30 * 3600, 10 * 3600, 550, view));
    QCOMPARE(grid.azimuth_lines.at(1).p1(), project(10 * 3600, 20 * 3600, 550, view));
    QCOMPARE(grid.azimuth_lines.at(9).p1(), project(90 * 3600, 5 * 3600, 550, view));
}

void TestSkyGeometry::altazGridIgnoresSiderealTime()
{
    const AltAzGrid with = altaz_grid(550, SkyView::Sky);
    sidereal_time = -1;
    const AltAzGrid without = altaz_grid(550, SkyView::Sky);
    QCOMPARE(without.circle_radii, with.circle_radii);
    QCOMPARE(without.azimuth_lines, with.azimuth_lines);
}

void TestSkyGeometry::placementFollowsEveryInput()
{
    Velto_object a, b, comment;
    a.is_comment = b.is_comment = false;
    a.ra_sec = 40000 - 3600;
    a.dec_sec = 20 * 3600;
    b.ra_sec = 40000;
    b.dec_sec = -44 * 3600; // 87.65 degrees from the zenith
    comment.ra_sec = 40000;
    QList<Velto_object *> objects{&a, &b, &comment};
    ObjectPlacement placement;
    auto check = [&](int side, SkyView view) {
        placement.place(objects, side, view);
        double az = 0, z = 0;
        radec_to_az(a.ra_sec, a.dec_sec, az, z);
        QCOMPARE(a.azimuth, az);
        QCOMPARE(a.zenith_dist, z);
        QCOMPARE(QPoint(a.sky_x, a.sky_y), project(az, z, side, view));
        QCOMPARE(QPoint(b.sky_x, b.sky_y), QPoint(-1, -1));
        QVERIFY(b.zenith_dist >= 86 * 3600);
        QCOMPARE(QPoint(comment.sky_x, comment.sky_y), QPoint(-1, -1));
    };
    check(550, SkyView::Sky);
    check(550, SkyView::Sky); // again, from what it remembered
    a.sky_x = a.sky_y = 0;
    check(550, SkyView::Sky); // what a paint writes, it writes every time
    a.ra_sec -= 1800;
    check(550, SkyView::Sky);
    sidereal_time += 600;
    check(550, SkyView::Sky);
    check(550, SkyView::Ovt);
    check(400, SkyView::Ovt);
    objects.swapItemsAt(0, 1); // other objects in the same rows
    placement.place(objects, 400, SkyView::Ovt);
    objects.swapItemsAt(0, 1);
    check(400, SkyView::Ovt);
}

QTEST_APPLESS_MAIN(TestSkyGeometry)
#include "tst_sky_geometry.moc"
