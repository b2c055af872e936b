#include "tcs/state_reply.h"

#include <QtTest>

Q_DECLARE_METATYPE(StateKey)

namespace
{

QByteArrayList lines_of(const QByteArray &text)
{
    QByteArrayList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        end = end < 0 ? text.size() : end + 1;
        lines << text.mid(start, end - start);
        start = end;
    }
    return lines;
}

} // namespace

// The TCS state reply, line by line, without any window.
class TestStateReply : public QObject
{
    Q_OBJECT

private slots:
    void eachKey_data();
    void eachKey();
    void linesMatchingNoKeyAreIgnored_data();
    void linesMatchingNoKeyAreIgnored();
    void statusText_data();
    void statusText();
    void itemsKeepTheReplyOrder();
    void lastLineWithoutNewline();
    void numbersThatAreNotNumbers_data();
    void numbersThatAreNotNumbers();
    void stime_data();
    void stime();
    void level_data();
    void level();
};

void TestStateReply::eachKey_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<StateKey>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::newRow("User") << QByteArray("User=obs\n") << StateKey::User << "obs" << 0.0;
    QTest::newRow("Level") << QByteArray("Level=3\n") << StateKey::Level << "3" << 3.0;
    QTest::newRow("Stime") << QByteArray("Stime=12.5\n") << StateKey::Stime << "12.5" << 12.5;
    QTest::newRow("RA") << QByteArray("RA=1.5\n") << StateKey::RA << "1.5" << 1.5;
    QTest::newRow("Dec") << QByteArray("Dec=-45\n") << StateKey::Dec << "-45" << -45.0;
    QTest::newRow("HA") << QByteArray("HA=2\n") << StateKey::HA << "2" << 2.0;
    QTest::newRow("A") << QByteArray("A=10\n") << StateKey::A << "10" << 10.0;
    QTest::newRow("Z") << QByteArray("Z=30\n") << StateKey::Z << "30" << 30.0;
    QTest::newRow("VHA") << QByteArray("VHA=1.0027\n") << StateKey::VHA << "1.0027" << 1.0027;
    QTest::newRow("VDec") << QByteArray("VDec=-12\n") << StateKey::VDec << "-12" << -12.0;
    QTest::newRow("offHA") << QByteArray("offHA=0.5\n") << StateKey::OffHA << "0.5" << 0.5;
    QTest::newRow("offDec") << QByteArray("offDec=-3\n") << StateKey::OffDec << "-3" << -3.0;
    QTest::newRow("ObjName: the line is trimmed, not the value")
        << QByteArray("ObjName=  M 31 \n") << StateKey::ObjName << "  M 31" << 0.0;
    QTest::newRow("ra2000 not trimmed")
        << QByteArray("ra2000=00:42:44.3 \n") << StateKey::Ra2000 << "00:42:44.3 " << 0.0;
    QTest::newRow("dec2000") << QByteArray("dec2000=+41:16:09\n") << StateKey::Dec2000
                             << "+41:16:09" << 0.0;
    QTest::newRow("PA") << QByteArray("PA=12.5\n") << StateKey::PA << "12.5" << 12.5;
    QTest::newRow("TCSmode trimmed")
        << QByteArray("TCSmode=Simul \r\n") << StateKey::TCSmode << "Simul" << 0.0;
    QTest::newRow("TelFlip") << QByteArray("TelFlip=Yes\n") << StateKey::TelFlip << "Yes" << 0.0;
    QTest::newRow("TelMode trimmed")
        << QByteArray("TelMode=Track  \n") << StateKey::TelMode << "Track" << 0.0;
    QTest::newRow("State") << QByteArray("State=Ok\n") << StateKey::State << "Ok" << 0.0;
    QTest::newRow("trimming is of the line, not the value")
        << QByteArray("State= Ok\n") << StateKey::State << " Ok" << 0.0;
    QTest::newRow("value after the first equals")
        << QByteArray("ObjName=a=b\n") << StateKey::ObjName << "a=b" << 0.0;
    QTest::newRow("no equals: empty value")
        << QByteArray("TelMode\n") << StateKey::TelMode << "" << 0.0;
    QTest::newRow("prefix without equals matches")
        << QByteArray("Username=x\n") << StateKey::User << "x" << 0.0;
    QTest::newRow("Stime before State in the order")
        << QByteArray("Stime=1\n") << StateKey::Stime << "1" << 1.0;
    QTest::newRow("PAngle is PA") << QByteArray("PAngle=7\n") << StateKey::PA << "7" << 7.0;
}

void TestStateReply::eachKey()
{
    QFETCH(QByteArray, line);
    QFETCH(StateKey, key);
    QFETCH(QString, text);
    QFETCH(double, number);
    const StateReply reply = parse_state_reply({QByteArray("State=Ok\n"), line});
    QCOMPARE(reply.items.size(), 2);
    QCOMPARE(reply.items.at(1).key, key);
    QCOMPARE(reply.items.at(1).text, text);
    QCOMPARE(reply.items.at(1).number, number);
}

