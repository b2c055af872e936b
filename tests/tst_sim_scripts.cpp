#include "sim/tcs_scripts.h"

#include <QtTest>

Q_DECLARE_METATYPE(HorizonProfile::Role)
#include <cmath>

// The TCS scripts' answers as a client reads them, without HTTP.
class TestSimScripts : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void levelsAndPasswords_data();
    void levelsAndPasswords();
    void stateLevelFollowsTheCredentials_data();
    void stateLevelFollowsTheCredentials();
    void malformedItemsAreRefused_data();
    void malformedItemsAreRefused();
    void queryDecoding_data();
    void queryDecoding();
    void sendKeepsTheTelescopeWhereItIs();
    void objectWithoutANameIsCalledByItsCoordinates();
    void slewWithoutCoordinatesUsesTheSentObject();
    void notReadyTcs();
    void usersFile_data();
    void usersFile();
    void horizonFile_data();
    void horizonFile();
    void horizonInterpolation();

private:
    // "RA=..&Dec=.." for an object at this hour angle (hours) and dec (degrees).
    QByteArray object_items(double ha_hours, double dec_deg) const;

    SimClock clock;
    HorizonProfiles horizons;
    UsersTable users = UsersTable::built_in();
    std::unique_ptr<TelescopeModel> model;
    std::unique_ptr<TcsScripts> scripts;
};

void TestSimScripts::init()
{
    clock.set_speed(0);
    clock.set_time(QDateTime(QDate(2026, 3, 1), QTime(22, 0), Qt::UTC));
    model = std::make_unique<TelescopeModel>(clock, horizons);
    scripts = std::make_unique<TcsScripts>(*model, users, horizons);
}

QByteArray TestSimScripts::object_items(double ha_hours, double dec_deg) const
{
    const double lst = site_sidereal_seconds(clock.seconds()) / 3600.0;
    const double ra = std::fmod(lst - ha_hours + 48.0, 24.0);
    const int ra_s = static_cast<int>(ra * 3600.0);
    const QString text = QString::asprintf("RA=%02d:%02d:%02d&Dec=%+03d:00:00", ra_s / 3600,
                                           ra_s / 60 % 60, ra_s % 60, static_cast<int>(dec_deg));
    return text.toLatin1();
}

void TestSimScripts::levelsAndPasswords_data()
{
    QTest::addColumn<QByteArray>("credentials");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QString>("firstLine");
    const QByteArray send = "&Cmd=Send";
    const QByteArray slew = "&Cmd=Slew";
    QTest::newRow("guest may not send")
        << QByteArray("User=guest&Pass=kelpo") << send
        << "Permission denied: Send needs level 2, guest has level 1";
    QTest::newRow("observer may send")
        << QByteArray("User=obs1&Pass=star1") << send << "Object Vega accepted";
    QTest::newRow("observer may not slew") << QByteArray("User=obs1&Pass=star1") << slew
                                           << "Permission denied: Slew needs level 3, obs1 has "
                                              "level 2";
    QTest::newRow("operator may slew")
        << QByteArray("User=oper&Pass=dome3") << slew << "Slewing to Vega";
    QTest::newRow("administrator may slew")
        << QByteArray("User=admin&Pass=root5") << slew << "Slewing to Vega";
    QTest::newRow("wrong password") << QByteArray("User=oper&Pass=dome4") << slew
                                    << "Permission denied: Slew needs a valid user and password";
    QTest::newRow("password of another user")
        << QByteArray("User=oper&Pass=star1") << slew
        << "Permission denied: Slew needs a valid user and password";
    QTest::newRow("no credentials")
        << QByteArray() << send << "Permission denied: Send needs a valid user and password";
}

void TestSimScripts::levelsAndPasswords()
{
    QFETCH(QByteArray, credentials);
    QFETCH(QByteArray, command);
    QFETCH(QString, firstLine);
    QByteArray query = credentials.isEmpty() ? QByteArray() : credentials + '&';
    query += object_items(1.0, 40.0) + "&Name=Vega&Mess=from%20Velto_Obj_List" + command;
    const SimAnswer a = scripts->command(query, true);
    QCOMPARE(a.status, 200);
    const QList<QByteArray> lines = a.body.split('\n');
    QCOMPARE(lines.value(0), firstLine.toUtf8());
    QCOMPARE(lines.value(1), QByteArray("State=Ok"));
    const bool moved = firstLine.startsWith("Slewing");
    QCOMPARE(model->mode() == TelMode::Slew, moved);
}

