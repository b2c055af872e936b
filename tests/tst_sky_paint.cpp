#include "coords/coord_text.h"
#include "coords/sky_transform.h"
#include "coords/velto_object.h"
#include "sky_probe.h"
#include "tcs/tcs_host.h"

#include <QPainter>
#include <QtTest>
#include <memory>

// The sky chart painted into an image, checked on its pixels.
class TestSkyPaint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void discOutline();
    void gridLinePixels();
    void hadecGridCollapsesWithoutSiderealTime();
    void altazGridWithoutSiderealTime();
    void telescopeCrossAndCircle();
    void telescopeNeedsTheStateOk();
    void telescopeTexts();
    void objectCircle();
    void objectCirclesAsDrawnOneByOne();
    void selectedObjectCross();
    void selectedObjectKeepsTheAccentWidth_data();
    void selectedObjectKeepsTheAccentWidth();
    void lowObjectsAreNotDrawn();
    void selectedLowObjectHasTextsButNoCross();
    void commentsAreNotDrawn();
    void horizonOutline_data();
    void horizonOutline();
    void textsFollowTheSide();
    void smallerSideFromTheTopLeft();
    void tooLowToPaint();

private:
    Velto_object *add_object(double ra_sec, double dec_sec, const QString &name = QString());
    QPoint where(double azimuth_deg, double zenith_deg) const;
    static int count_colour(const QImage &image, const QRect &area, const QColor &colour);

    QList<Velto_object *> objects;
    Velto_object telescope;
    std::unique_ptr<Velto_sky> sky;
};

namespace
{

const QColor black(0, 0, 0);
const QColor white(255, 255, 255);
const QColor grey(128, 128, 128);
const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);
const QColor dark_blue(0, 0, 139);

} // namespace

void TestSkyPaint::initTestCase()
{
    // Nothing answers here; these tests never run the event loop, so the
    // horizon requests stay pending and the sets are filled by hand.
    set_default_tcs_host(QStringLiteral("127.0.0.1:9"));
}

void TestSkyPaint::init()
{
    sidereal_time = 40000;
    telescope.is_comment = false;
    telescope.azimuth = 0;
    telescope.zenith_dist = 0;
    sky = std::make_unique<Velto_sky>(nullptr, &objects, &telescope);
    sky->resize(550, 550);
}

void TestSkyPaint::cleanup()
{
    sky.reset();
    qDeleteAll(objects);
    objects.clear();
}

Velto_object *TestSkyPaint::add_object(double ra_sec, double dec_sec, const QString &name)
{
    auto *object = new Velto_object;
    object->set_object(name, sec_to_ra(ra_sec), sec_to_dec(dec_sec), QStringLiteral("2000.0"));
    object->is_comment = false;
    object->num = static_cast<int>(objects.size());
    objects.append(object);
    return object;
}

QPoint TestSkyPaint::where(double azimuth_deg, double zenith_deg) const
{
    return project(azimuth_deg * 3600, zenith_deg * 3600, 550, SkyView::Sky);
}

int TestSkyPaint::count_colour(const QImage &image, const QRect &area, const QColor &colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == colour ? 1 : 0;
    return count;
}

void TestSkyPaint::discOutline()
{
    const QImage image = SkyProbe(*sky).render();
    QCOMPARE(image.pixelColor(0, 275), black);   // west edge, no grid there
    QCOMPARE(image.pixelColor(275, 549), black); // south edge
    QCOMPARE(image.pixelColor(30, 275), white);  // inside, between grid lines
    QVERIFY(image.pixelColor(3, 3) != white);    // corner outside the disc
    QCOMPARE(SkyProbe(*sky).chartWidth(), 550);
    QCOMPARE(SkyProbe(*sky).chartHeight(), 550);
}

void TestSkyPaint::gridLinePixels()
{
    const QImage image = SkyProbe(*sky).render();
    // The hour line of the meridian runs straight down through the south.
    QCOMPARE(image.pixelColor(275, 480), black);
    // Vertices of declination circles away from the hour lines.
    QCOMPARE(image.pixelColor(grid_point(1.5, 60, 550, SkyView::Sky).pixel), grey);
    QCOMPARE(image.pixelColor(grid_point(1.5, 0, 550, SkyView::Sky).pixel), black); // equator
}

void TestSkyPaint::hadecGridCollapsesWithoutSiderealTime()
{
    sidereal_time = -1;
    const QImage image = SkyProbe(*sky).render();
    QCOMPARE(image.pixelColor(275, 480), white);
    QVERIFY(image.pixelColor(275, 275) != white); // every grid point is the centre
    // Inside the disc nothing else is drawn.
    QCOMPARE(count_colour(image, QRect(90, 90, 370, 370), white), 370 * 370 - 1);
}

