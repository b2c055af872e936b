#include "local_tcs.h"
#include "main_window_probe.h"

#include <QLineEdit>
#include <QTextDocument>
#include <QtTest>

#include <algorithm>
#include <csignal>

namespace
{

int visible_windows()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return int(std::count_if(windows.cbegin(), windows.cend(),
                             [](const QWidget *w) { return w->isVisible(); }));
}

} // namespace

// The running program: the real executable's lines and its end on a signal,
// and the main window's own behaviour against the simulator.
class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void init() { tcs.sim.set_canned_body(SimScript::State, std::nullopt); }
    void signalEndsLikeQuit_data();
    void signalEndsLikeQuit();
    void filledFieldsShowTheirBeginning_data();
    void filledFieldsShowTheirBeginning();
    void hostTooltipIsTheWholeHost();
    void quitClosesEveryWindow();

private:
    LocalTcs tcs; // answers the users list of every main window
};

void TestProgram::signalEndsLikeQuit_data()
{
    QTest::addColumn<int>("signal_number");
    QTest::newRow("desktop logout (SIGTERM)") << int(SIGTERM);
    QTest::newRow("Ctrl+C (SIGINT)") << int(SIGINT);
    QTest::newRow("closed terminal (SIGHUP)") << int(SIGHUP);
}

void TestProgram::signalEndsLikeQuit()
{
    QFETCH(int, signal_number);
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(VELTO_PROGRAM), {});
    QVERIFY(program.waitForStarted());
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += program.readAllStandardOutput()).count('\n') >= 2, 20000);
    QCOMPARE(::kill(program.processId(), signal_number), 0);
    QVERIFY(program.waitForFinished(20000));
    out += program.readAllStandardOutput();
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);

    const QStringList lines = QString::fromUtf8(out).split('\n');
    const QString stamp = QStringLiteral("\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d");
    const auto matches = [](const QString &pattern, const QString &line) {
        return QRegularExpression('^' + pattern + '$').match(line).hasMatch();
    };
    QVERIFY2(matches("Velto_Obj_List start " + stamp, lines.at(0)), qPrintable(lines.at(0)));
    QVERIFY2(matches("stime=\\d\\d:\\d\\d:\\d\\d\\.\\d\\d", lines.at(1)), qPrintable(lines.at(1)));
    QCOMPARE(lines.last(), QString()); // the stop line ends with its newline
    QVERIFY2(matches("Velto_Obj_List stop " + stamp, lines.at(lines.size() - 2)),
             qPrintable(QString::fromUtf8(out)));
}

void TestProgram::filledFieldsShowTheirBeginning_data()
{
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("negative offsets after Get")
        << QByteArray("State=Ok\noffHA=-12.75\noffDec=-1234.5\n") << "velto_get_offset_btn"
        << QStringList{"velto_offha_edt", "velto_offdec_edt"};
    QTest::newRow("object after Get from Velto")
        << QByteArray("State=Ok\nObjName=A very long name of the current object\n"
                      "ra2000=18:36:56.33\ndec2000=-38:47:01.25\n")
        << "velto_get_btn"
        << QStringList{"velto_obj_edt", "velto_ra_edt", "velto_decl_edt", "velto_epoch_edt"};
}

void TestProgram::filledFieldsShowTheirBeginning()
{
    QFETCH(QByteArray, state);
    QFETCH(QString, button);
    QFETCH(QStringList, fields);
    tcs.sim.set_canned_body(SimScript::State, state);
    Velto_Obj_List window;
    window.show();
    QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);
    for (const QString &name : fields) {
        auto *field = window.findChild<QLineEdit *>(name);
        QTRY_VERIFY2(!field->text().isEmpty() && field->text() != "0.0", qPrintable(name));
        QCOMPARE(field->cursorPosition(), 0);
    }

    // The list window fills the form through a Velto_object: the overloads
    // chain 4 -> 3 -> 2 and every field shows its beginning.
    Velto_object &receiver = window;
    receiver.set_object("Another long object name", "-12:34:56.78", "-01:02:03.4", "2000.0");
    MainWindowProbe probe(window);
    const QList<QLineEdit *> form{probe.form().velto_obj_edt, probe.form().velto_ra_edt,
                                  probe.form().velto_decl_edt, probe.form().velto_epoch_edt};
    const QStringList texts{"Another long object name", "-12:34:56.78", "-01:02:03.4", "2000.0"};
    for (int i = 0; i < form.size(); ++i) {
        QCOMPARE(form[i]->text(), texts[i]);
        QCOMPARE(form[i]->cursorPosition(), 0);
    }
    // Without a name the object and epoch fields stay empty; a hidden main
    // window is shown again.
    window.hide();
    receiver.set_object(QString(), "01:00:00", "+01:00:00");
    QVERIFY(window.isVisible());
    QCOMPARE(form[0]->text() + form[3]->text(), QString());
    QCOMPARE(form[1]->text(), QStringLiteral("01:00:00"));
}

void TestProgram::hostTooltipIsTheWholeHost()
{
    Velto_Obj_List window;
    QTextDocument shown;
    shown.setHtml(MainWindowProbe(window).form().velto_host_lab->toolTip());
    QCOMPARE(shown.toPlainText(), tcs.sim.host_text());
}

void TestProgram::quitClosesEveryWindow()
{
    Velto_Obj_List window;
    window.show();
    MainWindowProbe probe(window);
    for (QAction *action : {probe.form().actionVelto_Corr, probe.form().actionHelp})
        action->trigger();
    QTRY_COMPARE(visible_windows(), 5); // main, list, sky, corrections, help
    probe.form().actionQuit->trigger();
    QTRY_COMPARE(visible_windows(), 0);
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