void TestSimScripts::stateLevelFollowsTheCredentials_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QByteArray>("level");
    QTest::addColumn<bool>("permissLine");
    QTest::newRow("observer") << QByteArray("User=obs1&Pass=star1") << QByteArray("obs1")
                              << QByteArray("2") << false;
    QTest::newRow("operator") << QByteArray("User=oper&Pass=dome3") << QByteArray("oper")
                              << QByteArray("3") << false;
    QTest::newRow("wrong password: guest level")
        << QByteArray("User=oper&Pass=x1") << QByteArray("guest") << QByteArray("1") << true;
    QTest::newRow("no credentials: guest level")
        << QByteArray() << QByteArray("guest") << QByteArray("1") << true;
}

void TestSimScripts::stateLevelFollowsTheCredentials()
{
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, user);
    QFETCH(QByteArray, level);
    QFETCH(bool, permissLine);
    const QList<QByteArray> lines = scripts->state(query, true).body.split('\n');
    QCOMPARE(lines.value(0), QByteArray("State=Ok"));
    QCOMPARE(lines.value(1), "User=" + user);
    QCOMPARE(lines.value(2), "Level=" + level);
    QCOMPARE(lines.value(3).startsWith("Permiss"), permissLine);
}

void TestSimScripts::malformedItemsAreRefused_data()
{
    QTest::addColumn<QByteArray>("items");
    QTest::addColumn<QString>("why");
    QTest::newRow("RA without seconds") << QByteArray("RA=12:30&Dec=+40:00:00&Cmd=Slew") << "R.A.";
    QTest::newRow("RA with two points")
        << QByteArray("RA=12:30:00.0.5&Dec=+40:00:00&Cmd=Slew") << "R.A.";
    QTest::newRow("RA of 24 h") << QByteArray("RA=24:00:00&Dec=+40:00:00&Cmd=Slew") << "R.A.";
    QTest::newRow("RA minutes of 60") << QByteArray("RA=12:60:00&Dec=+40:00:00&Cmd=Slew") << "R.A.";
    QTest::newRow("RA nan") << QByteArray("RA=nan&Dec=+40:00:00&Cmd=Slew") << "R.A.";
    QTest::newRow("two signs") << QByteArray("RA=12:00:00&Dec=+-5:10:00&Cmd=Send") << "Dec";
    QTest::newRow("Dec beyond the pole")
        << QByteArray("RA=12:00:00&Dec=+90:00:01&Cmd=Send") << "Dec";
    QTest::newRow("Dec missing") << QByteArray("RA=12:00:00&Cmd=Send") << "Dec";
    QTest::newRow("epoch not a year")
        << QByteArray("RA=12:00:00&Dec=+40:00:00&Epoch=J2000&Cmd=Send") << "Epoch";
    QTest::newRow("offset nan") << QByteArray("offHA=nan&offDec=1&Cmd=Corr") << "offHA";
    QTest::newRow("offset inf") << QByteArray("offHA=1&offDec=inf&Cmd=Corr") << "offDec";
    QTest::newRow("offset overflowing") << QByteArray("offHA=1e999&offDec=1&Cmd=Corr") << "offHA";
    QTest::newRow("offset too large") << QByteArray("offHA=241&offDec=1&Cmd=Corr") << "at most";
    QTest::newRow("correction not a number") << QByteArray("dHA=abc&dDec=1&Cmd=AdCorr") << "dHA";
    QTest::newRow("offset missing") << QByteArray("offHA=1&Cmd=Corr") << "offDec";
    QTest::newRow("unknown command") << QByteArray("Cmd=Park") << "Unknown command";
    QTest::newRow("no command") << QByteArray("Mess=hello") << "Unknown command";
    QTest::newRow("item of another command")
        << QByteArray("RA=12:00:00&Cmd=Stop") << "does not belong";
    QTest::newRow("item given twice")
        << QByteArray("RA=12:00:00&RA=13:00:00&Dec=+40:00:00&Cmd=Send") << "twice";
    QTest::newRow("name too long")
        << QByteArray("RA=12:00:00&Dec=+40:00:00&Name=" + QByteArray(81, 'x') + "&Cmd=Send")
        << "Name";
}

