#include "coords/observing_times.h"
#include "coords/sun_position.h"
#include "coords/velto_object.h"
#include "local_tcs.h"
#include "objlist/velto_list.h"
#include "sky/velto_sky.h"
#include "tonight_probe.h"

#include <QTimeZone>
#include <QtTest>
#include <memory>

namespace
{

// 10:00:00 of sidereal time at 2026-12-07 00:00:10 UT, and a horizon of 5
// degrees all round but for a wall of 25 degrees in the west (azimuth from
// the south toward the west, 10-degree ramps), as tests/tonight_expected.py.
const QDateTime fixed_now(QDate(2026, 12, 7), QTime(0, 0, 10), QTimeZone::utc());
constexpr double fixed_sidereal = 36000.0;

void load_with_western_wall(Velto_tonight_model &model)
{
    QVector<QPointF> points;
    for (int az = 0; az < 360; az += 10)
        points.append(QPointF(az, 90.0 - (az >= 70 && az <= 110 ? 25.0 : 5.0)));
    model.reload();
    model.set_horizon(HorizonLimit(points));
}

Velto_object *object_at(const QString &name, double ra, double dec)
{
    auto *object = new Velto_object;
    std::tie(object->is_comment, object->name, object->ra_sec, object->dec_sec) =
        std::tuple(false, name, ra, dec);
    return object;
}

using M = Velto_tonight_model;

QString cell(const QAbstractItemModel &model, int row, int column)
{
    return model.index(row, column).data().toString();
}

} // namespace