void TestSkyPaint::altazGridWithoutSiderealTime()
{
    sidereal_time = -1;
    sky->set_azgrid(true);
    const QImage image = SkyProbe(*sky).render();
    QCOMPARE(image.pixelColor(275 + 183, 275), black); // the 60 degree circle, west
    QCOMPARE(image.pixelColor(275, 275 + 200), black); // the south azimuth line
    QCOMPARE(image.pixelColor(275, 275), white);       // the lines start 5 degrees out
}

void TestSkyPaint::telescopeCrossAndCircle()
{
    telescope.azimuth = 30 * 3600;
    telescope.zenith_dist = 50 * 3600;
    sky->set_tcs_ok(true);
    const QImage image = SkyProbe(*sky).render();
    const QPoint at = where(30, 50);
    QCOMPARE(QPoint(telescope.sky_x, telescope.sky_y), at);
    QCOMPARE(image.pixelColor(at + QPoint(-7, 0)), red); // the arms, 3 to 11 out
    QCOMPARE(image.pixelColor(at + QPoint(7, 0)), red);
    QCOMPARE(image.pixelColor(at + QPoint(0, -7)), red);
    QCOMPARE(image.pixelColor(at + QPoint(0, 7)), red);
    QVERIFY(image.pixelColor(at) != red);                 // the gap
    QCOMPARE(image.pixelColor(at + QPoint(12, 0)), red);  // the circle, radius 12
    QCOMPARE(image.pixelColor(at + QPoint(0, -12)), red); // drawn 2 pixels wide
    QVERIFY(image.pixelColor(at + QPoint(5, 5)) != red);
}

void TestSkyPaint::telescopeNeedsTheStateOk()
{
    telescope.azimuth = 30 * 3600;
    telescope.zenith_dist = 50 * 3600;
    QCOMPARE(count_colour(SkyProbe(*sky).render(), QRect(0, 0, 550, 550), red), 0);
    sky->set_tcs_ok(true);
    telescope.is_comment = true; // no position yet
    QCOMPARE(count_colour(SkyProbe(*sky).render(), QRect(0, 0, 550, 550), red), 0);
    telescope.is_comment = false;
    sidereal_time = -1;
    QCOMPARE(count_colour(SkyProbe(*sky).render(), QRect(0, 0, 550, 550), red), 0);
}

void TestSkyPaint::telescopeTexts()
{
    telescope.azimuth = 200 * 3600;
    telescope.zenith_dist = 95 * 3600; // below the horizon: still drawn
    sky->set_tcs_ok(true);
    const QImage image = SkyProbe(*sky).render();
    // Five red lines right of the disc, the first starting at x = 403.
    for (int k = 1; k <= 5; ++k) {
        const QPoint origin = telescope_text_origin(550, k);
        QVERIFY2(count_colour(image, QRect(origin.x(), origin.y() - 10, 60, 11), red) > 0,
                 qPrintable(QString::number(k)));
        QCOMPARE(count_colour(image, QRect(origin.x() - 12, origin.y() - 10, 10, 11), red), 0);
    }
    QCOMPARE(image.pixelColor(telescope.sky_x, telescope.sky_y + 7), red);
}

void TestSkyPaint::objectCircle()
{
    Velto_object *object = add_object(40000 - 3600, 20 * 3600);
    const QImage image = SkyProbe(*sky).render();
    const QPoint at(object->sky_x, object->sky_y);
    double a = 0, z = 0;
    radec_to_az(object->ra_sec, object->dec_sec, a, z);
    QCOMPARE(at, project(a, z, 550, SkyView::Sky));
    QCOMPARE(object->azimuth, a);
    QCOMPARE(image.pixelColor(at + QPoint(4, 0)), black); // radius 4, 2 pixels wide
    QCOMPARE(image.pixelColor(at + QPoint(0, -4)), black);
    QCOMPARE(image.pixelColor(at + QPoint(1, 1)), white); // no fill
}

void TestSkyPaint::objectCirclesAsDrawnOneByOne()
{
    const QImage without = SkyProbe(*sky).render();
    for (int i = 0; i < 40; ++i)
        add_object(40000 - 900.0 * i, (60 - 2.5 * i) * 3600);
    const QImage with = SkyProbe(*sky).render();
    // The chart copies one circle to every place: the same pixels as drawing
    // each circle with the object pen.
    QImage expected = without;
    QPainter painter(&expected);
    painter.setPen(QPen(black, 2));
    int placed = 0;
    for (const Velto_object *object : objects) {
        if (object->sky_x <= 0 || object->sky_y <= 0)
            continue;
        painter.drawEllipse(object->sky_x - 4, object->sky_y - 4, 8, 8);
        ++placed;
    }
    painter.end();
    QVERIFY(placed > 20);
    QCOMPARE(with, expected);
}