void TestSimScripts::malformedItemsAreRefused()
{
    QFETCH(QByteArray, items);
    QFETCH(QString, why);
    const TelescopeReading before = model->reading();
    const SimAnswer a = scripts->command("User=admin&Pass=root5&" + items, true);
    QCOMPARE(a.status, 200);
    const QString first = QString::fromUtf8(a.body.split('\n').value(0));
    QVERIFY2(first.contains(why), qPrintable(first));
    const TelescopeReading after = model->reading();
    QCOMPARE(after.mode, before.mode);
    QCOMPARE(after.off_ha, before.off_ha);
    QCOMPARE(after.has_object, false);
}

void TestSimScripts::queryDecoding_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QString>("name");
    QTest::newRow("percent-encoded space") << QByteArray("Name=NGC%20224") << "NGC 224";
    QTest::newRow("plus stays a plus") << QByteArray("Name=BD+40") << "BD+40";
    QTest::newRow("encoded equals and ampersand") << QByteArray("Name=a%3Db%26c") << "a=b&c";
    QTest::newRow("UTF-8") << QByteArray("Name=%D0%92%D0%B5%D0%B3%D0%B0") << "Вега";
}

void TestSimScripts::queryDecoding()
{
    QFETCH(QByteArray, query);
    QFETCH(QString, name);
    QueryItemList items;
    QString error;
    QVERIFY(parse_query(query + "&Cmd=Send", items, &error));
    QCOMPARE(items.size(), 2);
    QCOMPARE(items.at(0).second, name);
    QCOMPARE(items.at(1), qMakePair(QStringLiteral("Cmd"), QStringLiteral("Send")));
}

void TestSimScripts::sendKeepsTheTelescopeWhereItIs()
{
    const SimAnswer a = scripts->command(
        "User=obs1&Pass=star1&" + object_items(2.0, 30.0) + "&Name=M13&Cmd=Send", true);
    QCOMPARE(a.body, QByteArray("Object M13 accepted\nState=Ok\n"));
    const TelescopeReading r = model->reading();
    QCOMPARE(r.mode, TelMode::Stop);
    QCOMPARE(r.object.name, QStringLiteral("M13"));
    QCOMPARE(r.object.dec_deg, 30.0);
}

void TestSimScripts::objectWithoutANameIsCalledByItsCoordinates()
{
    const QByteArray items = object_items(2.0, 30.0); // "RA=hh:mm:ss&Dec=+30:00:00"
    const SimAnswer a = scripts->command("User=oper&Pass=dome3&" + items + "&Cmd=Send", true);
    QCOMPARE(a.body.split('\n').value(0), "Object " + items.mid(3, 8) + ".00 +30:00:00.0 accepted");
}

void TestSimScripts::slewWithoutCoordinatesUsesTheSentObject()
{
    QVERIFY(scripts->command("User=oper&Pass=dome3&Cmd=Slew", true)
                .body.startsWith("Slew refused: no object"));
    scripts->command("User=obs1&Pass=star1&" + object_items(2.0, 30.0) + "&Name=M13&Cmd=Send",
                     true);
    QCOMPARE(scripts->command("User=oper&Pass=dome3&Cmd=Slew", true).body,
             QByteArray("Slewing to M13\nState=Ok\n"));
}

void TestSimScripts::notReadyTcs()
{
    QVERIFY(!scripts->state("User=oper&Pass=dome3", false).body.startsWith("State=Ok\n"));
    const QList<QByteArray> lines =
        scripts->command("User=oper&Pass=dome3&Cmd=Stop", false).body.split('\n');
    QCOMPARE(lines.value(0), QByteArray("TCS not ready: Stop not executed"));
    QCOMPARE(lines.value(1), TcsScripts::not_ready_state_line());
}