// The Tonight window: its numbers against values worked out apart from the
// program, its strip, and the table following the list, sorted and filtered.
class TestTonight : public QObject
{
    Q_OBJECT

private slots:
    // Each cell's format, and the times worked out again when they have passed or the sidereal
    // time jumped; the Sun at fixed_now (its altitude, seconds to -18 degrees before dawn and
    // after dusk), air mass, as tests/tonight_expected.py prints them; the window's clocks.
    void values_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("expected"); // HA, Alt, Az, Airmass, Transit, Up, Until; * any
        // An object at `ra` (seconds of time) and `dec` (arcseconds); `later`: solar seconds to a
        // second refresh, -1 none at all; `jump`: sidereal seconds off the carried time.
        const auto row = [](const char *tag, double ra, double dec, double later, double jump,
                            const char *cells) {
            QList<Velto_object *> objects{object_at(QStringLiteral("x"), ra, dec)};
            std::unique_ptr<Velto_object> owner(objects.first());
            Velto_tonight_model model(&objects);
            load_with_western_wall(model);
            if (later >= 0)
                model.refresh(fixed_now, fixed_sidereal);
            if (later > 0)
                model.refresh(fixed_now.addMSecs(qint64(later * 1000)),
                              sidereal_after(fixed_sidereal, later) + jump);
            QStringList shown, expected = QString::fromUtf8(cells).split(' ');
            for (int column = M::HA; column <= M::Until; ++column)
                shown << cell(model, 0, column);
            for (int i = 0; i < expected.size(); ++i)
                expected[i] = expected[i] == "*" ? shown.value(i) : expected[i];
            QTest::newRow(tag) << shown.join(' ') << expected.join(' ');
        };
        // The first six: the output of tests/tonight_expected.py.
        // clang-format off
        row("on the meridian", 36000.0, 72000.0, 0, 0, "+0:00 66.3 0.0 1.09 00:00 up 04:56");
        row("at the celestial pole", 0.0, 324000.0, 0, 0, "+10:00 43.7 180.0 1.45 13:58 up always");
        row("never rises", 36000.0, -216000.0, 0, 0, "+0:00 -13.7 0.0 \u2014 00:00 down never");
        row("never sets", 0.0, 270000.0, 0, 0, "+10:00 30.3 171.4 1.98 13:58 up always");
        row("sets behind the western wall", 25150.0, 0.0, 0, 0, "+3:01 30.6 55.6 1.96 20:56 up 00:59");
        row("rises in the east", 64877.0, 36000.0, 0, 0, "-8:01 -13.9 -118.9 \u2014 08:00 down 01:51");
        // clang-format on
        row("20 s east is +0:00", 36020, 72000, 0, 0, "+0:00 * * * * * *");
        row("30 s east is -0:01", 36030, 72000, 0, 0, "-0:01 * * * * * *");
        row("nothing before a sidereal time", 36000, 72000, -1, 0, "      ");
        row("transit passed: the next one", 36000, 72000, 3600, 0, "* * * * 23:56 * *");
        row("sidereal jump: worked out anew", 43200, 72000, 10, 600, "* * * * 01:50 * *");
        // A number within `within` of the expected one shows as that.
        const auto near = [](const char *name, double value, double expected, double within) {
            const QString close = QString("%1 within %2").arg(expected).arg(within);
            const bool is_close = std::fabs(value - expected) <= within;
            QTest::newRow(name) << (is_close ? close : QString::number(value, 'f', 4)) << close;
        };
        near("Sun, LST 10 h", sun_altitude(fixed_now, 36000.0), -24.960, 1e-3);
        near("night's end, LST 10 h", seconds_to_sun_altitude(fixed_now, 36000.0, -18), 2356.5, 1);
        near("night, LST 22 h", seconds_to_sun_altitude(fixed_now, 79200.0, -18), 4167.5, 1);
        for (const auto &[alt, mass] :
             {std::pair{90, 0.9997}, {30, 1.9943}, {10, 5.5860}, {0, 37.9196}})
            near(qPrintable(QString("air mass at %1 degrees").arg(alt)), airmass(alt), mass, 5e-4);
        near("no TCS state: the computer's time", TonightClock().sidereal_at(fixed_now), 28143, 0);
        TonightClock clock;
        clock.state_ok(fixed_now, fixed_sidereal);
        near("state age", clock.state_age(fixed_now.addMSecs(11999)), 11, 0);
        near("polling, two intervals old", clock.is_stale(fixed_now.addSecs(10), true, 5000), 0, 0);
        near("polling, a hair older", clock.is_stale(fixed_now.addMSecs(10001), true, 5000), 1, 0);
        near("no polling, a minute old", clock.is_stale(fixed_now.addSecs(60), false, 10), 0, 0);
        near("no polling, a hair more", clock.is_stale(fixed_now.addMSecs(60001), false, 10), 1, 0);
    }
    void values()
    {
        QFETCH(QString, shown);
        QTEST(shown, "expected");
    }
    // Rows of the list come and go in the open window's table, comments never
    // show, a click on a row marks it in the list; the strip.
    void tableFollowsList()
    {
        QList<Velto_object *> objects;
        Velto_list list(nullptr, &objects);
        Velto_object telescope;
        Velto_sky sky(nullptr, &objects, &telescope);
        list.set_sky(&sky);
        Velto_tonight tonight(nullptr, &objects, &list, &sky);
        TonightProbe probe(tonight);
        const QAbstractItemModel &shown = *probe.view().model();
        list.insert_object(0, "Vega", "18:36:56", "+38:47:01", "2000.0");
        QCOMPARE(shown.rowCount(), 0); // hidden: nothing worked out
        tonight.show();
        QCOMPARE(probe.label("horizon"), "Horizon: altitude 0 (no TCS profile)");
        QTRY_COMPARE(probe.label("horizon"), "Horizon: TCS direct profile");
        QCOMPARE(probe.label("state_age"), "no TCS state");
        QVERIFY(probe.label("lst").endsWith(" (computer clock)"));
        sidereal_time = 86399.9;
        tonight.state_seen(true, true, 5000);
        QCOMPARE(probe.label("lst") + probe.label("state_age"), "LST 23:59:59TCS state 0 s old");
        // Polled without pause, the state is stale at once; the strip says so with its
        // next second (the limits to the millisecond are in the clock's table).
        tonight.state_seen(false, true, 0);
        QTRY_VERIFY(QRegularExpression("^TCS state [1-9]\\d* s old, stale$")
                        .match(probe.label("state_age"))
                        .hasMatch());
        list.insert_comment(1, "a comment");
        list.insert_object(2, "Deneb", "20:41:26", "+45:16:49", "2000.0");
        list.insert_object(1, "Altair", "19:50:47", "+08:52:06", "2000.0");
        QCOMPARE(shown.rowCount(), 3);
        QCOMPARE(cell(shown, 1, M::Name) + ' ' + cell(shown, 1, M::RA), "Altair 19:50:47");
        QVERIFY(!cell(shown, 1, M::Alt).isEmpty());
        list.remove_row(0);
        QCOMPARE(shown.rowCount(), 2);
        QCOMPARE(cell(shown, 0, M::Name) + ' ' + cell(shown, 1, M::Name), "Altair Deneb");
        QTest::mouseClick(probe.view().viewport(), Qt::LeftButton, {},
                          probe.view().visualRect(shown.index(1, 0)).center());
        QCOMPARE(list.current_row(), 2);
        list.select_row(0);
        QCOMPARE(probe.view().currentIndex().row(), 0);
        list.clear_list();
        QCOMPARE(shown.rowCount(), 0);
    }
    // Sorted by altitude and only the objects up (no comment row), over a refresh
    // that moves every object, as tests/tonight_expected.py finds them.
    void sortAndFilterSurviveRefresh()
    {
        QList<Velto_object *> objects{new Velto_object}; // a comment
        for (int h = 0; h < 24; h += 3)
            objects.append(object_at(QString::number(h), h * 3600.0, 20 * 3600.0));
        Velto_tonight_model model(&objects);
        Velto_tonight_filter shown;
        shown.setSourceModel(&model);
        load_with_western_wall(model);
        model.refresh(fixed_now, fixed_sidereal);
        shown.sort(M::Alt, Qt::DescendingOrder);
        shown.set_only_up(true);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.refresh(fixed_now.addSecs(4 * 3600), sidereal_after(fixed_sidereal, 4 * 3600));
        QCOMPARE(changed.last().mid(0, 2),
                 (QVariantList{QVariant::fromValue(model.index(0, M::HA)),
                               QVariant::fromValue(model.index(8, M::Until))}));
        QStringList names; // 9 h stands 24.2 degrees high, behind the western wall
        for (int row = 0; row < shown.rowCount(); ++row)
            names << cell(shown, row, M::Name);
        QCOMPARE(names.join(' '), "15 12 18");
        shown.set_only_up(false);
        QCOMPARE(shown.rowCount(), 8);
        qDeleteAll(objects);
    }

private:
    LocalTcs tcs;
};

QTEST_MAIN(TestTonight)
#include "tst_tonight.moc"