void TestSkyPaint::selectedObjectCross()
{
    add_object(40000 - 7200, 10 * 3600, QStringLiteral("Other"));
    Velto_object *object = add_object(40000 - 3600, 20 * 3600, QStringLiteral("Star"));
    sky->set_selected(1);
    const QImage image = SkyProbe(*sky).render();
    const QPoint at(object->sky_x, object->sky_y);
    QCOMPARE(image.pixelColor(at + QPoint(7, 7)), blue); // diagonal arms 3 to 11 out
    QCOMPARE(image.pixelColor(at + QPoint(-7, -7)), blue);
    QCOMPARE(image.pixelColor(at + QPoint(7, -7)), blue);
    QCOMPARE(image.pixelColor(at + QPoint(-7, 7)), blue);
    QCOMPARE(image.pixelColor(at + QPoint(9, 0)), white);
    // Its texts in dark blue in the top left and bottom left corners.
    QVERIFY(count_colour(image, QRect(5, 0, 120, 5 * 15 + 2), dark_blue) > 50);
    QVERIFY(count_colour(image, QRect(5, 550 - 3 * 15 - 11, 120, 12), dark_blue) > 0); // epoch
    QVERIFY(count_colour(image, QRect(5, 550 - 15 - 11, 120, 12), dark_blue) > 0);     // name
    QCOMPARE(count_colour(image, QRect(5, 550 - 2 * 15 - 3, 120, 4), dark_blue), 0);
}

void TestSkyPaint::selectedObjectKeepsTheAccentWidth_data()
{
    QTest::addColumn<bool>("telescopeDrawn");
    QTest::addColumn<bool>("thick");
    QTest::newRow("after the telescope: 2 pixels wide") << true << true;
    QTest::newRow("nothing red before: 1 pixel wide") << false << false;
}

void TestSkyPaint::selectedObjectKeepsTheAccentWidth()
{
    QFETCH(bool, telescopeDrawn);
    QFETCH(bool, thick);
    telescope.azimuth = 180 * 3600;
    telescope.zenith_dist = 80 * 3600; // far from the object
    sky->set_tcs_ok(telescopeDrawn);
    Velto_object *object = add_object(40000 - 3600, 20 * 3600);
    sky->set_selected(0);
    const QImage image = SkyProbe(*sky).render();
    // Across one diagonal arm at 7 pixels out: one blue pixel for a thin pen.
    const QPoint arm(object->sky_x + 7, object->sky_y + 7);
    const int across = count_colour(image, QRect(arm.x() - 3, arm.y(), 7, 1), blue);
    QCOMPARE(across > 1, thick);
    QVERIFY(across >= 1);
}

void TestSkyPaint::lowObjectsAreNotDrawn()
{
    const QImage before = SkyProbe(*sky).render();
    // Dec -40 on the meridian is 83.65 degrees from the zenith; -43 is 86.65.
    Velto_object *low = add_object(40000, -43 * 3600);
    const QImage after = SkyProbe(*sky).render();
    QCOMPARE(low->sky_x, -1);
    QCOMPARE(low->sky_y, -1);
    QVERIFY(low->zenith_dist >= 86 * 3600);
    QCOMPARE(after, before);
    Velto_object *high = add_object(40000, -40 * 3600);
    QVERIFY(SkyProbe(*sky).render() != before);
    QVERIFY(high->sky_x > 0);
}

void TestSkyPaint::selectedLowObjectHasTextsButNoCross()
{
    add_object(40000, -43 * 3600, QStringLiteral("Low"));
    sky->set_selected(0);
    const QImage image = SkyProbe(*sky).render();
    QCOMPARE(count_colour(image, QRect(0, 0, 550, 550), blue), 0);
    QVERIFY(count_colour(image, QRect(5, 0, 120, 5 * 15 + 2), dark_blue) > 50);
}

void TestSkyPaint::commentsAreNotDrawn()
{
    add_object(40000 - 3600, 20 * 3600);
    const QImage one = SkyProbe(*sky).render();
    auto *comment = new Velto_object; // a comment row: no coordinates
    comment->name = QStringLiteral("# just text");
    objects.append(comment);
    sky->set_selected(1);
    QCOMPARE(SkyProbe(*sky).render(), one);
    QCOMPARE(comment->sky_x, -1);
}