void TestSimScripts::usersFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QByteArray>("listing");
    QTest::newRow("comments, blanks and an empty description")
        << QByteArray("# users\n\nguest kelpo 1 Guest\n  obs2   pw  2\nboss pw 5 The  Boss\n")
        << QString() << QByteArray("guest Guest\nobs2\nboss The Boss\n");
    QTest::newRow("level out of range")
        << QByteArray("guest kelpo 6\n") << "line 1" << QByteArray();
    QTest::newRow("level missing") << QByteArray("# x\nguest kelpo\n") << "line 2" << QByteArray();
    QTest::newRow("one-character password")
        << QByteArray("guest k 1\n") << "password" << QByteArray();
    QTest::newRow("login twice") << QByteArray("a pw 1\na pw 2\n") << "twice" << QByteArray();
    QTest::newRow("no user") << QByteArray("# nobody\n") << "no user" << QByteArray();
}

void TestSimScripts::usersFile()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    QFETCH(QByteArray, listing);
    UsersTable table = UsersTable::built_in();
    const QByteArray before = table.listing();
    QString why;
    QCOMPARE(table.read(text, &why), error.isEmpty());
    QVERIFY2(why.contains(error), qPrintable(why));
    QCOMPARE(table.listing(), error.isEmpty() ? listing : before);
}

void TestSimScripts::horizonFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<HorizonProfile::Role>("role");
    QTest::addColumn<bool>("good");
    const auto direct = HorizonProfile::Role::Direct;
    const auto reverse = HorizonProfile::Role::Reverse;
    QByteArray many = "# direct\n";
    for (int i = 0; i < 361; ++i)
        many += QByteArray::number(i % 360) + " 5\n";
    QTest::newRow("three points") << QByteArray("# direct\n0 10\n90 5\n180 3\n") << direct << true;
    QTest::newRow("direct without a heading") << QByteArray("0 10\n") << direct << true;
    QTest::newRow("reverse heading") << QByteArray("# the reverse one\n0 10\n") << reverse << true;
    QTest::newRow("reverse without a heading") << QByteArray("0 10\n") << reverse << false;
    QTest::newRow("reverse heading that also names direct")
        << QByteArray("# reverse, not direct\n0 10\n") << reverse << false;
    QTest::newRow("heading after the first point does not count")
        << QByteArray("0 10\n# reverse\n5 10\n") << reverse << false;
    QTest::newRow("altitude nan") << QByteArray("# direct\n0 nan\n") << direct << false;
    QTest::newRow("azimuth inf") << QByteArray("inf 5\n") << direct << false;
    QTest::newRow("azimuth of 360") << QByteArray("360 5\n") << direct << false;
    QTest::newRow("three fields") << QByteArray("0 5 7\n") << direct << false;
    QTest::newRow("more than 360 points") << many << direct << false;
}

void TestSimScripts::horizonFile()
{
    QFETCH(QByteArray, text);
    QFETCH(HorizonProfile::Role, role);
    QFETCH(bool, good);
    HorizonProfile profile = HorizonProfile::built_in_direct();
    const QByteArray before = profile.text();
    QString error;
    QCOMPARE(profile.read(text, role, &error), good);
    QCOMPARE(profile.text(), good ? text : before);
    QCOMPARE(error.isEmpty(), good);
}

void TestSimScripts::horizonInterpolation()
{
    HorizonProfile profile;
    QString error;
    QVERIFY(profile.read("# direct\n0 10\n90 20\n270 0\n", HorizonProfile::Role::Direct, &error));
    QCOMPARE(profile.altitude_at(45.0), 15.0);
    QCOMPARE(profile.altitude_at(90.0), 20.0);
    QCOMPARE(profile.altitude_at(315.0), 5.0); // across north, back to the first point
    QCOMPARE(profile.altitude_at(-45.0), 5.0);
    // The built-in profiles are filed where they belong, and flipped the tube
    // reaches no lower than in the direct position.
    QVERIFY(HorizonProfile().read(HorizonProfile::built_in_direct().text(),
                                  HorizonProfile::Role::Direct, &error));
    QVERIFY(HorizonProfile().read(HorizonProfile::built_in_reverse().text(),
                                  HorizonProfile::Role::Reverse, &error));
    const HorizonProfile direct = HorizonProfile::built_in_direct();
    const HorizonProfile reverse = HorizonProfile::built_in_reverse();
    QCOMPARE(reverse.points().size(), 360);
    for (const auto &p : reverse.points())
        QVERIFY(p.altitude >= direct.altitude_at(p.azimuth));
}

QTEST_GUILESS_MAIN(TestSimScripts)
#include "tst_sim_scripts.moc"
