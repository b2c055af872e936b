#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The velto_tcs_sim executable: its options, its files and its log lines.
class TestSimProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void helpDocumentsEveryOption();
    void badStartsAreRefused_data();
    void badStartsAreRefused();
    void servesItsFilesAndFaults();

private:
    QString write_file(const QString &name, const QByteArray &text);
    QTemporaryDir dir;
};

void TestSimProgram::initTestCase()
{
    QVERIFY(dir.isValid());
}

QString TestSimProgram::write_file(const QString &name, const QByteArray &text)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return {};
    return file.fileName();
}

void TestSimProgram::helpDocumentsEveryOption()
{
    QProcess sim;
    sim.start(QStringLiteral(VELTO_SIM), {QStringLiteral("--help")});
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitCode(), 0);
    const QString help = QString::fromUtf8(sim.readAllStandardOutput());
    for (const char *text :
         {"--port <N>", "--address <ADDR>", "--users <FILE>", "--horizon-dir <FILE>",
          "--horizon-rev <FILE>", "--speed <F>", "--fault <SCRIPT=FAULT>", "--fault-delay <MS>",
          "login password level description", "users, state, command", "delay", "never", "close",
          "http500", "empty", "garbage", "oversized", "oversized-stream", "notok"})
        QVERIFY2(help.contains(QLatin1String(text)), text);
}

void TestSimProgram::badStartsAreRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QString bad_users = write_file("bad_users.txt", "guest kelpo 1\nobs1 star1 seven\n");
    const QString unheaded = write_file("unheaded.txt", "0 10\n90 5\n");
    QTest::newRow("users file with a bad level")
        << QStringList{"--users", bad_users} << "bad_users.txt: line 2";
    QTest::newRow("users file missing")
        << QStringList{"--users", dir.filePath("none.txt")} << "cannot read";
    QTest::newRow("reverse profile without its heading")
        << QStringList{"--horizon-rev", unheaded} << "naming \"reverse\"";
    QTest::newRow("negative speed") << QStringList{"--speed", "-2"} << "--speed";
    QTest::newRow("infinite speed") << QStringList{"--speed", "inf"} << "--speed";
    QTest::newRow("unknown fault") << QStringList{"--fault", "state=slow"} << "--fault state=slow";
    QTest::newRow("unknown script") << QStringList{"--fault", "dome=never"} << "--fault dome=never";
    QTest::newRow("port out of range") << QStringList{"--port", "70000"} << "--port";
}

void TestSimProgram::badStartsAreRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QProcess sim;
    sim.start(QStringLiteral(VELTO_SIM), arguments);
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitCode(), 2);
    const QString err = QString::fromUtf8(sim.readAllStandardError());
    QVERIFY2(err.contains(message), qPrintable(err));
}

void TestSimProgram::servesItsFilesAndFaults()
{
    const QByteArray users = "# our night\nguest kelpo 1 Guest\nnight n1ght 3 Night assistant\n";
    const QByteArray reverse = "# reverse profile of the test\n0 10\n180 20\n";
    QProcess sim;
    sim.start(QStringLiteral(VELTO_SIM),
              {"--port", "0", "--users", write_file("users.txt", users), "--horizon-rev",
               write_file("rev.txt", reverse), "--fault", "command=http500"});
    QByteArray out;
    QTRY_VERIFY((out += sim.readAllStandardOutput()).contains('\n'));
    const QRegularExpression listening(
        "^velto_tcs_sim listening on http://127\\.0\\.0\\.1:(\\d+)/");
    const QRegularExpressionMatch m = listening.match(QString::fromLatin1(out));
    QVERIFY2(m.hasMatch(), out.constData());
    const QString base = "http://127.0.0.1:" + m.captured(1);

    QNetworkAccessManager nam;
    auto body = [&](const QString &path, int *status) {
        std::unique_ptr<QNetworkReply> reply(nam.get(QNetworkRequest(QUrl(base + path))));
        if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 5000))
            reply->abort(); // no status, and the comparisons below say so
        *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        return reply->readAll();
    };
    int status = 0;
    QCOMPARE(body("/tcs/velto_users_all.cgi", &status), QByteArray("guest Guest\nnight Night "
                                                                   "assistant\n"));
    QCOMPARE(body("/tcs/velto_horizon.php?rev", &status), reverse);
    QVERIFY(body("/tcs/vtcs_get.cgi?User=night&Pass=n1ght", &status).contains("\nLevel=3\n"));
    body("/tcs/vtcs_send.cgi?User=night&Pass=n1ght&Cmd=Stop", &status);
    QCOMPARE(status, 500);
    QTRY_VERIFY((out += sim.readAllStandardOutput()).count('\n') == 5);
    sim.kill();
    sim.waitForFinished();
    const QList<QByteArray> lines = out.trimmed().split('\n');
    QCOMPARE(
        lines.mid(1),
        QList<QByteArray>({"GET /tcs/velto_users_all.cgi 200", "GET /tcs/velto_horizon.php?rev 200",
                           "GET /tcs/vtcs_get.cgi?User=night&Pass=n1ght 200",
                           "GET /tcs/vtcs_send.cgi?User=night&Pass=n1ght&Cmd=Stop "
                           "500"}));
}

QTEST_GUILESS_MAIN(TestSimProgram)
#include "tst_sim_program.moc"