void TestSkyPaint::horizonOutline_data()
{
    QTest::addColumn<bool>("stateOk");
    QTest::addColumn<bool>("listEmpty");
    QTest::addColumn<bool>("flip");
    QTest::addColumn<int>("directCount");
    QTest::addColumn<int>("reverseCount");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("state ok, empty list: drawn") << true << true << false << 36 << 0 << true;
    QTest::newRow("state not ok, empty list: not drawn")
        << false << true << false << 36 << 0 << false;
    QTest::newRow("state not ok, objects listed: drawn")
        << false << false << false << 36 << 0 << true;
    QTest::newRow("flip with an empty reverse set: not drawn")
        << true << true << true << 36 << 0 << false;
    QTest::newRow("flip with a reverse set: drawn") << true << true << true << 0 << 36 << true;
    QTest::newRow("no flip, only a reverse set: not drawn")
        << true << true << false << 0 << 36 << false;
}

void TestSkyPaint::horizonOutline()
{
    QFETCH(bool, stateOk);
    QFETCH(bool, listEmpty);
    QFETCH(bool, flip);
    QFETCH(int, directCount);
    QFETCH(int, reverseCount);
    QFETCH(bool, drawn);
    telescope.is_comment = true; // keep the telescope's red out of the picture
    if (!listEmpty)
        add_object(40000 - 3600, 20 * 3600);
    SkyProbe probe(*sky);
    SkyProbe::fill(probe.direct(), directCount, 70);
    SkyProbe::fill(probe.reverse(), reverseCount, 70);
    sky->set_tcs_ok(stateOk);
    sky->set_tel_flip(flip);
    const QImage image = probe.render();
    // The outline is a red ring 70 degrees from the zenith.
    const QPoint west = where(90, 70);
    QCOMPARE(count_colour(image, QRect(west - QPoint(2, 2), QSize(5, 5)), red) > 0, drawn);
    QCOMPARE(count_colour(image, QRect(0, 0, 550, 550), red) > 0, drawn);
    if (drawn) {
        const HorizonSet &set = flip ? probe.reverse() : probe.direct();
        QCOMPARE(QPoint(set.points[9].x, set.points[9].y), west); // 90 deg: the tenth point
    }
}

void TestSkyPaint::textsFollowTheSide()
{
    add_object(40000 - 3600, 20 * 3600, QStringLiteral("Star"));
    sky->set_selected(0);
    // The name's ink in the bottom left corner, outside the disc.
    auto name_ink = [](const QImage &image, int side) {
        const int k = side / 550;
        const QColor background = image.pixelColor(0, side - 1);
        const QRect area(0, side - 30 * k, 90 * k, 25 * k);
        int ink = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                ink += image.pixelColor(x, y) != background ? 1 : 0;
        return ink;
    };
    const int at_550 = name_ink(SkyProbe(*sky).render(), 550);
    sky->resize(1100, 1100);
    const QImage first = SkyProbe(*sky).render();
    const int at_1100 = name_ink(first, 1100);
    // Twice the side, twice the letters: about four times the ink.
    QVERIFY2(at_550 > 20 && at_1100 > 3 * at_550 && at_1100 < 5 * at_550,
             qPrintable(QStringLiteral("%1 %2").arg(at_550).arg(at_1100)));
    // The scale is taken afresh at every paint, never on top of the last one.
    QCOMPARE(SkyProbe(*sky).render(), first);
    QCOMPARE(sky->font(), QApplication::font());
}

void TestSkyPaint::smallerSideFromTheTopLeft()
{
    sky->resize(300, 500);
    const QImage image = SkyProbe(*sky).render();
    QCOMPARE(SkyProbe(*sky).chartWidth(), 300);
    QCOMPARE(SkyProbe(*sky).chartHeight(), 300);
    QCOMPARE(image.pixelColor(0, 150), black);
    QCOMPARE(image.pixelColor(150, 400), image.pixelColor(3, 3)); // below the chart: background
}

void TestSkyPaint::tooLowToPaint()
{
    SkyProbe(*sky).render();
    sky->resize(400, 99);
    const QImage image = SkyProbe(*sky).render();
    QCOMPARE(count_colour(image, QRect(0, 0, 400, 99), black), 0);
    QCOMPARE(count_colour(image, QRect(0, 0, 400, 99), white), 0);
    QCOMPARE(SkyProbe(*sky).chartWidth(), 550); // the last painted size stays
}

QTEST_MAIN(TestSkyPaint)
#include "tst_sky_paint.moc"
