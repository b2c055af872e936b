#include <QtTest>

// The real program, started headless: its first lines on standard output.
class TestProgramRun : public QObject
{
    Q_OBJECT

private slots:
    void startAndSiderealTimeLines();
};

void TestProgramRun::startAndSiderealTimeLines()
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(VELTO_PROGRAM), {});
    QVERIFY(program.waitForStarted());
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += program.readAllStandardOutput()).count('\n') >= 2, 20000);
    program.kill();
    program.waitForFinished();
    const QList<QByteArray> lines = out.split('\n');
    QVERIFY2(
        QRegularExpression(
            QStringLiteral("^Velto_Obj_List start \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d$"))
            .match(QString::fromLatin1(lines.at(0)))
            .hasMatch(),
        lines.at(0).constData());
    QVERIFY2(QRegularExpression(QStringLiteral("^stime=\\d\\d:\\d\\d:\\d\\d\\.00$"))
                 .match(QString::fromLatin1(lines.at(1)))
                 .hasMatch(),
             lines.at(1).constData());
}

QTEST_GUILESS_MAIN(TestProgramRun)
#include "tst_program_run.moc"
