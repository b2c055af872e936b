#include "local_tcs.h"
#include "main_window_probe.h"

#include <QLineEdit>
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
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += program.readAllStandardOutput()).count('\n') >= 2, 20000);
    QCOMPARE(::kill(program.processId(), signal_number), 0);
    QVERIFY(program.waitForFinished(20000));
    out += program.readAllStandardOutput();
    QVERIFY(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0);
    // Start line, sidereal time, ..., the stop line last with its newline.
    const QString stamp = "\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\n";
    QVERIFY2(QRegularExpression("^Velto_Obj_List start " + stamp + "stime=[0-9:.]{11}\n(.*\n)*" +
                                "Velto_Obj_List stop " + stamp + '$')
                 .match(QString::fromUtf8(out))
                 .hasMatch(),
             out.constData());
}

const QStringList object{"velto_obj_edt", "velto_ra_edt", "velto_decl_edt", "velto_epoch_edt"};

void TestProgram::filledFieldsShowTheirBeginning_data()
{
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<QString>("button"); // empty: the list window fills the form
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("texts");
    QTest::newRow("negative offsets after Get")
        << QByteArray("State=Ok\noffHA=-12.75\noffDec=-1234.5\n") << "velto_get_offset_btn"
        << QStringList{"velto_offha_edt", "velto_offdec_edt"} << "-12.75|-1234.5";
    QTest::newRow("object after Get from Velto")
        << QByteArray("State=Ok\nObjName=A very long name of the current object\n"
                      "ra2000=18:36:56.33\ndec2000=-38:47:01.25\n")
        << "velto_get_btn" << object
        << "A very long name of the current object|18:36:56.33|-38:47:01.25|2000.0";
    QTest::newRow("object from the list")
        << QByteArray() << QString() << object << "Another long|-12:34:56.78|-01:02:03.4|2000.0";
}

void TestProgram::filledFieldsShowTheirBeginning()
{
    QFETCH(QByteArray, state);
    QFETCH(QString, button);
    QFETCH(QStringList, fields);
    QFETCH(QString, texts);
    tcs.sim.set_canned_body(SimScript::State, state);
    Velto_Obj_List window;
    window.show();
    const auto shown = [&](const QStringList &names) {
        QStringList all;
        for (const QString &name : names) {
            const auto *field = window.findChild<QLineEdit *>(name);
            all << field->text() + (field->cursorPosition() == 0 ? "" : " (cursor at the end)");
        }
        return all.join('|');
    };
    Velto_object &receiver = window; // as the list window sees it
    if (button.isEmpty())            // the four-value form chains to the three- and two-value ones
        receiver.set_object("Another long", "-12:34:56.78", "-01:02:03.4", "2000.0");
    else
        QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);
    QTRY_COMPARE(shown(fields), texts);
    // Without a name the object and epoch fields are emptied; a hidden main
    // window is shown again.
    window.hide();
    receiver.set_object(QString(), "01:00:00", "+01:00:00");
    QVERIFY(window.isVisible());
    QCOMPARE(shown(object), QStringLiteral("|01:00:00|+01:00:00|"));
}

void TestProgram::quitClosesEveryWindow()
{
    Velto_Obj_List window;
    window.show();
    MainWindowProbe(window).form().actionVelto_Corr->trigger();
    MainWindowProbe(window).form().actionHelp->trigger();
    const auto visible_windows = [] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::count_if(windows.cbegin(), windows.cend(), std::mem_fn(&QWidget::isVisible));
    };
    QTRY_COMPARE(visible_windows(), 5); // main, list, sky, corrections, help
    MainWindowProbe(window).form().actionQuit->trigger();
    QTRY_COMPARE(visible_windows(), 0);
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
