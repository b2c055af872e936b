#include "app/quit_signals.h"
#include "local_tcs.h"
#include "log_capture.h"
#include "main_window_probe.h"
#include "modal_closer.h"
#include "objlist/velto_list.h"
#include "test_files.h"

#include <QFileDialog>
#include <QtTest>
#include <csignal>

const QStringList object{"velto_obj_edt", "velto_ra_edt", "velto_decl_edt", "velto_epoch_edt"};

// An object typed into the form, and its row as saved.
const QStringList typed{"S", "12:00:00", "-5:00:00", "1950.0"};
const QByteArray typed_row = " 12 00 00    : -5 00 00    ; 1950.0 # S\n";

// The running program: the real executable's lines and its end on a signal,
// and the main window's own behaviour against the simulator.
class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void init() { tcs.sim.set_canned_body(SimScript::State, std::nullopt); }
    void cleanup() { qputenv("XDG_STATE_HOME", state_home); }
    void signalEndsLikeQuit_data()
    {
        QTest::addColumn<int>("signal_number");
        QTest::addColumn<QStringList>("arguments"); // the night option adds no line
        QTest::newRow("desktop logout (SIGTERM)") << int(SIGTERM) << QStringList();
        QTest::newRow("Ctrl+C (SIGINT)") << int(SIGINT) << QStringList();
        QTest::newRow("closed terminal (SIGHUP)") << int(SIGHUP) << QStringList();
        QTest::newRow("started in night colours") << int(SIGTERM) << QStringList{"--night"};
    }
    void signalEndsLikeQuit()
    {
        QFETCH(int, signal_number);
        QFETCH(QStringList, arguments);
        QProcess program; // headless like this test (QT_QPA_PLATFORM)
        program.start(QStringLiteral(VELTO_PROGRAM), arguments);
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT((out += program.readAllStandardOutput()).count('\n') >= 2, 20000);
        QCOMPARE(::kill(program.processId(), signal_number), 0);
        QVERIFY(program.waitForFinished(20000));
        out += program.readAllStandardOutput();
        QVERIFY(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0);
        // Start line, sidereal time, ..., the stop line last with its newline.
        const QString stamp = "\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\n";
        const QRegularExpression lines("^Velto_Obj_List start " + stamp +
                                       "stime=[0-9:.]{11}\n(.*\n)*" + "Velto_Obj_List stop " +
                                       stamp + '$');
        QVERIFY2(lines.match(QString::fromUtf8(out)).hasMatch(), out.constData());
    }
    void filledFieldsShowTheirBeginning_data()
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
        QTest::newRow("object from the list") << QByteArray() << QString() << object
                                              << "Another long|-12:34:56.78|-01:02:03.4|2000.0";
    }
    void filledFieldsShowTheirBeginning()
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
        if (button.isEmpty()) // the four-value form chains to the three- and two-value ones
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
    void quitClosesEveryWindow_data()
    {
        QTest::addColumn<QString>("edits");
        QTest::addColumn<bool>("quit");      // the Quit action, or the main window's own close
        QTest::addColumn<QString>("answer"); // to the question, if asked, and the save dialog
        QTest::addColumn<int>("visible");    // windows left of the six
        QTest::newRow("nothing unsaved") << "" << true << "" << 0;
        QTest::newRow("a list read") << "read" << true << "" << 0;
        QTest::newRow("saved after the edit") << "insert saved" << true << "" << 0;
        QTest::newRow("Cancel stays") << "insert" << true << "Cancel" << 6;
        QTest::newRow("a row removed, Cancel stays") << "read remove" << true << "Cancel" << 6;
        QTest::newRow("Discard quits") << "insert" << true << "Discard" << 0;
        QTest::newRow("save dialog cancelled: stays") << "insert" << true << "Save cancel" << 6;
        QTest::newRow("saved, then quits") << "insert" << true << "Save" << 0;
        QTest::newRow("save failed: stays") << "insert" << true << "Save into no folder" << 6;
        QTest::newRow("main window closed, Cancel") << "insert" << false << "Cancel" << 6;
        QTest::newRow("main window closed, Discard") << "insert" << false << "Discard" << 5;
    }
    // Rows inserted or removed by hand since the last read or save are never
    // lost without a question; with none, Quit closes every window at once.
    void quitClosesEveryWindow()
    {
        QFETCH(QString, edits);
        QFETCH(bool, quit);
        QFETCH(QString, answer);
        QTemporaryDir dir;
        const QString read = dir.filePath("read.lst"), saved = dir.filePath("saved.lst");
        write_file(read,
                   " 01 00 00 : +10 00 00 ; 2000.0 # A\n# two rows: one is left after a removal\n");
        Velto_Obj_List window;
        window.show();
        MainWindowProbe p(window);
        for (QAction *open :
             {p.form().actionVelto_Corr, p.form().actionHelp, p.form().actionVelto_Tonight})
            open->trigger();
        const auto visible_windows = [] {
            const QWidgetList windows = QApplication::topLevelWidgets();
            return std::count_if(windows.cbegin(), windows.cend(),
                                 std::mem_fn(&QWidget::isVisible));
        };
        QTRY_COMPARE(visible_windows(), 6); // main, list, sky, corrections, help, tonight
        if (edits.contains("read"))
            QVERIFY(p.listWindow()->read_file(read));
        if (edits.contains("insert")) {
            p.typeObject(typed);
            p.form().actionAdd_Object->trigger();
        }
        if (edits.contains("remove")) {
            p.listWindow()->select_row(0); // as a pick on the chart does
            p.form().actionRemove_Object->trigger();
        }
        if (edits.contains("saved"))
            QVERIFY(p.listWindow()->save_file(saved));
        DialogAnswer<QMessageBox> question([&](QMessageBox *box) {
            box->button(answer.startsWith("Save") ? QMessageBox::Save
                        : answer == "Discard"     ? QMessageBox::Discard
                                                  : QMessageBox::Cancel)
                ->click();
        });
        DialogAnswer<QFileDialog> save_as([&](QFileDialog *dialog) {
            dialog->findChild<QLineEdit *>("fileNameEdit")
                ->setText(answer.contains("no folder") ? dir.filePath("no/saved.lst") : saved);
            answer == "Save cancel" ? dialog->reject() : static_cast<QDialog *>(dialog)->accept();
        });
        if (quit)
            p.form().actionQuit->trigger();
        else
            window.close();
        QTEST(int(visible_windows()), "visible");
        QCOMPARE(question.answers, answer.isEmpty() ? 0 : 1);
        if (answer == "Save")
            QCOMPARE(file_bytes(saved), typed_row);
    }
    void nightLog_data()
    {
        QTest::addColumn<QString>("disk"); // the file system of the state folder
        QTest::newRow("writable") << "";
        QTest::newRow("read-only file system") << "read-only";
        QTest::newRow("full file system") << "full";
    }
    // A scripted night: every command reaches the host whatever becomes of the log;
    // a log that can be written has a line for each command as sent, the password
    // hidden, and a log that cannot says so once.
    void nightLog()
    {
        QFETCH(QString, disk);
        QTemporaryDir home;
        const QString state = home.filePath("state");
        QVERIFY(QDir().mkpath(state));
        if (!disk.isEmpty() && !private_mounts)
            QSKIP("no private mount namespace (needs root with CAP_SYS_ADMIN): no tmpfs");
        const auto unmount = mounted_tmpfs(state, disk == "read-only" ? MS_RDONLY : 0,
                                           disk.isEmpty() ? nullptr : "size=16k");
        const QString dir = state + "/Velto_Obj_List";
        if (disk == "full")
            fill_disk(dir);
        qputenv("XDG_STATE_HOME", QFile::encodeName(state));
        const QString list = home.filePath("night.lst");
        QFile(list).open(QIODevice::WriteOnly);
        tcs.sim.clear_received();
        LogCapture log;
        {
            ModalCloser closer;
            Velto_Obj_List window;
            window.show(); // F12 goes to its window
            MainWindowProbe p(window);
            auto &f = p.form();
            QTRY_VERIFY(!p.usersReplyPending());
            f.velto_user_cb->setCurrentIndex(
                f.velto_user_cb->findText("oper (", Qt::MatchStartsWith));
            f.velto_passwd_edt->setText("dome3");
            f.velto_passwd_set_btn->click();
            QTRY_VERIFY(f.velto_stop_btn->isEnabled()); // level 3 reported
            QVERIFY(p.listWindow()->read_file(list));
            f.velto_ra_edt->setText("01:00:00");
            f.velto_decl_edt->setText("+10:00:00");
            const auto sent = [&](int count) {
                QTRY_COMPARE(command_targets(tcs.sim).size(), count);
                QTRY_VERIFY(!p.commandReplyPending());
            };
            f.velto_send_btn->click();
            sent(1);
            f.velto_slew_btn->click();
            sent(2);
            f.velto_ra_edt->setText("1:00");
            f.velto_send_btn->click(); // refused
            QTest::keyClick(window.windowHandle(), Qt::Key_F12);
            sent(3);
            tcs.sim.set_fault(SimScript::Command, SimFault::ServerError);
            f.velto_stop_btn->click();
            sent(4);
            tcs.sim.set_fault(SimScript::Command, SimFault::None);
            QCOMPARE(closer.closed(), 1);
        }
        QCOMPARE(log.err.filter("Velto night log error ").size(), disk.isEmpty() ? 0 : 1);
        QByteArray text; // the nights of the session: noon may pass during it
        QStringList events, sent_lines, wire;
        for (const QFileInfo &night : QDir(dir).entryInfoList({"night-*.log"})) {
            text += file_bytes(night.filePath());
            QVERIFY(!(night.permissions() & (QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther)));
        }
        for (const QString &line : QString::fromUtf8(text).split('\n', Qt::SkipEmptyParts)) {
            const QStringList fields = line.split('\t');
            QCOMPARE(fields.size(), 4);
            QVERIFY2(QDateTime::fromString(fields[0], Qt::ISODate).isValid(), qPrintable(line));
            events << fields[2];
            if (fields[2] == "command")
                sent_lines << fields[3];
        }
        for (const QByteArray &target : command_targets(tcs.sim))
            wire << QString::fromUtf8(target.mid(target.indexOf('?') + 1)).replace("dome3", "****");
        QVERIFY(!text.contains("dome3"));
        QCOMPARE(sent_lines, disk.isEmpty() ? wire : QStringList());
        if (disk.isEmpty())
            QCOMPARE(QSet<QString>(events.begin(), events.end()),
                     (QSet<QString>{"start", "login", "list read", "level", "TelMode", "command",
                                    "answer", "refused", "error", "stop"}));
    }
    // A signal cannot ask: rows read and typed are written, byte for byte, beside
    // the night log, its path on standard error, and every window closes. Last:
    // it ends the event loops of this process.
    void signalKeepsUnsavedRows()
    {
        QTemporaryDir state;
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
        const QByteArray read_rows = "# caf\xe9 in Latin-1\n12 34 56 : +45 00 00 # a\rb\n";
        const QString read = state.filePath("read.lst");
        write_file(read, read_rows);
        LogCapture log;
        catch_quit_signals();
        Velto_Obj_List window;
        window.show();
        MainWindowProbe p(window);
        quit_on_caught_signals(window);
        QVERIFY(p.listWindow()->read_file(read));
        p.typeObject(typed);
        p.form().actionAdd_Object->trigger();
        QCOMPARE(::kill(::getpid(), SIGTERM), 0);
        QTRY_VERIFY(!window.isVisible() && !p.listWindow()->isVisible());
        const QString dir = state.filePath("Velto_Obj_List");
        const QStringList files = QDir(dir).entryList({"unsaved-*.lst"});
        QCOMPARE(files.size(), 1);
        QVERIFY2(QRegularExpression("^unsaved-\\d{8}T\\d{6}Z\\.lst$").match(files[0]).hasMatch(),
                 qPrintable(files[0]));
        QCOMPARE(file_bytes(dir + '/' + files[0]), read_rows + typed_row);
        // The horizon's "Loading ..." line may or may not come before the signal.
        QCOMPARE(log.err.filter(QRegularExpression("^Velto ")),
                 QStringList{"Velto unsaved list written to " + dir + '/' + files[0]});
    }

private:
    LocalTcs tcs; // answers the users list of every main window
    const QByteArray state_home = qgetenv("XDG_STATE_HOME"); // tests may write elsewhere
};

VELTO_TEST_MAIN_WITH_MOUNTS(TestProgram)

#include "tst_program.moc"
