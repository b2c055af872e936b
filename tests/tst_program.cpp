#include "local_tcs.h"
#include "main_window_probe.h"

#include <QLineEdit>
#include <QTextDocument>
#include <QtTest>

#include <csignal>

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
    QProcess program; // headless like this test (QT_QPA_PLATFORM)
    program.start(QStringLiteral(VELTO_PROGRAM), {});
    QVERIFY(program.waitForStarted());
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += program.readAllStandardOutput()).count('\n') >= 2, 20000);
    QCOMPARE(::kill(program.processId(), signal_number), 0);
    QVERIFY(program.waitForFinished(20000));
    out += program.readAllStandardOutput();
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);

    // Start line, sidereal time, ..., the stop line last with its newline.
    const QString stamp = "\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\n";
    const QRegularExpression expected("^Velto_Obj_List start " + stamp +
                                      "stime=\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\n(.*\n)*"
                                      "Velto_Obj_List stop " +
                                      stamp + '$');
    QVERIFY2(expected.match(QString::fromUtf8(out)).hasMatch(), out.constData());
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
    for (QLineEdit *field : form)
        QCOMPARE(field->cursorPosition(), 0);
    QCOMPARE(form[0]->text() + form[1]->text() + form[2]->text() + form[3]->text(),
             QStringLiteral("Another long object name-12:34:56.78-01:02:03.42000.0"));
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
    const auto visible_windows = [] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::count_if(windows.cbegin(), windows.cend(),
                             [](QWidget *w) { return w->isVisible(); });
    };
    QTRY_COMPARE(visible_windows(), 5); // main, list, sky, corrections, help
    probe.form().actionQuit->trigger();
    QTRY_COMPARE(visible_windows(), 0);
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