void TestStateReply::linesMatchingNoKeyAreIgnored_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("DecOffset") << QByteArray("DecOffset=1\n");
    QTest::newRow("Decl") << QByteArray("Decl=1\n");
    QTest::newRow("lower case key") << QByteArray("state=Ok\n");
    QTest::newRow("leading blank") << QByteArray(" State=Ok\n");
    QTest::newRow("RA without equals") << QByteArray("RAx=3\n");
    QTest::newRow("empty line") << QByteArray("\n");
}

void TestStateReply::linesMatchingNoKeyAreIgnored()
{
    QFETCH(QByteArray, line);
    QVERIFY(parse_state_reply({QByteArray("x\n"), line}).items.isEmpty());
}

void TestStateReply::statusText_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("status");
    QTest::newRow("no lines") << QByteArray() << "State=Err";
    QTest::newRow("first line, equals shown as blanks")
        << QByteArray("State=Ok\nUser=a\n") << "State Ok";
    QTest::newRow("Permiss line later wins")
        << QByteArray("State=NotReady\nPermission=denied: a=b\n") << "Permission denied: a b";
    QTest::newRow("last Permiss line wins")
        << QByteArray("State=x\nPermiss=1\nPermiss=2\n") << "Permiss 2";
    QTest::newRow("CRLF removed") << QByteArray("State=Off\r\n") << "State Off";
}

void TestStateReply::statusText()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, status);
    QCOMPARE(parse_state_reply(lines_of(reply)).status_text, status);
}

void TestStateReply::itemsKeepTheReplyOrder()
{
    const StateReply reply =
        parse_state_reply(lines_of("State=Ok\nLevel=3\nUser=obs\nTelMode=Slew\nTelMode=Track\n"));
    QList<StateKey> keys;
    for (const StateItem &item : reply.items)
        keys << item.key;
    QCOMPARE(keys, QList<StateKey>({StateKey::State, StateKey::Level, StateKey::User,
                                    StateKey::TelMode, StateKey::TelMode}));
    QCOMPARE(reply.items.last().text, QStringLiteral("Track"));
}

void TestStateReply::lastLineWithoutNewline()
{
    const StateReply reply = parse_state_reply(lines_of("State=Ok\nObjName=Vega"));
    QCOMPARE(reply.items.last().text, QStringLiteral("Vega"));
    const StateReply unterminated = parse_state_reply(lines_of("State=Ok\nra2000=12:00:0"));
    QCOMPARE(unterminated.items.last().text, QStringLiteral("12:00:0"));
}

void TestStateReply::numbersThatAreNotNumbers_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("word") << QByteArray("RA=abc\n");
    QTest::newRow("empty") << QByteArray("RA=\n");
    QTest::newRow("nan") << QByteArray("RA=nan\n");
    QTest::newRow("inf") << QByteArray("RA=inf\n");
    QTest::newRow("overflow") << QByteArray("RA=1e999\n");
    QTest::newRow("decimal comma") << QByteArray("RA=1,5\n");
}

void TestStateReply::numbersThatAreNotNumbers()
{
    QFETCH(QByteArray, line);
    const StateReply reply = parse_state_reply({QByteArray("State=Ok\n"), line});
    QCOMPARE(reply.items.at(1).key, StateKey::RA);
    QCOMPARE(reply.items.at(1).number, 0.0);
}

void TestStateReply::stime_data()
{
    QTest::addColumn<double>("hours");
    QTest::addColumn<double>("seconds");
    QTest::newRow("within a day") << 12.5 << 45000.0;
    QTest::newRow("wraps past 24") << 25.5 << 5400.0;
    QTest::newRow("negative stays negative (unset)") << -1.5 << -5400.0;
    QTest::newRow("48 and a bit") << 48.25 << 900.0;
    QTest::newRow("huge value reduced without overflow") << 24e12 + 1.0 << 3600.0;
    QTest::newRow("past 2^53 hours, still within a day") << 1e20 << 57600.0;
    QTest::newRow("negative past 2^53 hours") << -1e20 << -57600.0;
    QTest::newRow("1.54302e65 hours is whole days") << 1.54302e65 << 0.0;
}

void TestStateReply::stime()
{
    QFETCH(double, hours);
    QFETCH(double, seconds);
    QVERIFY2(qAbs(state_stime_seconds(hours) - seconds) < 1e-3,
             qPrintable(QString::number(state_stime_seconds(hours))));
}

void TestStateReply::level_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("level");
    QTest::newRow("three") << "3" << 3;
    QTest::newRow("nine, clamped later") << "9" << 9;
    QTest::newRow("negative") << "-2" << -2;
    QTest::newRow("not a number") << "x" << 0;
    QTest::newRow("fraction is not an integer") << "2.5" << 0;
    QTest::newRow("blanks around") << " 4 " << 4;
}

void TestStateReply::level()
{
    QFETCH(QString, text);
    QFETCH(int, level);
    QCOMPARE(state_level(StateItem{StateKey::Level, text}), level);
}

QTEST_APPLESS_MAIN(TestStateReply)
#include "tst_state_reply.moc"
